#pragma once

#include "controls/window/LoadedWithForm.h"

#include <QColor>
#include <QElapsedTimer>
#include <QFont>
#include <QMenu>
#include <QPointer>
#include <QTableView>

#include <functional>

class Field;
class TableViewModel;
class TQVDataSource;

// One column of a grid as designed: the field it shows, its title (empty: the field's label),
// its width in pixels and whether it shows.
struct GridColumn
{
    QString fieldName;
    QString title;
    int width = 64;
    bool visible = true;
};

// What a cell is drawn with; the draw hook may change the font and the colours.
struct FieldCell
{
    int row = -1;
    Field *field = nullptr;
    QFont font;
    QColor background;
    QColor textColor;
};

// The data grid of every list: shows a data link's view with its columns bound by field name,
// keeps the view's current record as its current row and moves the record when a row is chosen,
// remembers per user which field each column shows and how wide it is, and offers a menu that
// hides and shows columns.
class TQVDBGrid : public QTableView, public LoadedWithForm
{
    Q_OBJECT

public:
    using DrawFieldCellEvent = std::function<void(TQVDBGrid &grid, FieldCell &cell)>;

    static constexpr int DefaultHelpContext = 1004;
    // The width a column gets when the column menu shows it again.
    static constexpr int ShownAgainWidth = 40;

    explicit TQVDBGrid(QWidget *parent = nullptr);
    // Saves the layout when it was restored and the grid still has a view.
    ~TQVDBGrid() override;

    TQVDataSource *dataSource() const;
    void setDataSource(TQVDataSource *source);
    TableViewModel *tableModel() const { return m_model; }

    void setColumns(const QList<GridColumn> &columns);
    // The columns as they show now: in screen order, with their widths (0 for a hidden column).
    QList<GridColumn> columns() const;

    // Key name below "\Software\Velbric\"; empty keeps no layout. One leading and one trailing
    // backslash are dropped.
    const QString &registryKeyName() const { return m_registryKeyName; }
    void setRegistryKeyName(const QString &name);
    bool showHorizontalScrollBar() const { return m_showHorizontalScrollBar; }
    void setShowHorizontalScrollBar(bool show);
    bool rowSelect() const { return m_rowSelect; }
    // Whole rows are selected; such a grid is not edited in place, and Tab leaves it.
    void setRowSelect(bool on);
    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool on);
    int helpContext() const { return m_helpContext; }
    void setHelpContext(int topic) { m_helpContext = topic; }

    // A menu of the window's own; the column items are added to it instead of to a menu of the
    // grid.
    QMenu *contextMenu() const { return m_contextMenu; }
    void setContextMenu(QMenu *menu) { m_contextMenu = menu; }
    // The menu holding the column items; null until a layout was restored.
    QMenu *columnMenu() const;

    // The window's definition is applied: restore the layout and build the column menu, once.
    // A grid that is shown before its window calls this does it then.
    void loaded() override;

    // A value of any row, for draw hooks that colour a row by another field.
    QVariant rowValue(int row, const QString &fieldName) const;

    // Called for every data cell before it is drawn.
    DrawFieldCellEvent OnDrawFieldCellEvent;

    // Fills in a cell's font and colours, running the draw hook (the cell delegate calls this).
    void prepareCell(int row, int column, FieldCell &cell);

    static QString registryPath(const QString &keyName);

    // Typing in a list moves to the first record whose text in the current column starts with
    // what was typed (keys typed in quick succession add up), asking the database rather than
    // reading every row.
    void keyboardSearch(const QString &search) override;

protected:
    // Ctrl+End goes to the last record, reading the rest of a long list first.
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void showEvent(QShowEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void followView(int row);
    void moveView(int row);
    void applyColumns(const QList<GridColumn> &columns);
    void updateEditability();
    bool restoreLayout();
    void saveLayout() noexcept;
    void buildColumnMenu();

    TableViewModel *m_model;
    QString m_registryKeyName;
    QPointer<QMenu> m_contextMenu;
    QMenu *m_ownMenu = nullptr;
    int m_helpContext = DefaultHelpContext;
    bool m_showHorizontalScrollBar = true;
    bool m_rowSelect = false;
    bool m_readOnly = false;
    bool m_loaded = false;
    bool m_restored = false;
    bool m_following = false;
    // Whether the link last pointed at a view; kept when the link itself is destroyed first.
    bool m_hasView = false;
    QMetaObject::Connection m_dataSetConnection;
    QString m_typed;
    QElapsedTimer m_typedSince;
};

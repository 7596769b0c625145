#pragma once

#include <QAbstractTableModel>
#include <QPointer>

class Field;
class TableView;
class TQVDataSource;

// Shows the rows of a data link's view to a Qt item view: one column per bound field, the insert
// row at its place, the current record's state in the vertical header. It reads a row only when
// the item view asks for it and the row list only as far as the item view scrolls, and it follows
// the view's changes without resetting, so the item view keeps its scroll position, its column
// widths and their order.
class TableViewModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    struct Column
    {
        QString fieldName;
        QString title; // empty: the field's display label
    };

    explicit TableViewModel(QObject *parent = nullptr);

    TQVDataSource *dataSource() const;
    void setDataSource(TQVDataSource *source);
    TableView *view() const;

    const QList<Column> &columns() const { return m_columns; }
    void setColumns(const QList<Column> &columns);
    // The field a column shows; null when the view lacks it.
    Field *fieldAt(int column) const;
    QString titleAt(int column) const;

    // Cells of stored fields accept typed text (through the field's conversion) when set; cells of
    // looked-up fields accept a text of their list and store its key.
    bool isEditable() const { return m_editable; }
    void setEditable(bool on) { m_editable = on; }

    // Whether a column of this field is edited by choosing from the looked-up list.
    static bool isChoiceField(const Field &field);

    // The row of the view's current record; -1 when there is none.
    int currentRow() const;
    // True while the model is catching up with the view: item-view changes then are not the user's.
    bool isSyncing() const { return m_syncing; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;
    // Reads the rest of the view's row list in one go, for a move to its end.
    void fetchAll();

signals:
    // The view's current record is now at row (-1: none).
    void currentRowChanged(int row);

private:
    void rebind();
    void sync();
    void currentFieldChanged();
    int viewRowCount() const;

    QPointer<TQVDataSource> m_source;
    QList<QMetaObject::Connection> m_connections;
    QList<Column> m_columns;
    QList<int> m_fieldIndexes; // per column, -1 when the view lacks the field
    int m_rows = 0;
    bool m_editable = false;
    bool m_syncing = false;
};

#include "TQVDBGridSrc.h"

#include "controls/dataaware/TQVDataSourceSrc.h"
#include "controls/dataaware/TableViewModel.h"
#include "controls/window/CommandGuard.h"
#include "engine/Exception.h"
#include "engine/Field.h"
#include "engine/TableView.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QStyledItemDelegate>

#include <algorithm>

namespace {

// Draws each data cell with what the grid's draw hook leaves; the style then draws a selected cell
// in the highlight colours, over the hook's colours.
class FieldCellDelegate : public QStyledItemDelegate
{
public:
    explicit FieldCellDelegate(TQVDBGrid *grid)
        : QStyledItemDelegate(grid)
        , m_grid(grid)
    { }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        FieldCell cell;
        cell.font = option->font;
        cell.background = option->palette.color(QPalette::Base);
        cell.textColor = option->palette.color(QPalette::Text);
        m_grid->prepareCell(index.row(), index.column(), cell);
        option->font = cell.font;
        option->fontMetrics = QFontMetrics(cell.font);
        option->backgroundBrush = cell.background;
        option->palette.setColor(QPalette::Text, cell.textColor);
    }

public:
    // A looked-up column is edited by choosing one of its list's texts.
    QWidget *createEditor(QWidget *parent,
        const QStyleOptionViewItem &option,
        const QModelIndex &index) const override
    {
        const Field *field = m_grid->tableModel()->fieldAt(index.column());
        if (!field || !TableViewModel::isChoiceField(*field)) {
            QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
            // Typing stops at what the field holds, as in the window's own edits.
            auto *line = qobject_cast<QLineEdit *>(editor);
            if (line && field && field->dataType() == FieldType::Alpha && field->size() > 0)
                line->setMaxLength(field->size());
            return editor;
        }
        auto *choices = new QComboBox(parent);
        choices->addItem(QString());
        TableView *list = field->lookupDataSet;
        const Field *text = list->findField(field->lookupResultField);
        if (text && list->active()) {
            try {
                const int rows = list->rowCount();
                const int inserting = list->state() == DataSetState::Insert ? list->currentRow() : -1;
                for (int row = 0; row < rows; ++row) {
                    if (row != inserting)
                        choices->addItem(list->rowDisplayText(row, text->index()));
                }
            } catch (const Exception &) {
                // What could be read is offered.
            }
        }
        // A choice is the edit: it is stored as soon as it is made.
        auto *self = const_cast<FieldCellDelegate *>(this);
        connect(choices, &QComboBox::activated, self, [self, choices] {
            emit self->commitData(choices);
            emit self->closeEditor(choices);
        });
        return choices;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        if (auto *choices = qobject_cast<QComboBox *>(editor)) {
            choices->setCurrentIndex(choices->findText(index.data(Qt::EditRole).toString()));
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }

    void setModelData(
        QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        if (auto *choices = qobject_cast<QComboBox *>(editor)) {
            model->setData(index, choices->currentText());
            return;
        }
        QStyledItemDelegate::setModelData(editor, model, index);
    }

private:
    TQVDBGrid *m_grid;
};

} // namespace

TQVDBGrid::TQVDBGrid(QWidget *parent)
    : QTableView(parent)
    , m_model(new TableViewModel(this))
{
    setModel(m_model);
    setItemDelegate(new FieldCellDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
        | QAbstractItemView::AnyKeyPressed);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setHighlightSections(false);
    // Rows keep one height, so the grid never measures rows it does not show.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    verticalHeader()->setFixedWidth(fontMetrics().height() + 4);
    setWordWrap(false);
    connect(m_model, &TableViewModel::currentRowChanged, this, &TQVDBGrid::followView);
    updateEditability();
}

TQVDBGrid::~TQVDBGrid()
{
    saveLayout();
}

TQVDataSource *TQVDBGrid::dataSource() const
{
    return m_model->dataSource();
}

void TQVDBGrid::setDataSource(TQVDataSource *source)
{
    const QList<GridColumn> kept = columns();
    m_model->setDataSource(source);
    applyColumns(kept);
    disconnect(m_dataSetConnection);
    m_hasView = m_model->view() != nullptr;
    if (source) {
        m_dataSetConnection = connect(source, &DataSource::dataSetChanged, this,
            [this] { m_hasView = m_model->view() != nullptr; });
    }
}

void TQVDBGrid::setColumns(const QList<GridColumn> &columns)
{
    QList<TableViewModel::Column> bound;
    for (const GridColumn &column : columns)
        bound << TableViewModel::Column { column.fieldName, column.title };
    m_model->setColumns(bound);
    applyColumns(columns);
}

void TQVDBGrid::applyColumns(const QList<GridColumn> &columns)
{
    QHeaderView *header = horizontalHeader();
    for (int i = 0; i < columns.size() && i < m_model->columnCount(); ++i) {
        if (header->visualIndex(i) != i)
            header->moveSection(header->visualIndex(i), i);
        const GridColumn &column = columns.at(i);
        const bool shown = column.visible && column.width > 0;
        setColumnHidden(i, !shown);
        if (shown)
            setColumnWidth(i, column.width);
    }
}

QList<GridColumn> TQVDBGrid::columns() const
{
    QList<GridColumn> result;
    const QHeaderView *header = horizontalHeader();
    const auto &bound = m_model->columns();
    for (int position = 0; position < bound.size(); ++position) {
        const int logical = header->logicalIndex(position);
        if (logical < 0 || logical >= bound.size())
            continue;
        const bool hidden = isColumnHidden(logical);
        result << GridColumn { bound.at(logical).fieldName, bound.at(logical).title,
            hidden ? 0 : columnWidth(logical), !hidden };
    }
    return result;
}

void TQVDBGrid::setRegistryKeyName(const QString &name)
{
    QString key = name;
    if (key.startsWith(u'\\'))
        key.remove(0, 1);
    if (key.endsWith(u'\\'))
        key.chop(1);
    m_registryKeyName = key;
}

QString TQVDBGrid::registryPath(const QString &keyName)
{
    return QStringLiteral("\\Software\\Velbric\\") + keyName;
}

void TQVDBGrid::setShowHorizontalScrollBar(bool show)
{
    m_showHorizontalScrollBar = show;
    setHorizontalScrollBarPolicy(show ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void TQVDBGrid::setRowSelect(bool on)
{
    m_rowSelect = on;
    setSelectionBehavior(on ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    // A list of whole rows is browsed with the arrows; Tab leaves it for the next control rather
    // than walking its cells and wrapping onto another record.
    setTabKeyNavigation(!on);
    updateEditability();
}

void TQVDBGrid::setReadOnly(bool on)
{
    m_readOnly = on;
    updateEditability();
}

void TQVDBGrid::updateEditability()
{
    m_model->setEditable(!m_readOnly && !m_rowSelect);
}

QMenu *TQVDBGrid::columnMenu() const
{
    if (!m_restored)
        return nullptr;
    return m_contextMenu ? m_contextMenu.data() : m_ownMenu;
}

void TQVDBGrid::loaded()
{
    if (m_loaded)
        return;
    m_loaded = true;
    if (restoreLayout()) {
        m_restored = true;
        buildColumnMenu();
    }
}

void TQVDBGrid::showEvent(QShowEvent *event)
{
    loaded();
    QTableView::showEvent(event);
}

void TQVDBGrid::contextMenuEvent(QContextMenuEvent *event)
{
    QMenu *menu = m_contextMenu ? m_contextMenu.data() : m_ownMenu;
    if (!menu) {
        QTableView::contextMenuEvent(event);
        return;
    }
    menu->popup(event->globalPos());
    event->accept();
}

QVariant TQVDBGrid::rowValue(int row, const QString &fieldName) const
{
    TableView *view = m_model->view();
    const Field *f = view && view->active() ? view->findField(fieldName) : nullptr;
    if (!f)
        return {};
    try {
        return view->rowValue(row, f->index());
    } catch (const Exception &) {
        return {};
    }
}

void TQVDBGrid::keyboardSearch(const QString &search)
{
    TableView *view = m_model->view();
    const int column =
        currentIndex().isValid() ? currentIndex().column() : horizontalHeader()->logicalIndex(0);
    const Field *field = m_model->fieldAt(column);
    const bool text = field && field->kind() == Field::Kind::Data
        && (field->dataType() == FieldType::Alpha || field->dataType() == FieldType::Memo);
    if (!view || !view->active() || !text || search.isEmpty()) {
        QTableView::keyboardSearch(search);
        return;
    }
    if (!m_typedSince.isValid() || m_typedSince.elapsed() > QApplication::keyboardInputInterval())
        m_typed.clear();
    m_typed += search;
    m_typedSince.start();
    runGuarded(this, [&] {
        const qint64 rowid = view->firstRowidStartingWith(field->fieldName(), m_typed);
        if (rowid >= 0)
            view->moveToRowid(rowid);
    });
}

QModelIndex TQVDBGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    if (cursorAction == MoveEnd && modifiers.testFlag(Qt::ControlModifier))
        m_model->fetchAll();
    return QTableView::moveCursor(cursorAction, modifiers);
}

void TQVDBGrid::prepareCell(int row, int column, FieldCell &cell)
{
    cell.row = row;
    cell.field = m_model->fieldAt(column);
    if (!OnDrawFieldCellEvent)
        return;
    // A faulty hook costs its colours, never the paint event.
    try {
        OnDrawFieldCellEvent(*this, cell);
    } catch (const std::exception &) { }
}

void TQVDBGrid::followView(int row)
{
    m_following = true;
    if (row < 0) {
        setCurrentIndex({});
    } else {
        const int column = currentIndex().isValid() ? currentIndex().column()
                                                    : horizontalHeader()->logicalIndex(0);
        const QModelIndex target = m_model->index(row, std::max(column, 0));
        // Scrolling only when the record moved keeps where the user scrolled across refreshes.
        if (target != currentIndex()) {
            selectionModel()->setCurrentIndex(target,
                QItemSelectionModel::ClearAndSelect
                    | (m_rowSelect ? QItemSelectionModel::Rows : QItemSelectionModel::NoUpdate));
            scrollTo(target);
        }
    }
    m_following = false;
}

void TQVDBGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (m_following || m_model->isSyncing() || !current.isValid()
        || current.row() == m_model->currentRow())
        return;
    moveView(current.row());
}

void TQVDBGrid::moveView(int row)
{
    TableView *view = m_model->view();
    if (!view || !view->active())
        return;
    const bool moved = runGuarded(this, [&] {
        int target = row;
        // Giving up an unchanged new record takes its row away from below it.
        if (view->state() == DataSetState::Insert && !view->modified() && row > view->currentRow())
            --target;
        view->setRecNo(target);
    });
    if (!moved)
        followView(m_model->currentRow());
}

#include "TableViewModel.h"

#include "controls/dataaware/DisplayFormat.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "controls/window/CommandGuard.h"
#include "engine/Exception.h"
#include "engine/Field.h"
#include "engine/TableView.h"

#include <QDate>

TableViewModel::TableViewModel(QObject *parent)
    : QAbstractTableModel(parent)
{ }

TQVDataSource *TableViewModel::dataSource() const
{
    return m_source;
}

void TableViewModel::setDataSource(TQVDataSource *source)
{
    for (const auto &connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    m_source = source;
    if (source) {
        m_connections << connect(source, &DataSource::dataSetChanged, this, &TableViewModel::rebind)
                      << connect(source, &DataSource::dataChanged, this, &TableViewModel::sync)
                      << connect(source, &DataSource::stateChanged, this, &TableViewModel::sync)
                      << connect(source, &DataSource::currentChanged, this, &TableViewModel::sync)
                      << connect(source, &DataSource::fieldChanged, this,
                             &TableViewModel::currentFieldChanged)
                      << connect(source, &QObject::destroyed, this, &TableViewModel::rebind);
    }
    rebind();
}

TableView *TableViewModel::view() const
{
    return m_source ? m_source->dataSet() : nullptr;
}

void TableViewModel::setColumns(const QList<Column> &columns)
{
    m_columns = columns;
    rebind();
}

void TableViewModel::rebind()
{
    m_syncing = true;
    beginResetModel();
    m_fieldIndexes.clear();
    const TableView *v = view();
    for (const Column &column : std::as_const(m_columns)) {
        const Field *f = v ? v->findField(column.fieldName) : nullptr;
        m_fieldIndexes << (f ? f->index() : -1);
    }
    m_rows = viewRowCount();
    endResetModel();
    m_syncing = false;
    emit currentRowChanged(currentRow());
}

int TableViewModel::viewRowCount() const
{
    TableView *v = view();
    if (!v || !v->active())
        return 0;
    try {
        return v->loadedRowCount();
    } catch (const Exception &) {
        // A file that cannot be read shows no rows until it can.
        return 0;
    }
}

// A long list shows the rows read so far; the item view asks for more as it is scrolled to
// their end, so opening and scrolling never read the whole table. The scroll bar then measures
// what is read, as with Qt's own query models.
bool TableViewModel::canFetchMore(const QModelIndex &parent) const
{
    TableView *v = view();
    if (parent.isValid() || !v || !v->active())
        return false;
    try {
        return v->canReadMoreRows();
    } catch (const Exception &) {
        return false;
    }
}

void TableViewModel::fetchMore(const QModelIndex &parent)
{
    TableView *v = view();
    if (parent.isValid() || !v || !v->active())
        return;
    try {
        v->readMoreRows();
    } catch (const Exception &) {
        return; // what is read stays shown
    }
    sync();
}

void TableViewModel::sync()
{
    m_syncing = true;
    const int rows = viewRowCount();
    if (rows > m_rows) {
        beginInsertRows({}, m_rows, rows - 1);
        m_rows = rows;
        endInsertRows();
    } else if (rows < m_rows) {
        beginRemoveRows({}, rows, m_rows - 1);
        m_rows = rows;
        endRemoveRows();
    }
    // Item views repaint only what they show, so the whole range costs no reading.
    if (m_rows > 0 && !m_columns.isEmpty()) {
        emit dataChanged(index(0, 0), index(m_rows - 1, int(m_columns.size()) - 1));
        emit headerDataChanged(Qt::Vertical, 0, m_rows - 1);
    }
    m_syncing = false;
    emit currentRowChanged(currentRow());
}

void TableViewModel::currentFieldChanged()
{
    const int row = currentRow();
    if (row >= 0 && row < m_rows && !m_columns.isEmpty())
        emit dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1));
}

int TableViewModel::currentRow() const
{
    TableView *v = view();
    if (!v || !v->active())
        return -1;
    try {
        return v->currentRow();
    } catch (const Exception &) {
        return -1;
    }
}

Field *TableViewModel::fieldAt(int column) const
{
    TableView *v = view();
    if (!v || column < 0 || column >= m_fieldIndexes.size() || m_fieldIndexes.at(column) < 0)
        return nullptr;
    const int index = m_fieldIndexes.at(column);
    return index < v->fieldCount() ? v->fields().at(index).get() : nullptr;
}

QString TableViewModel::titleAt(int column) const
{
    if (column < 0 || column >= m_columns.size())
        return {};
    if (!m_columns.at(column).title.isEmpty())
        return m_columns.at(column).title;
    const Field *f = fieldAt(column);
    return f ? f->displayLabel() : m_columns.at(column).fieldName;
}

int TableViewModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TableViewModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant TableViewModel::data(const QModelIndex &index, int role) const
{
    Field *f = fieldAt(index.column());
    if (!f || !index.isValid())
        return {};
    try {
        switch (role) {
        case Qt::DisplayRole:
            return DisplayFormat::fieldText(*f, view()->rowValue(index.row(), f->index()));
        case Qt::EditRole: {
            const QVariant value = view()->rowValue(index.row(), f->index());
            return f->textFor(value.typeId() == QMetaType::QDate
                    ? QVariant(value.toDate().toString(Qt::ISODate))
                    : value);
        }
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(
                (f->isNumeric() ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        default:
            return {};
        }
    } catch (const Exception &) {
        return {};
    }
}

QVariant TableViewModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return titleAt(section);
    if (section != currentRow())
        return QString();
    // The indicator column: the current record, being edited, or being inserted.
    switch (view()->state()) {
    case DataSetState::Insert:
        return QStringLiteral("*");
    case DataSetState::Edit:
        return QStringLiteral("I");
    default:
        return QString(QChar(0x25B6));
    }
}

void TableViewModel::fetchAll()
{
    TableView *v = view();
    if (!v || !v->active())
        return;
    try {
        v->recordCount();
    } catch (const Exception &) {
        return; // what is read stays shown
    }
    sync();
}

bool TableViewModel::isChoiceField(const Field &field)
{
    return field.kind() == Field::Kind::Lookup && field.lookupDataSet
        && !field.keyField.isEmpty();
}

Qt::ItemFlags TableViewModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const Field *f = fieldAt(index.column());
    if (m_editable && f && (f->kind() == Field::Kind::Data || isChoiceField(*f))
        && index.row() == currentRow())
        result |= Qt::ItemIsEditable;
    return result;
}

bool TableViewModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    Field *f = fieldAt(index.column());
    if (role != Qt::EditRole || !f || !m_source || index.row() != currentRow())
        return false;
    if (!m_source->isEditing() && !m_source->autoEdit())
        return false;
    return runGuarded(nullptr, [&] {
        m_source->edit();
        if (!m_source->isEditing())
            return;
        if (!isChoiceField(*f)) {
            f->setAsString(value.toString());
            return;
        }
        // A looked-up column stores the key of the entry whose text was chosen.
        Field *key = f->dataSet()->fieldByName(f->keyField);
        const QString text = value.toString().trimmed();
        if (text.isEmpty()) {
            key->clear();
            return;
        }
        const QVariant found =
            f->lookupDataSet->lookup(f->lookupResultField, text, f->lookupKeyField);
        if (found.isNull())
            throw EConvertError(
                QStringLiteral("'%1' is not in the list of %2").arg(text, titleAt(index.column())));
        key->setValue(found);
    });
}

#include "engine/TableView.h"

#include "engine/DataSource.h"
#include "engine/Exception.h"
#include "engine/FilterExpression.h"
#include "engine/SqlDialect.h"
#include "engine/SqlStore.h"
#include "engine/TQVDatabase.h"

#include <QCoreApplication>
#include <QSqlError>

struct TableView::Snapshot
{
    DataSetState state;
    qint64 currentRowid;
    int currentPos;
    bool eof;
    bool bof;
    int insertPos;
    QVector<QVariant> buffer;
    QVector<QVariant> original;
    bool modified;
    qint64 lockedRecord;
    QString filterText;
    bool filtered;
};

OperationScope::OperationScope(TQVDatabase *database, int starterFile)
    : m_database(database)
{
    m_database->beginOperation(starterFile);
}

OperationScope::~OperationScope()
{
    if (!m_done)
        m_database->abortOperation();
}

void OperationScope::commit()
{
    m_database->commitOperation(); // when the commit fails, leaving the scope rolls back
    m_done = true;
}

EditScope::~EditScope()
{
    if (!m_view->isEditing())
        return;
    try {
        m_view->cancel();
    } catch (const Exception &) {
        // The refusal that left the edit pending is what the caller hears of.
    }
}

TableView::TableView(QObject *parent)
    : QObject(parent)
{ }

TableView::~TableView()
{
    try {
        close();
    } catch (const Exception &) {
        // Closing only lets go of locks and registrations; nothing is left to save.
    }
    if (m_database)
        m_database->unregisterView(this);
}

void TableView::setTableName(const QString &name)
{
    if (active())
        throw EDatabaseError(tr("Cannot change the table of an open view"));
    m_tableName = name;
    m_fields.clear();
    m_dataFieldCount = 0;
    if (m_database && m_database->schema() && m_database->schema()->resolve(name))
        buildDataFields();
}

void TableView::buildDataFields()
{
    const TableDef *def =
        m_database && m_database->schema() ? m_database->schema()->resolve(m_tableName) : nullptr;
    if (!def)
        throw EDatabaseError(tr("Table %1 does not exist").arg(m_tableName));
    std::vector<std::unique_ptr<Field>> extra;
    for (auto &field : m_fields) {
        if (field->kind() != Field::Kind::Data)
            extra.push_back(std::move(field));
    }
    m_fields.clear();
    for (const FieldDef &fieldDef : def->fields)
        m_fields.push_back(
            std::make_unique<Field>(this, int(m_fields.size()), fieldDef, Field::Kind::Data));
    m_dataFieldCount = int(m_fields.size());
    for (auto &field : extra) {
        m_fields.push_back(
            std::make_unique<Field>(this, int(m_fields.size()), field->def(), field->kind()));
        Field *copy = m_fields.back().get();
        copy->keyField = field->keyField;
        copy->lookupDataSet = field->lookupDataSet;
        copy->lookupKeyField = field->lookupKeyField;
        copy->lookupResultField = field->lookupResultField;
    }
}

Field *TableView::addCalculatedField(const QString &name, FieldType type, int size)
{
    if (m_dataFieldCount == 0)
        buildDataFields();
    m_fields.push_back(std::make_unique<Field>(
        this, int(m_fields.size()), FieldDef { name, type, size }, Field::Kind::Calculated));
    return m_fields.back().get();
}

Field *TableView::addLookupField(const QString &name,
    FieldType type,
    int size,
    const QString &keyField,
    TableView *lookupDataSet,
    const QString &lookupKeyField,
    const QString &lookupResultField)
{
    if (m_dataFieldCount == 0)
        buildDataFields();
    m_fields.push_back(std::make_unique<Field>(
        this, int(m_fields.size()), FieldDef { name, type, size }, Field::Kind::Lookup));
    Field *field = m_fields.back().get();
    field->keyField = keyField;
    field->lookupDataSet = lookupDataSet;
    field->lookupKeyField = lookupKeyField;
    field->lookupResultField = lookupResultField;
    return field;
}

const TableDef &TableView::tableDef() const
{
    requireActive();
    return m_database->tableDef(m_file);
}

QString TableView::fileName() const
{
    return m_file >= 0 && m_database ? m_database->fileName(m_file) : m_tableName;
}

Field *TableView::findField(const QString &name) const
{
    for (const auto &field : m_fields) {
        if (field->fieldName().compare(name, Qt::CaseInsensitive) == 0)
            return field.get();
    }
    return nullptr;
}

Field *TableView::fieldByName(const QString &name) const
{
    Field *field = findField(name);
    if (!field)
        throw EDatabaseError(tr("%1: Field '%2' not found").arg(m_tableName, name));
    return field;
}

void TableView::requireActive() const
{
    if (m_state == DataSetState::Inactive)
        throw EDatabaseError(
            tr("%1: Cannot perform this operation on a closed dataset").arg(m_tableName));
}

void TableView::runHook(const Hook &hook)
{
    if (hook)
        hook(*this);
}

void TableView::doBeforeOpen()
{
    runHook(beforeOpen);
}
void TableView::doAfterOpen()
{
    runHook(afterOpen);
}
void TableView::doBeforeClose()
{
    runHook(beforeClose);
}
void TableView::doBeforeInsert()
{
    runHook(beforeInsert);
}
void TableView::doBeforePost()
{
    runHook(beforePost);
}
void TableView::doAfterPost()
{
    runHook(afterPost);
}
void TableView::doAfterDelete()
{
    runHook(afterDelete);
}

void TableView::open()
{
    if (active())
        return;
    if (!m_database)
        throw EDatabaseError(tr("%1: No database").arg(m_tableName));
    doBeforeOpen();
    const int file = m_database->openFile(m_tableName);
    if (m_dataFieldCount == 0)
        buildDataFields();
    const TableDef &def = m_database->tableDef(file);
    for (const QString &name : orderFieldsFor(def)) {
        if (def.fieldIndex(name) < 0)
            throw EDatabaseError(
                tr("%1: the order field %2 does not exist").arg(m_tableName, name));
    }
    if (!m_filterText.isEmpty())
        FilterExpression::parse(m_filterText, def);
    m_file = file;
    m_columns.clear();
    for (const FieldDef &field : def.fields)
        m_columns << SqlStore::quoted(field.name);
    m_columnList = m_columns.join(u',');
    m_database->registerView(this, m_file);
    m_state = DataSetState::Browse;
    m_rowsValid = false;
    m_wantedRows = 0;
    m_cache.clear();
    m_currentRowid = firstRowid();
    m_currentPos = -1;
    m_bof = true;
    m_eof = m_currentRowid < 0;
    emitState();
    emitData();
    doAfterOpen();
}

void TableView::close()
{
    if (!active())
        return;
    doBeforeClose();
    if (m_lockedRecord >= 0) {
        m_database->releaseLock(m_file, m_lockedRecord);
        m_lockedRecord = -1;
    }
    m_state = DataSetState::Inactive;
    m_stored = {};
    m_kept.clear();
    m_database->unregisterView(this);
    m_rowsValid = false;
    m_rowids.clear();
    m_allRead = false;
    m_wantedRows = 0;
    m_cache.clear();
    m_buffer.clear();
    m_currentRowid = -1;
    m_currentPos = -1;
    m_eof = m_bof = true;
    emitState();
    emitData();
    runHook(afterClose);
}

void TableView::setIndexName(const QString &name)
{
    if (active()) {
        const TableDef &def = m_database->tableDef(m_file);
        if (!name.isEmpty() && !def.index(name))
            throw EDatabaseError(tr("%1: Index '%2' not found").arg(fileName(), name));
        checkBrowseMode();
    }
    m_indexName = name;
    m_indexFieldNames.clear();
    if (active()) {
        m_rowsValid = false;
        m_wantedRows = 0;
        emitData();
    }
}

void TableView::setIndexFieldNames(const QString &names)
{
    if (active()) {
        const TableDef &def = m_database->tableDef(m_file);
        for (const QString &name : names.split(u';', Qt::SkipEmptyParts)) {
            if (def.fieldIndex(name.trimmed()) < 0)
                throw EDatabaseError(tr("%1: Field '%2' not found").arg(fileName(), name));
        }
        checkBrowseMode();
    }
    m_indexFieldNames = names;
    m_indexName.clear();
    if (active()) {
        m_rowsValid = false;
        m_wantedRows = 0;
        emitData();
    }
}

QStringList TableView::orderFieldsFor(const TableDef &def) const
{
    if (!m_indexFieldNames.isEmpty()) {
        QStringList names;
        for (const QString &name : m_indexFieldNames.split(u';', Qt::SkipEmptyParts))
            names << name.trimmed();
        return names;
    }
    if (!m_indexName.isEmpty()) {
        const IndexDef *index = def.index(m_indexName);
        if (!index)
            throw EDatabaseError(tr("%1: Index '%2' not found").arg(def.fileName, m_indexName));
        return index->fields;
    }
    return def.primaryKey;
}

QStringList TableView::orderFields() const
{
    requireActive();
    return orderFieldsFor(m_database->tableDef(m_file));
}

void TableView::setFilter(const QString &expression)
{
    if (active() && !expression.trimmed().isEmpty())
        FilterExpression::parse(
            expression, m_database->tableDef(m_file)); // refuses before changing
    if (m_filterText == expression)
        return;
    touch();
    m_filterText = expression;
    if (active() && m_filtered)
        rerange();
}

void TableView::setFiltered(bool on)
{
    if (m_filtered == on)
        return;
    if (active())
        checkBrowseMode();
    touch();
    m_filtered = on;
    if (active())
        rerange();
}

void TableView::setMasterSource(DataSource *source)
{
    for (const auto &connection : std::as_const(m_masterConnections))
        disconnect(connection);
    m_masterConnections.clear();
    m_masterSource = source;
    if (source) {
        m_masterConnections
            << connect(source, &DataSource::currentChanged, this, &TableView::masterChanged)
            << connect(source, &DataSource::dataChanged, this, &TableView::masterChanged)
            << connect(source, &DataSource::dataSetChanged, this, &TableView::masterChanged)
            << connect(source, &DataSource::stateChanged, this, &TableView::masterChanged)
            << connect(source, &DataSource::fieldChanged, this, [this](Field *field) {
                   if (field->fieldName().compare(m_masterField, Qt::CaseInsensitive) == 0)
                       masterChanged();
               });
    }
    if (active())
        rerange();
}

DataSource *TableView::masterSource() const
{
    return m_masterSource;
}

void TableView::setMasterFields(const QString &masterField, const QString &detailField)
{
    m_masterField = masterField;
    m_detailField = detailField.isEmpty() ? masterField : detailField;
    if (active())
        rerange();
}

void TableView::masterChanged()
{
    if (!active())
        return;
    QVariantList values;
    const QString condition = masterCondition(values);
    // The master's range is unchanged (say its own post, or a re-read of its file): an edit or
    // insert of this view must go on.
    if (condition == m_lastMasterCondition && values == m_lastMasterValues)
        return;
    if (isEditing())
        checkBrowseMode();
    rerange();
}

void TableView::rerange()
{
    m_rowsValid = false;
    m_wantedRows = 0;
    m_lastMasterValues.clear();
    m_lastMasterCondition = masterCondition(m_lastMasterValues);
    m_currentRowid = firstRowid();
    m_currentPos = m_currentRowid >= 0 ? 0 : -1;
    m_bof = true;
    m_eof = m_currentRowid < 0;
    emitData();
    emitCurrent();
}

// --- editing --------------------------------------------------------------------------------

void TableView::touch()
{
    if (m_database)
        m_database->touch(this);
}

QVector<QVariant> TableView::emptyBuffer() const
{
    return QVector<QVariant>(int(m_fields.size()));
}

void TableView::insert()
{
    beginInsert(false);
}

void TableView::append()
{
    beginInsert(true);
}

// A new record shows before the current one, or after the last when appended.
void TableView::beginInsert(bool atEnd)
{
    requireActive();
    checkBrowseMode();
    OperationScope operation(m_database, m_file);
    touch();
    doBeforeInsert();
    // Placed when a grid first asks, so starting a record reads no row list.
    m_insertPos = atEnd ? insertAtEnd : insertBeforeCurrent;
    m_buffer = emptyBuffer();
    m_original = m_buffer;
    m_state = DataSetState::Insert;
    m_modified = false;
    calculate(m_buffer);
    emitState();
    emitCurrent();
    runHook(afterInsert);
    operation.commit();
}

void TableView::edit()
{
    requireActive();
    if (isEditing())
        return;
    if (m_currentRowid < 0) {
        insert();
        return;
    }
    OperationScope operation(m_database, m_file);
    touch();
    // Lock first and read the record as stored now, so the hooks work from what others saved: with
    // the take where the locks can, else by a statement of its own.
    RecordLocks::ReadAtTake read { m_database->tableRef(m_file), columnList(), {} };
    m_database->acquireLock(m_file, m_currentRowid, &read);
    m_lockedRecord = m_currentRowid;
    Record fresh;
    if (read.values.size() == m_dataFieldCount) {
        fresh.values = emptyBuffer();
        std::copy(read.values.cbegin(), read.values.cend(), fresh.values.begin());
    } else {
        fresh = fetch(m_currentRowid);
    }
    if (fresh.values.isEmpty())
        throw EDatabaseError(tr("%1: The record was deleted by another user").arg(fileName()));
    m_cache[m_currentRowid] = fresh;
    runHook(beforeEdit);
    m_buffer = fresh.values;
    m_original = fresh.values;
    m_state = DataSetState::Edit;
    m_modified = false;
    calculate(m_buffer);
    emitState();
    runHook(afterEdit);
    operation.commit();
}

void TableView::post()
{
    requireActive();
    if (!isEditing())
        throw EDatabaseError(tr("%1: Dataset not in edit or insert mode").arg(fileName()));
    emit updateRecord();
    OperationScope operation(m_database, m_file);
    touch();
    doBeforePost();
    writeRecord();
    endEdit();
    emitData();
    emitCurrent();
    doAfterPost();
    operation.commit();
}

// The statement that stores the record also tells, from the record as stored, whether the view
// still shows it: after the commit the view need not read it again to know.
void TableView::writeRecord()
{
    QVariantList shownValues;
    const QString shown = shownCondition(shownValues);
    QString sql;
    QVariantList values;
    qint64 rowid = -1;
    bool stillShown = false; // a queued insert's comes with the next round trip
    if (m_state == DataSetState::Insert) {
        QStringList columns;
        QStringList marks;
        for (int i = 0; i < m_dataFieldCount; ++i) {
            columns << quotedColumn(i);
            marks << QStringLiteral("?");
            values << m_buffer.at(i);
        }
        rowid = queueInsert(columns, marks, values, shown, shownValues);
        if (rowid < 0)
            sql =
                QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) RETURNING rowid, %4")
                    .arg(m_database->tableRef(m_file), columns.join(u','), marks.join(u','), shown);
    } else {
        // Only the fields this edit changed are written, so an edit never undoes what another
        // copy saved in other fields of the record.
        QStringList assignments;
        for (int i = 0; i < m_dataFieldCount; ++i) {
            if (m_buffer.at(i) == m_original.at(i)
                && m_buffer.at(i).isNull() == m_original.at(i).isNull())
                continue;
            assignments << quotedColumn(i) + QStringLiteral(" = ?");
            values << m_buffer.at(i);
        }
        if (assignments.isEmpty())
            return;
        sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ? RETURNING rowid, %3")
                  .arg(m_database->tableRef(m_file), assignments.join(QStringLiteral(", ")), shown);
        values << m_currentRowid;
        m_rowsValid = false; // the record's place, filter or master range may have changed
    }
    if (rowid < 0) {
        const QVariantList row = writeReturning(sql, values + shownValues, 2);
        if (row.isEmpty())
            throw EDatabaseError(tr("%1: The record was deleted by another user").arg(fileName()));
        rowid = row.at(0).toLongLong();
        stillShown = row.at(1).toBool();
    }
    if (m_state == DataSetState::Insert) {
        m_currentRowid = rowid;
        m_currentPos = -1;
        m_rowsValid = false;
    }
    Record stored;
    stored.values = m_buffer;
    m_cache[m_currentRowid] = stored;
    noteStored(rowid, stillShown, shown, shownValues);
}

// An insert whose row id the store took ahead goes without waiting for its result: the record is
// known by that id at once, and whether the view still shows it comes with the next round trip.
// The row id it was sent under, or -1 when it was not.
qint64 TableView::queueInsert(QStringList columns,
    QStringList marks,
    QVariantList values,
    const QString &shown,
    const QVariantList &shownValues)
{
    const qint64 rowid = m_database->takeRowid(m_file);
    if (rowid < 0)
        return -1;
    columns << QStringLiteral("rowid");
    marks << QStringLiteral("?");
    values << rowid;
    const QString sql =
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) RETURNING %4")
            .arg(m_database->tableRef(m_file), columns.join(u','), marks.join(u','), shown);
    const QPointer<TableView> view(this);
    const auto apply = [view, rowid](const QVariantList &row) {
        if (view && view->m_stored.rowid == rowid)
            view->m_stored.shown = row.value(0).toBool();
    };
    return m_database->queueWrite(m_file, sql, values + shownValues, apply) ? rowid : -1;
}

void TableView::noteStored(
    qint64 rowid, bool shown, const QString &condition, const QVariantList &values)
{
    m_database->noteWritten(m_file, rowid);
    m_stored = { rowid, shown, m_database->lastWriteOf(m_file), condition, values };
}

QVariant TableView::addToField(const QVariantList &key, const QString &field, double amount)
{
    requireActive();
    const TableDef &def = m_database->tableDef(m_file);
    const int target = def.fieldIndex(field);
    if (target < 0)
        throw EDatabaseError(tr("%1: Field '%2' not found").arg(fileName(), field));
    if (key.size() != def.primaryKey.size())
        throw EDatabaseError(
            tr("%1: Internal error: a record is changed by its whole key").arg(fileName()));
    OperationScope operation(m_database, m_file);
    touch();
    QStringList terms;
    QVariantList bound { amount };
    for (int i = 0; i < key.size(); ++i) {
        const FieldDef &keyField = def.fields.at(def.fieldIndex(def.primaryKey.at(i)));
        terms << SqlStore::quoted(keyField.name) + QStringLiteral(" = ?");
        bound << storageValue(keyField, key.at(i));
    }
    QVariantList shownValues;
    const QString shown = shownCondition(shownValues);
    const QString column = quotedColumn(target);
    const QVariantList row = writeReturning(
        QStringLiteral("UPDATE %1 SET %2 = COALESCE(%2, 0) + ? WHERE %3 RETURNING rowid, %2, %4")
            .arg(m_database->tableRef(m_file), column, terms.join(QStringLiteral(" AND ")), shown),
        bound + shownValues, 3);
    QVariant sum;
    if (!row.isEmpty()) {
        const qint64 rowid = row.at(0).toLongLong();
        sum = row.at(1);
        const bool stillShown = row.at(2).toBool();
        m_cache.erase(rowid);
        m_rowsValid = false; // the field may order or filter the view
        noteStored(rowid, stillShown, shown, shownValues);
    }
    operation.commit();
    return sum;
}

void TableView::cancel()
{
    requireActive();
    if (!isEditing())
        return;
    OperationScope operation(m_database, m_file);
    touch();
    runHook(beforeCancel);
    endEdit();
    emitCurrent();
    runHook(afterCancel);
    operation.commit();
}

void TableView::deleteRecord()
{
    requireActive();
    if (m_state == DataSetState::Insert) {
        cancel();
        return;
    }
    // An edit in progress is given up (with its cancel hooks) before the record goes, so nothing
    // the edit took out of other records is taken twice.
    if (m_state == DataSetState::Edit)
        cancel();
    if (m_currentRowid < 0)
        throw EDatabaseError(
            tr("%1: Cannot perform this operation on an empty dataset").arg(fileName()));
    OperationScope operation(m_database, m_file);
    touch();
    const qint64 doomed = m_currentRowid;
    m_database->acquireLock(m_file, doomed);
    runHook(beforeDelete);
    // The record that takes the doomed one's place, found from its order values while it is
    // still there, unless the row list is at hand anyway.
    qint64 successor = -1;
    qint64 predecessor = -1;
    if (!m_rowsValid) {
        const QVariantList values = orderValues(doomed);
        successor = neighbourRowid(values, true);
        if (successor < 0)
            predecessor = neighbourRowid(values, false);
    }
    QSqlQuery query(m_database->writer(m_file));
    query.prepare(
        QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(m_database->tableRef(m_file)));
    query.addBindValue(doomed);
    SqlStore::run(query, fileName());
    query.finish();
    m_database->noteWritten(m_file, doomed);
    m_database->releaseLock(m_file, doomed);
    m_cache.erase(doomed);
    if (!m_rowsValid) {
        m_currentRowid = successor >= 0 ? successor : predecessor;
        m_currentPos = -1;
        m_eof = m_bof = m_currentRowid < 0;
        emitData();
        emitCurrent();
        doAfterDelete();
        operation.commit();
        return;
    }
    auto it = std::find(m_rowids.begin(), m_rowids.end(), doomed);
    int position = it == m_rowids.end() ? std::max(m_currentPos, 0) : int(it - m_rowids.begin());
    if (it != m_rowids.end())
        m_rowids.erase(it);
    readRowsThrough(position); // the record after the last one read takes its place
    if (m_rowids.empty()) {
        m_currentRowid = -1;
        m_currentPos = -1;
        m_eof = m_bof = true;
    } else {
        position = std::min(position, int(m_rowids.size()) - 1);
        m_currentPos = position;
        m_currentRowid = m_rowids.at(position);
        m_eof = m_bof = false;
    }
    emitData();
    emitCurrent();
    doAfterDelete();
    operation.commit();
}

QVariant TableView::originalValue(const QString &field) const
{
    const Field *f = fieldByName(field);
    if (m_state != DataSetState::Edit || f->index() >= m_original.size())
        return {};
    return m_original.at(f->index());
}

// Back to browsing after a post or cancel: the record's lock goes (at the commit) with the buffer.
void TableView::endEdit()
{
    if (m_lockedRecord >= 0) {
        m_database->releaseLock(m_file, m_lockedRecord);
        m_lockedRecord = -1;
    }
    m_state = DataSetState::Browse;
    m_modified = false;
    m_insertPos = -1;
    m_buffer.clear();
    emitState();
}

void TableView::checkBrowseMode()
{
    if (!isEditing())
        return;
    emit updateRecord();
    if (m_modified)
        post();
    else
        cancel();
}

// --- state for rollbacks ---------------------------------------------------------------------

std::shared_ptr<TableView::Snapshot> TableView::snapshot() const
{
    return std::make_shared<Snapshot>(
        Snapshot { m_state, m_currentRowid, m_currentPos, m_eof, m_bof, m_insertPos, m_buffer,
            m_original, m_modified, m_lockedRecord, m_filterText, m_filtered });
}

void TableView::restore(const Snapshot &snapshot)
{
    m_state = snapshot.state;
    m_currentRowid = snapshot.currentRowid;
    m_currentPos = snapshot.currentPos;
    m_eof = snapshot.eof;
    m_bof = snapshot.bof;
    m_insertPos = snapshot.insertPos;
    m_buffer = snapshot.buffer;
    m_original = snapshot.original;
    m_modified = snapshot.modified;
    m_lockedRecord = snapshot.lockedRecord;
    m_stored = {}; // what it wrote was rolled back
    m_filterText = snapshot.filterText;
    m_filtered = snapshot.filtered;
    m_rowsValid = false;
    m_cache.clear();
    emitState();
    emitData();
    emitCurrent();
}

// --- signals ---------------------------------------------------------------------------------

void TableView::disableControls()
{
    ++m_disableCount;
}

void TableView::enableControls()
{
    if (m_disableCount == 0 || --m_disableCount > 0)
        return;
    if (m_pendingSignals) {
        m_pendingSignals = false;
        emit dataChanged();
        emit stateChanged();
        emit currentChanged();
    }
}

void TableView::emitState()
{
    if (m_disableCount > 0)
        m_pendingSignals = true;
    else
        emit stateChanged();
}

void TableView::emitCurrent()
{
    if (m_disableCount > 0)
        m_pendingSignals = true;
    else
        emit currentChanged();
}

void TableView::emitData()
{
    if (m_disableCount > 0)
        m_pendingSignals = true;
    else
        emit dataChanged();
}

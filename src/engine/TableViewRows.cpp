#include "engine/CaseSpellings.h"
#include "engine/DataSource.h"
#include "engine/Exception.h"
#include "engine/FilterExpression.h"
#include "engine/SqlStore.h"
#include "engine/TQVDatabase.h"
#include "engine/TableView.h"

#include <QCoreApplication>
#include <QSqlDriver>
#include <QSqlError>

#include <sqlite3.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <utility>

namespace {

sqlite3 *sqliteHandle(const QSqlDatabase &database)
{
    const QSqlDriver *driver = database.driver();
    const QVariant handle = driver ? driver->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

void bindValue(sqlite3_stmt *statement, int position, const QVariant &value)
{
    if (value.isNull()) {
        sqlite3_bind_null(statement, position);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(statement, position, value.toDouble());
        break;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        sqlite3_bind_int64(statement, position, value.toLongLong());
        break;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        sqlite3_bind_blob64(
            statement, position, bytes.constData(), sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT);
        break;
    }
    default: {
        const QByteArray text = value.toString().toUtf8();
        sqlite3_bind_text64(statement, position, text.constData(), sqlite3_uint64(text.size()),
            SQLITE_TRANSIENT, SQLITE_UTF8);
        break;
    }
    }
}

// The ids a SELECT of one integer column yields, read straight from SQLite: a list of a few
// hundred thousand ids costs milliseconds rather than a value object per row. False when the
// connection is not SQLite's, for the caller to read them the common way.
bool readIds(const QSqlDatabase &database, const QString &sql, const QVariantList &values,
    std::vector<qint64> &ids, QString &error)
{
    sqlite3 *db = sqliteHandle(database);
    if (!db)
        return false;
    sqlite3_stmt *raw = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &raw, nullptr) != SQLITE_OK) {
        error = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(raw);
        return true;
    }
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> statement(raw, sqlite3_finalize);
    for (int i = 0; i < values.size(); ++i)
        bindValue(raw, i + 1, values.at(i));
    ids.clear();
    int step;
    while ((step = sqlite3_step(raw)) == SQLITE_ROW)
        ids.push_back(sqlite3_column_int64(raw, 0));
    if (step != SQLITE_DONE)
        error = QString::fromUtf8(sqlite3_errmsg(db));
    return true;
}

// "column = ?" with the value bound, or "column IS NULL" for an empty value.
QString equalTo(const QString &column, const QVariant &value, QVariantList &bound)
{
    if (value.isNull())
        return column + QStringLiteral(" IS NULL");
    bound << value;
    return column + QStringLiteral(" = ?");
}

const QVariant &nullValue()
{
    static const QVariant null;
    return null;
}

// The position of the field called name in def; throws EDatabaseError naming table when it has none.
int declaredFieldIndex(const TableDef &def, const QString &name, const QString &table)
{
    const int index = def.fieldIndex(name);
    if (index < 0) {
        throw EDatabaseError(
            QCoreApplication::translate("TableView", "%1: Field '%2' not found").arg(table, name));
    }
    return index;
}

} // namespace

// --- reading ----------------------------------------------------------------------------------

QSqlQuery TableView::select(const QString &sql, const QVariantList &values)
{
    QSqlQuery query(m_database->reader(m_file));
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw EDatabaseError(tr("%1: %2").arg(fileName(), query.lastError().databaseText()));
    for (const QVariant &value : values)
        query.addBindValue(value);
    SqlStore::run(query, fileName());
    return query;
}

QSqlQuery &TableView::kept(
    const QSqlDatabase &connection, const QString &sql, const QVariantList &values)
{
    constexpr size_t keptStatements = 64;
    auto it = m_kept.find(sql);
    // A statement of a connection closed since is prepared anew on the connection of now.
    if (it == m_kept.end() || it->second.driver() != connection.driver()) {
        if (it != m_kept.end())
            m_kept.erase(it);
        else if (m_kept.size() >= keptStatements)
            m_kept.clear();
        QSqlQuery query(connection);
        // A server's driver streams a forward-only result row by row and holds the rest of it
        // until it is read, which a kept statement never does: other messages on the
        // connection, the change notices among them, would wait behind it. Its results come
        // whole instead (these statements read a row or a few).
        query.setForwardOnly(connection.driver()->dbmsType() != QSqlDriver::PostgreSQL);
        if (!query.prepare(sql))
            throw EDatabaseError(tr("%1: %2").arg(fileName(), query.lastError().databaseText()));
        it = m_kept.emplace(sql, std::move(query)).first;
    }
    QSqlQuery &query = it->second;
    query.finish(); // left unread by a run that failed half-way
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
    return query;
}

QSqlQuery &TableView::selectOne(const QString &sql, const QVariantList &values)
{
    QSqlQuery &query = kept(m_database->reader(m_file), sql, values);
    SqlStore::run(query, fileName());
    return query;
}

QString TableView::masterCondition(QVariantList &values) const
{
    if (!m_masterSource || m_masterField.isEmpty())
        return {};
    TableView *master = m_masterSource->dataSet();
    Field *field = master && master->active() ? master->findField(m_masterField) : nullptr;
    if (!field || field->isNull())
        return QStringLiteral("1 = 0"); // no master record: no rows
    const TableDef &def = m_database->tableDef(m_file);
    const int detail = def.fieldIndex(m_detailField);
    if (detail < 0)
        throw EDatabaseError(tr("%1: Field '%2' not found").arg(fileName(), m_detailField));
    values << storageValue(def.fields.at(detail), field->value());
    return quotedColumn(detail) + QStringLiteral(" = ?");
}

QString TableView::whereClause(QVariantList &values) const
{
    QStringList conditions;
    if (m_filtered && !m_filterText.trimmed().isEmpty()) {
        const FilterExpression expression =
            FilterExpression::parse(m_filterText, m_database->tableDef(m_file));
        conditions << expression.sql();
        values << expression.values();
    }
    const QString master = masterCondition(values);
    if (!master.isEmpty())
        conditions << master;
    return conditions.isEmpty()
        ? QString()
        : QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
}

// An empty value sorts first, as SQLite has it anyway; said outright so that every database
// agrees.
QString TableView::orderClause(bool descending) const
{
    QStringList parts = orderColumns();
    const QString rowid = parts.takeLast();
    for (QString &part : parts)
        part += descending ? QStringLiteral(" DESC NULLS LAST") : QStringLiteral(" NULLS FIRST");
    parts << (descending ? rowid + QStringLiteral(" DESC") : rowid);
    return QStringLiteral(" ORDER BY ") + parts.join(QStringLiteral(", "));
}

qint64 TableView::firstRowid()
{
    QVariantList values;
    const QString where = whereClause(values);
    QSqlQuery &query = selectOne(QStringLiteral("SELECT rowid FROM %1%2%3 LIMIT 1")
                                     .arg(m_database->tableRef(m_file), where, orderClause()),
        values);
    const qint64 rowid = query.next() ? query.value(0).toLongLong() : -1;
    query.finish();
    return rowid;
}

QVariantList TableView::writeReturning(const QString &sql, const QVariantList &values, int columns)
{
    QVariantList row;
    if (m_database->sendWrite(m_file, sql, values, &row))
        return row;
    QSqlQuery &query = kept(m_database->writer(m_file), sql, values);
    SqlStore::run(query, fileName()); // a duplicate key reads "<table>: Key violation"
    if (query.next()) {
        for (int i = 0; i < columns; ++i)
            row << query.value(i);
    }
    query.finish();
    return row;
}

QString TableView::shownCondition(QVariantList &values) const
{
    const QString where = whereClause(values);
    return where.isEmpty()
        ? QStringLiteral("1")
        : QStringLiteral("(") + where.mid(QStringLiteral(" WHERE ").size()) + QStringLiteral(")");
}

// Whether the current record is the one this view wrote last and showed as stored, under the
// condition the view has now, with no other write of the file since. Told once.
bool TableView::storedRecordShown()
{
    const StoredRecord stored = std::exchange(m_stored, StoredRecord {});
    if (!stored.shown || stored.rowid != m_currentRowid
        || stored.write != m_database->lastWriteOf(m_file))
        return false;
    QVariantList values;
    const QString condition = shownCondition(values);
    return condition == stored.condition && values == stored.values;
}

bool TableView::rowStillShown(qint64 rowid)
{
    QVariantList values;
    QString where = whereClause(values);
    where +=
        where.isEmpty() ? QStringLiteral(" WHERE rowid = ?") : QStringLiteral(" AND rowid = ?");
    values << rowid;
    QSqlQuery &query = selectOne(
        QStringLiteral("SELECT 1 FROM %1%2").arg(m_database->tableRef(m_file), where), values);
    const bool found = query.next();
    query.finish();
    return found;
}

void TableView::readIdList(const QString &sql, const QVariantList &values, std::vector<qint64> &ids)
{
    QString error;
    if (readIds(m_database->reader(m_file), sql, values, ids, error)) {
        if (!error.isEmpty())
            throw EDatabaseError(tr("%1: %2").arg(fileName(), error));
        return;
    }
    QSqlQuery query = select(sql, values);
    ids.clear();
    while (query.next())
        ids.push_back(query.value(0).toLongLong());
    query.finish();
}

// The list is read from its first record as far as it was read before (at least a page), and on
// to the current record: a view of a long table costs a page to open, not the whole table.
void TableView::ensureRows()
{
    requireActive();
    if (m_rowsValid)
        return;
    m_lastMasterValues.clear();
    m_lastMasterCondition = masterCondition(m_lastMasterValues);
    m_rowids.clear();
    m_allRead = false;
    m_rowsValid = true;
    try {
        readRowsAfter(int(std::max<size_t>(pageRows, m_wantedRows)));
        placeCurrent();
    } catch (...) {
        m_rowsValid = false;
        m_rowids.clear();
        throw;
    }
}

void TableView::readRowsAfter(int count)
{
    if (m_allRead || count <= 0)
        return;
    std::vector<qint64> ids;
    QVariantList lastValues;
    if (!m_rowids.empty())
        lastValues = orderValues(m_rowids.back());
    if (m_rowids.empty() || lastValues.isEmpty()) {
        // From the first record; also when the last one read is gone meanwhile, for the next
        // refresh to put right, rather than lose the rest of the list.
        QVariantList values;
        const QString where = whereClause(values);
        values << count << qint64(m_rowids.size());
        readIdList(QStringLiteral("SELECT rowid FROM %1%2%3 LIMIT ? OFFSET ?")
                       .arg(m_database->tableRef(m_file), where, orderClause()),
            values, ids);
    } else {
        ids = rowidsAfter(lastValues, count);
    }
    m_rowids.insert(m_rowids.end(), ids.begin(), ids.end());
    m_allRead = int(ids.size()) < count;
}

// Each further read takes as many rows as are read already: reaching row n costs a few
// statements however far it is.
void TableView::readRowsThrough(int position)
{
    while (!m_allRead && position >= int(m_rowids.size()))
        readRowsAfter(int(std::max<size_t>(pageRows, m_rowids.size())));
}

void TableView::readAllRows()
{
    readRowsAfter(std::numeric_limits<int>::max());
}

void TableView::placeCurrent()
{
    if (m_rowids.empty()) {
        m_currentRowid = -1;
        m_currentPos = -1;
        m_eof = m_bof = true;
        return;
    }
    if (m_currentRowid >= 0) {
        const auto it = std::find(m_rowids.begin(), m_rowids.end(), m_currentRowid);
        if (it != m_rowids.end()) {
            m_currentPos = int(it - m_rowids.begin());
            return;
        }
        if (!m_allRead && rowStillShown(m_currentRowid)) {
            while (!m_allRead) {
                const size_t from = m_rowids.size();
                readRowsAfter(int(std::max<size_t>(pageRows, from)));
                const auto found = std::find(
                    m_rowids.begin() + std::ptrdiff_t(from), m_rowids.end(), m_currentRowid);
                if (found != m_rowids.end()) {
                    m_currentPos = int(found - m_rowids.begin());
                    return;
                }
            }
        }
    }
    // The current record is gone: stay at its place.
    readRowsThrough(m_currentPos);
    m_currentPos = std::clamp(m_currentPos, 0, int(m_rowids.size()) - 1);
    m_currentRowid = m_rowids.at(m_currentPos);
}

TableView::Record TableView::fetch(qint64 rowid)
{
    QSqlQuery &query = selectOne(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                                     .arg(columnList(), m_database->tableRef(m_file)),
        { rowid });
    Record record;
    if (query.next()) {
        record.values = emptyBuffer();
        for (int i = 0; i < m_dataFieldCount; ++i)
            record.values[i] = query.value(i);
    }
    query.finish();
    return record;
}

const TableView::Record &TableView::record(qint64 rowid)
{
    auto it = m_cache.find(rowid);
    if (it == m_cache.end()) {
        if (m_cache.size() > 4096)
            m_cache.clear();
        Record fetched = fetch(rowid);
        if (fetched.values.isEmpty())
            fetched.values = emptyBuffer(); // gone meanwhile: reads as empty until the next refresh
        it = m_cache.emplace(rowid, std::move(fetched)).first;
    }
    if (it->second.generation != m_database->generation()) {
        calculate(it->second.values);
        it->second.generation = m_database->generation();
    }
    return it->second;
}

const TableView::Record &TableView::recordAt(int index)
{
    if (m_cache.find(m_rowids.at(index)) == m_cache.end())
        prefetch(index);
    return record(m_rowids.at(index));
}

// Reads the records from index on that are not cached yet in one statement, so walking a view or
// painting a grid costs one query per block rather than one per record.
void TableView::prefetch(int index)
{
    constexpr int blockSize = 64;
    if (m_cache.size() > 4096)
        m_cache.clear();
    QVariantList wanted;
    QStringList marks;
    for (int i = index; i < int(m_rowids.size()) && wanted.size() < blockSize; ++i) {
        if (m_cache.find(m_rowids.at(i)) == m_cache.end()) {
            wanted << m_rowids.at(i);
            marks << QStringLiteral("?");
        }
    }
    if (wanted.isEmpty())
        return;
    QSqlQuery query = select(QStringLiteral("SELECT rowid,%1 FROM %2 WHERE rowid IN (%3)")
                                 .arg(columnList(), m_database->tableRef(m_file), marks.join(u',')),
        wanted);
    while (query.next()) {
        Record record;
        record.values = emptyBuffer();
        for (int i = 0; i < m_dataFieldCount; ++i)
            record.values[i] = query.value(i + 1);
        m_cache.emplace(query.value(0).toLongLong(), std::move(record));
    }
    query.finish();
}

void TableView::calculate(QVector<QVariant> &values)
{
    if (int(m_fields.size()) == m_dataFieldCount)
        return;
    for (int i = m_dataFieldCount; i < int(m_fields.size()); ++i)
        values[i] = QVariant();
    QVector<QVariant> *previous = m_calcRecord;
    m_calcRecord = &values;
    try {
        for (int i = m_dataFieldCount; i < int(m_fields.size()); ++i) {
            Field *field = m_fields[i].get();
            if (field->kind() != Field::Kind::Lookup || !field->lookupDataSet
                || !field->lookupDataSet->active())
                continue;
            Field *key = findField(field->keyField);
            if (key && !key->isNull())
                values[i] = storageValue(field->def(),
                    field->lookupDataSet->lookup(
                        field->lookupKeyField, key->value(), field->lookupResultField));
        }
        runHook(onCalcFields);
    } catch (const Exception &) {
        // A value that cannot be worked out shows empty; reading the record goes on.
    }
    m_calcRecord = previous;
}

const QVariant &TableView::activeValue(int field) const
{
    if (m_calcRecord)
        return m_calcRecord->at(field);
    if (isEditing())
        return m_buffer.at(field);
    if (m_state == DataSetState::Inactive || m_currentRowid < 0)
        return nullValue();
    auto *self = const_cast<TableView *>(this);
    if (m_rowsValid && m_currentPos >= 0 && m_currentPos < int(m_rowids.size())
        && m_rowids.at(m_currentPos) == m_currentRowid)
        return self->recordAt(m_currentPos).values.at(field);
    return self->record(m_currentRowid).values.at(field);
}

void TableView::setActiveValue(Field *field, const QVariant &value)
{
    if (m_calcRecord) {
        if (field->kind() == Field::Kind::Data)
            throw EDatabaseError(
                tr("%1: Field '%2' cannot be modified").arg(fileName(), field->fieldName()));
        (*m_calcRecord)[field->index()] = value;
        return;
    }
    if (!isEditing())
        throw EDatabaseError(tr("%1: Dataset not in edit or insert mode").arg(fileName()));
    if (field->kind() != Field::Kind::Data)
        throw EDatabaseError(
            tr("%1: Field '%2' cannot be modified").arg(fileName(), field->fieldName()));
    touch();
    m_buffer[field->index()] = value;
    m_modified = true;
    if (field->onChange)
        field->onChange(*field);
    calculate(m_buffer);
    if (m_disableCount > 0)
        m_pendingSignals = true;
    else
        emit fieldChanged(field);
}

void TableView::restoreEditBuffer(const QVector<QVariant> &buffer, bool modified)
{
    if (!isEditing() || buffer.size() != m_buffer.size())
        return;
    m_buffer = buffer;
    m_modified = modified;
    calculate(m_buffer);
    emitData();
}

// --- navigation -------------------------------------------------------------------------------

void TableView::moveTo(int position)
{
    touch();
    m_currentPos = position;
    m_currentRowid = m_rowids.at(position);
    emitCurrent();
    runHook(afterScroll);
}

void TableView::first()
{
    requireActive();
    checkBrowseMode();
    ensureRows();
    if (m_rowids.empty()) {
        touch();
        m_eof = m_bof = true;
        return;
    }
    moveTo(0);
    m_bof = true;
    m_eof = false;
}

void TableView::last()
{
    requireActive();
    checkBrowseMode();
    ensureRows();
    if (m_rowids.empty()) {
        touch();
        m_eof = m_bof = true;
        return;
    }
    readAllRows();
    moveTo(int(m_rowids.size()) - 1);
    m_eof = true;
    m_bof = false;
}

void TableView::next()
{
    requireActive();
    checkBrowseMode();
    ensureRows();
    const int position = recNo();
    touch();
    if (position >= 0)
        readRowsThrough(position + 1);
    if (position >= 0 && position + 1 < int(m_rowids.size())) {
        moveTo(position + 1);
        m_bof = m_eof = false;
    } else {
        m_eof = true;
        m_bof = m_rowids.empty();
    }
}

void TableView::prior()
{
    requireActive();
    checkBrowseMode();
    ensureRows();
    const int position = recNo();
    touch();
    if (position > 0) {
        moveTo(position - 1);
        m_bof = m_eof = false;
    } else {
        m_bof = true;
        m_eof = m_rowids.empty();
    }
}

bool TableView::isEmpty()
{
    requireActive();
    return m_rowsValid ? m_rowids.empty() && m_state != DataSetState::Insert
                       : m_currentRowid < 0 && firstRowid() < 0 && m_state != DataSetState::Insert;
}

int TableView::recordCount()
{
    ensureRows();
    readAllRows();
    return int(m_rowids.size());
}

int TableView::recNo()
{
    if (!active())
        return -1;
    if (m_state == DataSetState::Insert)
        return insertPos();
    return currentPosition();
}

int TableView::insertPos()
{
    if (m_insertPos == insertBeforeCurrent || m_insertPos == insertAtEnd) {
        const int position = m_insertPos == insertAtEnd ? recordCount() : currentPosition();
        m_insertPos = position < 0 ? 0 : position;
    }
    return m_insertPos;
}

int TableView::currentPosition()
{
    if (m_currentRowid < 0)
        return -1;
    ensureRows();
    if (m_currentPos < 0 || m_currentPos >= int(m_rowids.size())
        || m_rowids.at(m_currentPos) != m_currentRowid)
        placeCurrent();
    return m_currentPos;
}

void TableView::setRecNo(int position)
{
    requireActive();
    checkBrowseMode();
    ensureRows();
    if (position >= 0)
        readRowsThrough(position);
    if (position < 0 || position >= int(m_rowids.size()))
        return;
    moveTo(position);
    m_bof = m_eof = false;
}

// Makes the first record in the view's order that matches where current; false when none does.
bool TableView::moveToFirstWhere(const QString &where, const QVariantList &bound)
{
    QSqlQuery &query = selectOne(QStringLiteral("SELECT rowid FROM %1%2%3 LIMIT 1")
                                     .arg(m_database->tableRef(m_file), where, orderClause()),
        bound);
    const qint64 rowid = query.next() ? query.value(0).toLongLong() : -1;
    query.finish();
    if (rowid < 0)
        return false;
    touch();
    m_currentRowid = rowid;
    m_currentPos = -1;
    m_eof = m_bof = false;
    emitCurrent();
    runHook(afterScroll);
    return true;
}

QStringList TableView::orderColumns() const
{
    const TableDef &def = m_database->tableDef(m_file);
    QStringList columns;
    for (const QString &name : orderFieldsFor(def))
        columns << quotedColumn(def.fieldIndex(name));
    columns << QStringLiteral("rowid");
    return columns;
}

QVariantList TableView::orderValues(qint64 rowid)
{
    // A record read since the last change of the file is not read again.
    if (const auto it = m_cache.find(rowid); it != m_cache.end()) {
        const TableDef &def = m_database->tableDef(m_file);
        QVariantList values;
        for (const QString &name : orderFieldsFor(def))
            values << it->second.values.value(def.fieldIndex(name));
        return values << rowid;
    }
    const QStringList columns = orderColumns();
    QSqlQuery &query = selectOne(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                                     .arg(columns.join(u','), m_database->tableRef(m_file)),
        { rowid });
    QVariantList values;
    if (query.next()) {
        for (int i = 0; i < columns.size(); ++i)
            values << query.value(i);
    }
    query.finish();
    return values;
}

QStringList TableView::sameOrderTerms(
    const QStringList &columns, const QVariantList &values, int level, QVariantList &bound) const
{
    QStringList terms;
    for (int i = 0; i < level; ++i) {
        if (values.at(i).isNull()) {
            terms << columns.at(i) + QStringLiteral(" IS NULL");
        } else {
            terms << columns.at(i) + QStringLiteral(" = ?");
            bound << values.at(i);
        }
    }
    return terms;
}

qint64 TableView::neighbourRowid(const QVariantList &values, bool after)
{
    const QStringList columns = orderColumns();
    if (values.size() != columns.size())
        return -1;
    // (a, b, rowid) beyond (x, y, r) in the order SQLite sorts, NULL first, spelt out as ranges
    // an index answers: the same a and b with a later rowid, else the same a with a later b, else
    // a later a (before: an earlier one, else an empty one). The nearest range that holds a
    // record gives the answer; each range is its own LIMIT 1 look-up, tried in that turn.
    QVariantList whereValues;
    const QString where = whereClause(whereValues);
    const QString orderBy = orderClause(!after);
    QStringList lookups;
    QVariantList bound;
    const auto addRange = [&](int level, const QString &condition, const QVariant &value) {
        bound << whereValues;
        QStringList terms = sameOrderTerms(columns, values, level, bound);
        terms << condition.arg(columns.at(level));
        if (value.isValid())
            bound << value;
        lookups << QStringLiteral("(SELECT rowid FROM %1%2%3%4 LIMIT 1)")
                       .arg(m_database->tableRef(m_file), where,
                           (where.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND "))
                               + terms.join(QStringLiteral(" AND ")),
                           orderBy);
    };
    for (int level = int(columns.size()) - 1; level >= 0; --level) {
        const QVariant &value = values.at(level);
        if (after && value.isNull()) {
            addRange(level, QStringLiteral("%1 IS NOT NULL"), QVariant());
        } else if (after) {
            addRange(level, QStringLiteral("%1 > ?"), value);
        } else if (!value.isNull()) { // nothing sorts before an empty value
            addRange(level, QStringLiteral("%1 < ?"), value);
            addRange(level, QStringLiteral("%1 IS NULL"), QVariant());
        }
    }
    if (lookups.isEmpty())
        return -1;
    lookups << QStringLiteral("NULL");
    QSqlQuery &query = selectOne(
        QStringLiteral("SELECT COALESCE(%1)").arg(lookups.join(QStringLiteral(", "))), bound);
    const QVariant found = query.next() ? query.value(0) : QVariant();
    query.finish();
    return found.isNull() ? -1 : found.toLongLong();
}

// The ranges of neighbourRowid, read in turn, nearest first, until limit records are found:
// the next page of a list costs a statement or two through the order's index.
std::vector<qint64> TableView::rowidsAfter(const QVariantList &values, int limit)
{
    std::vector<qint64> found;
    const QStringList columns = orderColumns();
    if (values.size() != columns.size())
        return found;
    QVariantList whereValues;
    const QString where = whereClause(whereValues);
    std::vector<qint64> ids;
    for (int level = int(columns.size()) - 1; level >= 0 && int(found.size()) < limit; --level) {
        QVariantList bound = whereValues;
        QStringList terms = sameOrderTerms(columns, values, level, bound);
        if (values.at(level).isNull()) {
            terms << columns.at(level) + QStringLiteral(" IS NOT NULL");
        } else {
            terms << columns.at(level) + QStringLiteral(" > ?");
            bound << values.at(level);
        }
        bound << qint64(limit) - qint64(found.size());
        readIdList(QStringLiteral("SELECT rowid FROM %1%2%3%4 LIMIT ?")
                       .arg(m_database->tableRef(m_file), where,
                           (where.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND "))
                               + terms.join(QStringLiteral(" AND ")),
                           orderClause()),
            bound, ids);
        found.insert(found.end(), ids.begin(), ids.end());
    }
    return found;
}

bool TableView::findKey(const QVariantList &values)
{
    requireActive();
    checkBrowseMode();
    const TableDef &def = m_database->tableDef(m_file);
    const QStringList order = orderFieldsFor(def);
    if (values.size() > order.size())
        throw EDatabaseError(tr("%1: more key values than order fields").arg(fileName()));
    QVariantList bound;
    QString where = whereClause(bound);
    for (int i = 0; i < values.size(); ++i) {
        const int index = def.fieldIndex(order.at(i));
        where += (where.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND "))
            + equalTo(quotedColumn(index), storageValue(def.fields.at(index), values.at(i)), bound);
    }
    return moveToFirstWhere(where, bound);
}

bool TableView::locate(const QString &field, const QVariant &value)
{
    requireActive();
    checkBrowseMode();
    const TableDef &def = m_database->tableDef(m_file);
    const int index = declaredFieldIndex(def, field, fileName());
    QVariantList bound;
    QString where = whereClause(bound);
    where += (where.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND "))
        + equalTo(quotedColumn(index), storageValue(def.fields.at(index), value), bound);
    return moveToFirstWhere(where, bound);
}

bool TableView::moveToRowid(qint64 rowid)
{
    requireActive();
    checkBrowseMode();
    if (rowid == m_currentRowid)
        return true;
    QVariantList bound;
    QString where = whereClause(bound);
    where += (where.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND "))
        + QStringLiteral("rowid = ?");
    bound << rowid;
    return moveToFirstWhere(where, bound);
}

namespace {

// Text as a LIKE pattern for LOWER() of a field that matches whatever starts with it (or holds
// it anywhere), letter case aside, even where LOWER() folds only ASCII letters: other letters
// that have a case match any one character, its own wildcards are escaped.
QString lowerPattern(const QString &text, bool anywhere)
{
    QString pattern = anywhere ? QStringLiteral("%") : QString();
    for (const QChar c : text) {
        if (c.unicode() >= 0x80 && (c.toUpper() != c || c.toLower() != c)) {
            pattern += u'_';
            continue;
        }
        if (c == u'\\' || c == u'%' || c == u'_')
            pattern += u'\\';
        pattern += c.unicode() < 0x80 ? c.toLower() : c;
    }
    return pattern + u'%';
}

} // namespace

QList<std::pair<qint64, QString>> TableView::recordsContaining(
    const QString &field, const QString &text, int offset, int limit)
{
    requireActive();
    const TableDef &def = m_database->tableDef(m_file);
    const int index = declaredFieldIndex(def, field, fileName());
    const QString column = quotedColumn(index);
    QVariantList bound;
    QString where = whereClause(bound);
    where += (where.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND "))
        + QStringLiteral("LOWER(%1) LIKE ? ESCAPE '\\'").arg(column);
    bound << lowerPattern(text, true) << limit << offset;
    QSqlQuery query = select(QStringLiteral("SELECT rowid, %1 FROM %2%3%4 LIMIT ? OFFSET ?")
                                 .arg(column, m_database->tableRef(m_file), where, orderClause()),
        bound);
    QList<std::pair<qint64, QString>> found;
    while (query.next())
        found.append({ query.value(0).toLongLong(), query.value(1).toString() });
    query.finish();
    return found;
}

qint64 TableView::firstRowidStartingWith(const QString &field, const QString &text)
{
    requireActive();
    const TableDef &def = m_database->tableDef(m_file);
    const int index = declaredFieldIndex(def, field, fileName());
    const QString column = quotedColumn(index);
    const QStringList order = orderFieldsFor(def);
    const bool leads = !order.isEmpty() && def.fieldIndex(order.first()) == index;
    // Where the field leads the order, each spelling of the start is a stretch its index finds;
    // otherwise the order is walked up to the first record that may match.
    const QStringList stretches = leads ? CaseSpellings::of(text) : QStringList { QString() };
    qint64 found = -1;
    QByteArray foundText;
    for (const QString &start : stretches) {
        QVariantList bound;
        QString where = whereClause(bound);
        where += (where.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND "))
            + QStringLiteral("LOWER(%1) LIKE ? ESCAPE '\\'").arg(column);
        bound << lowerPattern(text, false);
        if (!start.isEmpty()) {
            where += QStringLiteral(" AND %1 >= ? AND %1 < ?").arg(column);
            bound << start << start + QString::fromUcs4(U"\U0010FFFF", 1);
        }
        QSqlQuery query = select(QStringLiteral("SELECT rowid, %1 FROM %2%3%4")
                                     .arg(column, m_database->tableRef(m_file), where, orderClause()),
            bound);
        while (query.next()) {
            const QString value = query.value(1).toString();
            if (!value.startsWith(text, Qt::CaseInsensitive))
                continue;
            // The stretches lie apart in the field's order: the first one found wins.
            const QByteArray bytes = value.toUtf8();
            const qint64 rowid = query.value(0).toLongLong();
            if (found < 0 || bytes < foundText || (bytes == foundText && rowid < found)) {
                found = rowid;
                foundText = bytes;
            }
            break;
        }
        query.finish();
    }
    return found;
}

bool TableView::fileHasValue(const QString &field, const QVariant &value, qint64 excludedRowid)
{
    requireActive();
    const TableDef &def = m_database->tableDef(m_file);
    const int index = declaredFieldIndex(def, field, fileName());
    QVariantList bound;
    const QString same =
        equalTo(quotedColumn(index), storageValue(def.fields.at(index), value), bound);
    bound << excludedRowid; // never a row id, when none is excluded
    QSqlQuery &query = selectOne(QStringLiteral("SELECT 1 FROM %1 WHERE %2 AND rowid <> ? LIMIT 1")
                                     .arg(m_database->tableRef(m_file), same),
        bound);
    const bool found = query.next();
    query.finish();
    return found;
}

QVariant TableView::lookup(const QString &keyField, const QVariant &key, const QString &resultField)
{
    requireActive();
    const TableDef &def = m_database->tableDef(m_file);
    const int keyIndex = def.fieldIndex(keyField);
    const int resultIndex = def.fieldIndex(resultField);
    if (keyIndex < 0 || resultIndex < 0)
        throw EDatabaseError(
            tr("%1: Field '%2' not found").arg(fileName(), keyIndex < 0 ? keyField : resultField));
    QVariantList bound;
    QString where = whereClause(bound);
    where += (where.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND "))
        + equalTo(quotedColumn(keyIndex), storageValue(def.fields.at(keyIndex), key), bound);
    const QString sql =
        QStringLiteral("SELECT %1 FROM %2%3%4 LIMIT 1")
            .arg(quotedColumn(resultIndex), m_database->tableRef(m_file), where, orderClause());
    // A grid's lines look up the same few records again and again: answers are kept while
    // nothing this copy knows of changed the table.
    const quint64 stamp = m_database->changeStampOf(m_file);
    if (stamp != m_lookupsStamp || m_lookups.size() >= 1024) {
        m_lookups.clear();
        m_lookupsStamp = stamp;
    }
    QString asked = sql;
    for (const QVariant &value : std::as_const(bound))
        asked += u'\x1f' + QString::number(value.typeId()) + u':' + value.toString();
    const auto known = m_lookups.constFind(asked);
    if (known != m_lookups.cend())
        return *known;
    QSqlQuery &query = selectOne(sql, bound);
    QVariant result = query.next() ? query.value(0) : QVariant();
    query.finish();
    if (def.fields.at(resultIndex).type == FieldType::Date && !result.isNull())
        result = QDate::fromString(result.toString(), Qt::ISODate);
    m_lookups.insert(asked, result);
    return result;
}

void TableView::refresh()
{
    requireActive();
    checkBrowseMode();
    invalidate();
}

void TableView::invalidate()
{
    static const QSet<qint64> any { TQVDatabase::anyRow };
    invalidate(any);
}

void TableView::invalidate(const QSet<qint64> &writtenRows)
{
    if (!active())
        return;
    // Lazy: the ordered ids are read again when someone next asks for a row or a position.
    const bool wasRead = m_rowsValid;
    m_rowsValid = false;
    // The current record's order values as last read, to find its neighbour should it be gone.
    QVariantList lastOrderValues;
    if (!wasRead && m_cache.find(m_currentRowid) != m_cache.end())
        lastOrderValues = orderValues(m_currentRowid); // from the cache: no reading

    m_cache.clear();
    // A record this copy's commit did not write is shown as before, unless the view's range
    // follows a master, whose values may have changed.
    const bool untouched = !writtenRows.contains(TQVDatabase::anyRow)
        && !writtenRows.contains(m_currentRowid) && !m_masterSource;
    const bool knownShown = storedRecordShown() || untouched;
    if (m_currentRowid >= 0 && !isEditing() && !knownShown && !rowStillShown(m_currentRowid)) {
        if (wasRead) {
            ensureRows(); // the current record is gone: its neighbour takes its place
        } else {
            qint64 neighbour = lastOrderValues.isEmpty() ? -1 : neighbourRowid(lastOrderValues, true);
            if (neighbour < 0 && !lastOrderValues.isEmpty())
                neighbour = neighbourRowid(lastOrderValues, false);
            m_currentRowid = neighbour >= 0 ? neighbour : firstRowid();
            m_currentPos = -1;
            m_eof = m_bof = m_currentRowid < 0;
        }
    }
    emitData();
    emitCurrent();
}

// --- rows for grids ---------------------------------------------------------------------------

int TableView::rowCount()
{
    if (!active())
        return 0;
    ensureRows();
    readAllRows();
    return int(m_rowids.size()) + (m_state == DataSetState::Insert ? 1 : 0);
}

int TableView::loadedRowCount()
{
    if (!active())
        return 0;
    ensureRows();
    currentRow(); // the list reaches the current record (and a new one's place)
    return int(m_rowids.size()) + (m_state == DataSetState::Insert ? 1 : 0);
}

bool TableView::canReadMoreRows()
{
    if (!active())
        return false;
    ensureRows();
    return !m_allRead;
}

void TableView::readMoreRows()
{
    if (!active())
        return;
    ensureRows();
    readRowsAfter(pageRows);
    m_wantedRows = std::max(m_wantedRows, m_rowids.size());
}

int TableView::currentRow()
{
    return recNo();
}

QVariant TableView::rowValue(int row, int field)
{
    if (!active() || field < 0 || field >= fieldCount())
        return {};
    ensureRows();
    const QVariant *stored = nullptr;
    if (isEditing() && row == currentRow()) {
        stored = &m_buffer.at(field);
    } else {
        int index = row;
        if (m_state == DataSetState::Insert && row > insertPos())
            --index;
        if (index >= 0)
            readRowsThrough(index);
        if (index < 0 || index >= int(m_rowids.size()))
            return {};
        stored = &recordAt(index).values.at(field);
    }
    if (stored->isNull())
        return {};
    if (m_fields[field]->dataType() == FieldType::Date)
        return QDate::fromString(stored->toString(), Qt::ISODate);
    return *stored;
}

QString TableView::rowDisplayText(int row, int field)
{
    const QVariant value = rowValue(row, field);
    if (value.isNull())
        return {};
    Field *f = m_fields[field].get();
    if (f->dataType() == FieldType::Date)
        return f->displayTextFor(value.toDate().toString(Qt::ISODate));
    return f->displayTextFor(value);
}

#include "engine/RecordWriter.h"

#include "engine/Exception.h"
#include "engine/FilterExpression.h"
#include "engine/SqlStore.h"
#include "engine/TQVDatabase.h"

#include <QCoreApplication>
#include <QSqlError>

#include <cmath>

RecordWriter::RecordWriter(TQVDatabase &database, int file)
    : m_database(database)
    , m_file(file)
{ }

QSqlQuery RecordWriter::prepared(const QString &sql)
{
    QSqlQuery query(m_database.writer(m_file));
    if (!query.prepare(sql))
        throw EDatabaseError(
            m_database.fileName(m_file) + QStringLiteral(": ") + query.lastError().databaseText());
    return query;
}

QHash<QString, qint64> RecordWriter::rowidsBy(const QString &field)
{
    const TableDef &def = m_database.tableDef(m_file);
    if (def.fieldIndex(field) < 0)
        throw EDatabaseError(QCoreApplication::translate("TableView", "%1: Field '%2' not found")
                                 .arg(m_database.fileName(m_file), field));
    QSqlQuery query = prepared(QStringLiteral("SELECT rowid, %1 FROM %2 ORDER BY rowid")
                                   .arg(SqlStore::quoted(field), m_database.tableRef(m_file)));
    query.setForwardOnly(true);
    SqlStore::run(query, m_database.fileName(m_file));
    QHash<QString, qint64> rowids;
    while (query.next()) {
        const QString text = query.value(1).toString();
        if (!rowids.contains(text))
            rowids.insert(text, query.value(0).toLongLong());
    }
    query.finish();
    return rowids;
}

// As Field::setValue stores it: an amount too large to be a number is never stored.
QVariant RecordWriter::stored(int field, const QVariant &value) const
{
    const FieldDef &def = m_database.tableDef(m_file).fields.at(field);
    QVariant result = storageValue(def, value);
    if (result.typeId() == QMetaType::Double && !std::isfinite(result.toDouble()))
        throw EConvertError(
            QCoreApplication::translate("Field", "The amount for '%1' is too large to be stored")
                .arg(def.name));
    return result;
}

void RecordWriter::add(const QVector<QVariant> &values)
{
    const TableDef &def = m_database.tableDef(m_file);
    if (!m_insertReady) {
        QStringList columns;
        QStringList marks;
        for (const FieldDef &field : def.fields) {
            columns << SqlStore::quoted(field.name);
            marks << QStringLiteral("?");
        }
        m_insert =
            prepared(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                         .arg(m_database.tableRef(m_file), columns.join(u','), marks.join(u',')));
        m_insertReady = true;
    }
    for (int i = 0; i < def.fields.size(); ++i)
        m_insert.bindValue(i, i < values.size() ? stored(i, values.at(i)) : QVariant());
    SqlStore::run(m_insert, m_database.fileName(m_file)); // "<table>: Key violation"
    noteWritten();
}

void RecordWriter::change(qint64 rowid, const QList<int> &fields, const QVariantList &values)
{
    auto update = m_updates.find(fields);
    if (update == m_updates.end()) {
        const TableDef &def = m_database.tableDef(m_file);
        QStringList assignments;
        for (int field : fields)
            assignments << SqlStore::quoted(def.fields.at(field).name) + QStringLiteral(" = ?");
        update = m_updates.insert(fields,
            prepared(
                QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                    .arg(m_database.tableRef(m_file), assignments.join(QStringLiteral(", ")))));
    }
    QSqlQuery &query = *update;
    for (int i = 0; i < fields.size(); ++i)
        query.bindValue(i, stored(fields.at(i), values.value(i)));
    query.bindValue(int(fields.size()), rowid);
    SqlStore::run(query, m_database.fileName(m_file));
    if (query.numRowsAffected() == 0)
        throw EDatabaseError(
            QCoreApplication::translate("TableView", "%1: The record was deleted by another user")
                .arg(m_database.fileName(m_file)));
    noteWritten();
}

// Every write is noted, so that a view that wrote one of these records before knows it may have
// changed since.
void RecordWriter::noteWritten()
{
    m_database.noteWritten(m_file);
}

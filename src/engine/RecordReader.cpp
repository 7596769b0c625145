#include "engine/RecordReader.h"

#include "engine/SqlDialect.h"
#include "engine/SqlStore.h"
#include "engine/TQVDatabase.h"

RecordReader::RecordReader(TQVDatabase &database, int file, const QStringList &orderFields)
    : m_query(database.reader(file))
{
    const TableDef &def = database.tableDef(file);
    QStringList columns;
    for (const FieldDef &field : def.fields)
        columns << SqlStore::quoted(field.name);
    QStringList order;
    for (const QString &field : orderFields)
        order << SqlStore::quoted(field) + QStringLiteral(" NULLS FIRST"); // as SQLite orders
    order << SqlDialect::rowIdColumn();
    m_query.setForwardOnly(true);
    m_query.prepare(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                        .arg(columns.join(u','), database.tableRef(file),
                            order.join(QStringLiteral(", "))));
    SqlStore::run(m_query, database.fileName(file)); // a statement that failed to prepare too
}

bool RecordReader::next()
{
    if (m_query.next())
        return true;
    m_query.finish();
    return false;
}

#include "data/ServerTransfer.h"

#include "engine/Exception.h"
#include "engine/ServerConnection.h"
#include "engine/ServerSchema.h"
#include "engine/ServerStore.h"
#include "engine/SqlStore.h"
#include "engine/TableDef.h"

#include <QCryptographicHash>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>

using namespace Qt::Literals::StringLiterals;

namespace {

// Every stored field and the row id, in declared order.
QString columnList(const TableDef &def)
{
    QStringList columns;
    for (const FieldDef &field : def.fields)
        columns << SqlStore::quoted(field.name);
    columns << ServerSchema::rowIdColumn();
    return columns.join(u", "_s);
}

QString selectAll(const TableDef &def)
{
    return u"SELECT %1 FROM %2 ORDER BY %3"_s.arg(
        columnList(def), SqlStore::tableRef(def), ServerSchema::rowIdColumn());
}

// One value as the same bytes whichever database read it: numbers by their exact value, texts
// and dates as text, pictures by their bytes; a null apart from every value.
void addValue(QCryptographicHash &hash, const QVariant &value, FieldType type)
{
    if (value.isNull()) {
        hash.addData("N");
        return;
    }
    QByteArray bytes;
    if (type == FieldType::Graphic)
        bytes = "B" + value.toByteArray();
    else if (isNumericType(type))
        bytes = "D" + QByteArray::number(value.toDouble(), 'g', 17);
    else
        bytes = "S" + value.toString().toUtf8();
    hash.addData(QByteArray::number(bytes.size()) + ':');
    hash.addData(bytes);
}

[[noreturn]] void fail(const QString &context, const QSqlQuery &query)
{
    throw EDatabaseError(
        u"%1: %2"_s.arg(context, query.lastError().text().trimmed()), SqlStore::errorKind(query));
}

// Copies the rows of def from source through target, each with its row id, and sets the table's
// row id sequence past the largest. The rows go a few hundred a statement, each value as the
// driver writes it as a literal: as it read it, so a value the server's column cannot hold (text
// in a number) is refused rather than changed. (No prepared statement: one left behind in a
// failed transaction cannot be let go of until it ends.)
void copyTable(
    const QSqlDatabase &source, QSqlQuery &target, const TableDef &def, const QString &context)
{
    QSqlQuery read(source);
    read.setForwardOnly(true);
    if (!read.exec(selectAll(def)))
        fail(context, read);
    const QString insert =
        u"INSERT INTO %1 (%2) VALUES "_s.arg(SqlStore::tableRef(def), columnList(def));
    const int columns = int(def.fields.size()) + 1;
    constexpr int rowsAStatement = 500;
    QStringList rows;
    const auto flush = [&] {
        if (rows.isEmpty())
            return;
        if (!target.exec(insert + rows.join(u", "_s)))
            fail(context, target);
        rows.clear();
    };
    while (read.next()) {
        QStringList values;
        for (int i = 0; i < columns; ++i) {
            const QVariant value = read.value(i);
            QSqlField field(QString(), value.metaType());
            field.setValue(value);
            values << target.driver()->formatValue(field);
        }
        rows << u'(' + values.join(u", "_s) + u')';
        if (rows.size() == rowsAStatement)
            flush();
    }
    if (read.lastError().isValid())
        fail(context, read);
    read.finish();
    flush();
    const QString table = SqlStore::tableRef(def);
    if (!target.exec(u"SELECT setval(pg_get_serial_sequence(%1, '%2'), "
                     "COALESCE(MAX(%2), 0) + 1, false) FROM %3"_s.arg(
                         ServerSchema::literal(table), ServerSchema::rowIdColumn(), table)))
        fail(context, target);
    target.finish();
}

} // namespace

QByteArray ServerTransfer::digest(QSqlQuery &query, const TableDef &def, qint64 *count)
{
    query.setForwardOnly(true);
    if (!query.exec(selectAll(def)))
        fail(u"Cannot read %1"_s.arg(def.fileName), query);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    *count = 0;
    while (query.next()) {
        ++*count;
        for (int i = 0; i < def.fields.size(); ++i)
            addValue(hash, query.value(i), def.fields.at(i).type);
        addValue(hash, query.value(int(def.fields.size())), FieldType::Number);
    }
    if (query.lastError().isValid())
        fail(u"Cannot read %1"_s.arg(def.fileName), query);
    query.finish();
    return hash.result();
}

void ServerTransfer::copy(
    const QSqlDatabase &source, const Schema &schema, const ServerConnection &server)
{
    ServerStore::create(server, schema, [&](QSqlQuery &target) {
        for (const TableDef &def : schema.tables) {
            copyTable(source, target, def,
                u"Cannot copy %1 to %2"_s.arg(def.fileName, server.serverName()));
            QSqlQuery read(source);
            qint64 sourceRows = 0;
            qint64 serverRows = 0;
            const QByteArray expected = digest(read, def, &sourceRows);
            const QByteArray copied = digest(target, def, &serverRows);
            if (serverRows != sourceRows) {
                throw EDatabaseError(u"Copying %1 to %2 gave %3 rows instead of %4; nothing was "
                                     "copied"_s.arg(def.fileName, server.serverName())
                                         .arg(serverRows)
                                         .arg(sourceRows));
            }
            if (copied != expected) {
                throw EDatabaseError(u"Copying %1 to %2 changed the content of its rows; nothing "
                                     "was copied"_s.arg(def.fileName, server.serverName()));
            }
        }
    });
}

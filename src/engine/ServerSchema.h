#pragma once

#include "engine/TableDef.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <functional>

// How a schema's tables are declared on a PostgreSQL server, and made there.
//
// Each table keeps its declared name (quoted, exact spelling: "Quotes.DB") and its fields in
// declared order, with types that carry the field type as the embedded database's do: an Alpha
// field is varchar(n), the others are domains of ours (number_real, money_real, number_money_real
// over double precision, date_text over text holding yyyy-MM-dd as the embedded store does,
// memo_text over text, graphic_blob over bytea), so a check reads the field type back from the
// catalog. Text compares by byte (COLLATE "C") as SQLite's does, so orders and prefix ranges match.
// Then the primary key ("<table>/primary"), the named indexes as "<table>/<index>", and a last
// column rowid (bigint, an identity, unique as "<table>/rowid"): the row identity the views keep.
//
// Beside the tables: TQVChanges, one counter row a table (its name in upper case) that a
// statement-level trigger on the table bumps at every write, telling other connections through
// NOTIFY on changesChannel() with the same name as payload, whoever wrote; TQVSessions, the lock
// holders' table ServerRecordLocks reads; and TQVFormat, one row naming whose database this is
// and its format (the embedded store's application id and format version).
class ServerSchema
{
public:
    static QString formatTable() { return QStringLiteral("TQVFormat"); }
    static QString changesChannel() { return QStringLiteral("tessorin_changes"); }
    static QString changeFunction() { return QStringLiteral("tessorin_count_change"); }
    static QString changeTrigger() { return QStringLiteral("tessorin_changes"); }
    static QString rowIdColumn() { return QStringLiteral("rowid"); }

    // A domain of ours and the type it is declared over.
    struct Domain
    {
        QString name;
        QString baseType;
    };
    static QList<Domain> domains();

    static QString columnType(const FieldDef &field); // as the catalog's format_type() spells it
    static bool isText(const FieldDef &field); // compared by byte (COLLATE "C")
    static QString primaryKeyName(const TableDef &def);
    static QString rowIdKeyName(const TableDef &def);
    static QString changeKey(const TableDef &def); // its TQVChanges row and notice payload
    // A text literal for SQL of our own making (the schema's names, never a user's value).
    static QString literal(const QString &text);
    // The trigger function's body, as the catalog keeps it.
    static QString changeFunctionBody();

    // Every statement that makes the schema in an empty database, in order.
    static QStringList createStatements(const Schema &schema);
    // Makes the schema in the database of connection, all in one transaction; serverName names
    // it in messages. fill, when given, adds the first rows through the query in the same
    // transaction. A database that already holds anything is refused. Throws EDatabaseError.
    static void create(QSqlDatabase connection, const Schema &schema, const QString &serverName,
        const std::function<void(QSqlQuery &)> &fill = {});
};

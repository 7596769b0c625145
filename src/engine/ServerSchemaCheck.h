#pragma once

#include "engine/TableDef.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// What is wrong with a server database as the home of a schema, read from the server's catalog
// in a few statements: the server counterpart of the embedded store's validate and
// validateNothingElse. It finds another program's database (no marker, a foreign one), another
// format, a missing or differently declared table, field, key, index, counter or change notice,
// and anything of ours' name space that the schema does not declare (tables, views, sequences,
// indexes, triggers, rules, policies, functions, types) or any event trigger: things brought in
// from outside that could run code of their own at every write or hide rows.
//
// Everything is looked for in the connection's current schema (the first of its search path).
class ServerSchemaCheck
{
public:
    // Each problem as a message naming serverName (the server database, as the user knows it)
    // and what is wrong; empty when the database is the schema's, as ServerSchema makes it.
    // When the database is not ours or of another format, that is the one problem. Throws
    // EDatabaseError when the catalog cannot be read.
    static QStringList problems(
        const QSqlDatabase &connection, const Schema &schema, const QString &serverName);
    // Everything in the current schema and every event trigger, as "table \"name\"",
    // "trigger \"name\" on \"table\"" and the like; empty for an empty database.
    static QStringList everythingFound(const QSqlDatabase &connection, const QString &serverName);
};

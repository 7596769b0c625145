#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

class ServerConnection;
struct Schema;
struct TableDef;

// Copies the data of an embedded database into a new server database, all or nothing: the tables
// are made in the server's empty database and every row of every table is copied into them, with
// its row id, in the one transaction that makes them; before that transaction commits, each
// table is read back from the server and compared with the source, row count and content, so a
// server database that differs in one value is never left behind. The server's row ids continue
// after the largest copied.
class ServerTransfer
{
public:
    // source is a connection to the embedded database, read as one commit left it (the caller
    // holds a snapshot or the write transaction). Throws EDatabaseError naming the server and the
    // table; the server database then holds nothing new.
    static void copy(
        const QSqlDatabase &source, const Schema &schema, const ServerConnection &server);

    // A digest of the content of a table, row after row in row id order, each value in a form
    // that is the same on either database for the same stored value. count gets the rows.
    // Runs on query's connection.
    static QByteArray digest(QSqlQuery &query, const TableDef &def, qint64 *count);
};

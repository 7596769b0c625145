#pragma once

#include "engine/ServerConnection.h"

#include <QList>
#include <QString>

// Data directories whose data lives on a PostgreSQL server: the directory holds Tessorin.server,
// the server's connection keywords (never a password), instead of the database. What the program
// and the data tool both do. Each function is all or nothing: a failure throws EDataDirectory or
// EDatabaseError with its message and leaves neither a new file in the directory nor a table in
// the server's database. Tessorin.server is shared with the group as the other files are
// (engine/SharedFolder.h).

// Makes a new data directory at path (new or empty, as createDataDirectory) for the empty
// database of server: the tables, indexes and counters, the same first rows as an embedded
// directory's, then Tessorin.server.
void createServerDataDirectory(const QString &path, const ServerConnection &server);

// Makes a new data directory at path (new or empty) for an existing database of ours on server,
// as another computer needs it. Refuses an empty database, another program's or another format's,
// and one that the store's checks find anything wrong with.
void attachServerDataDirectory(const QString &path, const ServerConnection &server);

// Copies the data of the embedded data directory at path into the empty database of server,
// checked row for row, then switches the directory to the server: writes Tessorin.server and keeps
// the database file as movedDatabaseFileName(). Refuses while another copy of the program has the
// directory open.
void moveDataDirectoryToServer(const QString &path, const ServerConnection &server);

// Makes a new data directory at path (new or empty) for the empty database of server, holding the
// data of the embedded database file at databaseFile (a copy made by backup), checked as a
// restore checks it.
void restoreDataDirectoryToServer(
    const QString &databaseFile, const QString &path, const ServerConnection &server);

// The name the database file of a directory moved to a server is kept under.
QString movedDatabaseFileName();

// The keyword text of server as Tessorin.server holds it.
QString serverFileText(const ServerConnection &server);
// Keywords as libpq keyword text, a keyword=value a line, each value quoted.
QString keywordText(const QList<ServerConnection::Keyword> &keywords);

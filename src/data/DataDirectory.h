#pragma once

#include <QDir>
#include <QString>

class QSqlQuery;
class SqlStore;

// Making, opening and checking a data directory: what the program's start and the data tool
// both do. Failures throw EDataDirectory (data/Errors.h) or the engine's EDatabaseError.

// Makes a new, empty data directory at path (creating it when missing): its database with every
// table of the schema and the row of the key counter. Refuses, without touching anything, a path
// that already holds a database, table files or the address of a server. A data directory on a
// server is made by createServerDataDirectory (data/ServerDataDirectory.h). Any failure throws with its message and leaves
// nothing of the new directory behind. In a group-shared folder the new directory and its files
// are shared with the group (engine/SharedFolder.h).
void createDataDirectory(const QString &path);

// The first rows of a new data directory (the row of the key counter), added through query in the
// transaction that makes its tables, whichever store holds them.
void insertFirstRows(QSqlQuery &query);

// The directory for a new data directory at path, made when missing (*createdDir tells), or
// refused as createDataDirectory refuses.
QDir prepareNewDataDirectory(const QString &path, bool *createdDir);

// Opens the store of directory (its database, or the server its Tessorin.server names) and checks
// every table is stored as declared. Throws.
void checkDatabase(const QString &directory);
// The same on an open store: every table as declared, nothing undeclared. Throws.
void checkTables(SqlStore &store);

// Opens the data directory at path the way the program does at start-up and closes it again.
// Throws EDataDirectory with the program's start-up failure message when the program could not
// use the directory (this account unable to write it included). Creates nothing.
void requireUsableDataDirectory(const QString &path);

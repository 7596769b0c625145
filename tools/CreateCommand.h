#pragma once

#include <QStringList>

class QTextStream;

#include <QDir>

// Makes a new, empty data directory at path (creating it when missing): its database with every
// table of the schema and the row of the key counter. Refuses, with DataToolError and without
// touching anything, a path that already holds a database or table files. Any failure throws an
// Exception with its message and leaves nothing of the new directory behind.
void createDataDirectory(const QString &path);

// The directory for a new data directory at path, made when missing (*createdDir tells), or
// refused as createDataDirectory refuses.
QDir prepareNewDataDirectory(const QString &path, bool *createdDir);

// Opens the database of directory as the program does and checks every table. Throws.
void checkDatabase(const QString &directory);

// "create DIR".
int runCreateCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);

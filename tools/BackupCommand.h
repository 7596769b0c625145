#pragma once

#include <QStringList>

class QTextStream;

// Copies the data of the data directory at directory to file (which must not exist) as an
// embedded database, whichever store holds it: a consistent copy of one moment, also while copies
// of the program are working on the directory.
void backupDataDirectory(const QString &directory, const QString &file);

// Makes a new data directory at directory (new or empty) from a copy made by backup. Refuses a
// file that is not a sound database of this program; leaves nothing behind when it fails. (With
// --server, the command restores into a server: restoreDataDirectoryToServer.)
void restoreDataDirectory(const QString &file, const QString &directory);

// "backup DIR FILE" and "restore FILE DIR [--server URL]".
int runBackupCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);
int runRestoreCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);

#pragma once

#include <QString>
#include <QStringList>

// Files in a folder shared by a group of accounts, the way a shared version-control repository
// keeps them: when the folder is group-writable, every file and folder this program makes in it
// is group-writable too and carries the folder's group, whatever this account's umask says.
//
// The mode is set explicitly on each file we create (fchmod/chmod right after creation), never
// by changing the process umask, which would also reach files that have nothing to do with the
// data (reports, temporary files) and other threads. SQLite makes a database's journal with the
// database file's own mode, so once the database is group-writable its journal is too; the
// journal's group is the folder's when the folder is setgid (which a folder made here is, and
// which the README asks of a shared folder), and this account's own group otherwise.
class SharedFolder
{
public:
    // Whether directory is writable by its group.
    static bool isGroupShared(const QString &directory);

    // Makes the file at path follow its folder: adds group read and write and gives it the
    // folder's group when the folder is group-shared and this account owns the file. Does
    // nothing otherwise (a file another account made is theirs to share). Never throws: a file
    // that cannot be changed is caught by writeProblem when it is opened.
    static void adoptFile(const QString &path);
    // The same for an open file descriptor of a file in folder.
    static void adoptFile(int fd, const QString &folder);
    // A directory just made at path: when its parent folder is group-shared, group read, write
    // and search, the parent's group, and setgid so that what others make in it keeps the group.
    static void adoptDirectory(const QString &path);
    // Creates the empty file at path (when missing) with the folder's sharing, so that no other
    // account ever sees it with narrower permissions. Returns false when it cannot be made.
    static bool createFile(const QString &path);

    // Why this account cannot both read and write the existing file or directory at path: a
    // sentence naming it, the permission missing and who owns it; empty when it can (or when
    // nothing is at path). what names the file for a person ("The database").
    static QString writeProblem(const QString &path, const QString &what);
};

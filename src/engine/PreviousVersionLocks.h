#pragma once

#include <QString>

// The lock-control database of the previous version of the program, which kept a row per lock
// (and the slots file its copies held their slot in). Copies of that version may still run during
// an upgrade, and their locks and ours do not see each other, so the two never share a directory:
// a copy of this version refuses to start while one of the previous version still runs there,
// and otherwise leaves the old database so that a copy of that version started later refuses its
// first lock, saying that a newer version uses the directory.
class PreviousVersionLocks
{
public:
    static QString controlFileName() { return QStringLiteral("Tessorin.lck"); }
    static QString slotsFileName() { return QStringLiteral("Tessorin.slots"); }

    // Throws EDatabaseError naming the account and computer of a copy of the previous version
    // that still runs on directory; else makes sure a later one refuses. An old database that a
    // crash left damaged is made anew.
    static void retire(const QString &directory);
    // "user on computer" of a copy of the previous version that still runs on directory, empty
    // when none does; reads only.
    static QString runningCopy(const QString &directory);
};

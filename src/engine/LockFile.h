#pragma once

#include <QByteArray>
#include <QString>

// A file whose byte ranges the copies of the program lock among themselves. The locks are the
// kernel's open-file-description locks: they belong to this open file, so two opens in one
// process conflict like two processes, and they vanish the moment the file is closed or the
// process dies. Taking or letting go of one writes nothing. Offsets may lie far beyond the end of
// the file. Bytes that are written (small records) go through read and writeDurably.
class LockFile
{
public:
    // Opens, creating when missing with its folder's sharing, the file at path. Throws
    // EDatabaseError naming what (a person's name for the file) and the system's reason.
    LockFile(const QString &path, const QString &what);
    ~LockFile();
    LockFile(const LockFile &) = delete;
    LockFile &operator=(const LockFile &) = delete;

    enum Kind : short
    {
        Shared,
        Exclusive
    };

    // Locks the length bytes at offset, or changes this file's lock there to kind at once.
    // Returns false when another open of the file holds a conflicting lock: then nothing
    // changed. Throws EDatabaseError when the file system cannot lock.
    bool tryLock(qint64 offset, Kind kind, qint64 length = 1);
    void unlock(qint64 offset, qint64 length = 1);
    // Whether another open of the file holds a lock that a kind lock of the bytes would meet.
    bool heldElsewhere(qint64 offset, Kind kind, qint64 length = 1) const;

    // Up to length bytes at offset; fewer where the file ends.
    QByteArray read(qint64 offset, qint64 length) const;
    // Writes data at offset and waits until it is on the disk. Throws EDatabaseError.
    void writeDurably(qint64 offset, const QByteArray &data);

private:
    QString m_path;
    QString m_what;
    int m_fd = -1;
};

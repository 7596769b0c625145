#pragma once

#include <QList>
#include <QString>

class LockFile;

// The copies of the program using a lock file, and who and where each is. Each copy holds an
// exclusive lock on the first byte of its own slot for as long as it lives, and writes once, when
// it starts, a record of its account and computer into that slot, durably and with a checksum.
// A slot whose lock is free belongs to nobody, whatever its record says; a record that a crash
// left torn or a truncated file lost is written again by its live copy (repair), and until then
// its copy is known only as a holder whose name cannot be read.
class LockSessions
{
public:
    static constexpr int maxSlots = 4096;
    static constexpr qint64 recordSize = 512;

    struct Session
    {
        int slot = -1;
        QString user;
        QString host;
    };

    // Claims a free slot of file and writes this copy's record. Throws EDatabaseError.
    LockSessions(LockFile &file, const QString &user, const QString &host);
    LockSessions(const LockSessions &) = delete;
    LockSessions &operator=(const LockSessions &) = delete;

    int slot() const { return m_slot; }
    // The other slots' records that can be read, whether or not their copies still run.
    QList<Session> recorded() const;
    // The copies that hold a slot of file now, without taking one or writing anything: their
    // records, and for a slot whose record cannot be read, a session with no names.
    static QList<Session> running(const LockFile &file);
    // Writes this copy's record again when the file no longer holds it as written.
    void repair();

private:
    QByteArray encoded() const;

    LockFile &m_file;
    Session m_self;
    qint64 m_pid = 0;
    qint64 m_started = 0;
    int m_slot = -1;
};

#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>
#include <utility>

class QSqlDatabase;
struct OtherSessionsLocks;
struct UnlocksAtCommit;

// The record and table locks shared by every copy of the program that opens one data directory:
// what a lock means, whatever keeps it. A record lock keeps other copies from the record and from
// taking its whole table; a table lock keeps them from the table and from each of its records.
// Locks are counted: a copy may take one lock several times and must release it as often; a
// copy's own locks never conflict with each other. The locks of a copy that dies go with it.
//
// Implementations keep the locks somewhere all copies see (lock files in the data directory, a
// server's session locks) and only ever learn of a lock's first take and last release.
class RecordLocks : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 wholeTable = -1;

    // A record read by the statement that takes its lock, where the keeper can (a server's
    // session): read after the take, so it is the record as stored once no other copy can change
    // it. Values stay empty when the keeper did not read it or cannot vouch for what it read.
    struct ReadAtTake
    {
        QString table; // the table as SQL names it
        QString columns; // the columns to read, as SQL lists them
        QVector<QVariant> values;
    };

    // The locks of the copies that share the data in directory. Throws EDatabaseError.
    static std::unique_ptr<RecordLocks> open(const QString &directory);
    // The locks of the copies that share a server's database, kept by connection's session, which
    // must stay open for as long as the locks are used; atWrite, when given, is what the store's
    // write transaction found held by others as it began, and atCommit where it finds the locks
    // to let go of with its commit. Throws EDatabaseError.
    static std::unique_ptr<RecordLocks> openOnServer(const QSqlDatabase &connection,
        std::shared_ptr<const OtherSessionsLocks> atWrite = {},
        std::shared_ptr<UnlocksAtCommit> atCommit = {});
    ~RecordLocks() override;

    // Takes the lock of record (or of the whole table with wholeTable) for this copy. Throws
    // EDatabaseError naming the holder when another copy holds it (or, for a record, holds the
    // whole table; for the table, any of its records).
    void acquire(const QString &file, qint64 record);
    // As acquire, but waits up to timeoutMs for another copy to let go; read, when given, asks
    // for the record with the take.
    void acquireWaiting(
        const QString &file, qint64 record, int timeoutMs, ReadAtTake *read = nullptr);
    void release(const QString &file, qint64 record);
    // Runs commit, then releases each of locks (file, record) as release does. A lock whose last
    // hold goes is let go of in the commit's own round trip where the keeper can (a server
    // session). When commit throws, every lock stays held as it was.
    void releaseAfter(
        const std::function<void()> &commit, const QList<std::pair<QString, qint64>> &locks);
    // Throws EDatabaseError naming the holder when another copy holds the lock that acquire would
    // take; takes nothing.
    void check(const QString &file, qint64 record);
    bool holds(const QString &file, qint64 record) const;

    QString userName() const { return m_user; }
    QString hostName() const { return m_host; }

    // The refusal that names who holds a lock.
    static QString lockedBy(const QString &user, const QString &host);
    // The account this copy runs under, as the system knows it.
    static QString accountName();

protected:
    explicit RecordLocks(QObject *parent = nullptr);

    // The first take of a lock by this copy (table is upper-cased). Returns false, with the
    // refusal naming the holder, when another copy holds a conflicting lock.
    virtual bool tryTake(const QString &table, qint64 record, QString *refusal) = 0;
    // As tryTake; with read, a record's lock taken reads the record with it where the keeper can.
    virtual bool tryTakeReading(
        const QString &table, qint64 record, QString *refusal, ReadAtTake *read)
    {
        Q_UNUSED(read);
        return tryTake(table, record, refusal);
    }
    // The last release of a lock this copy took.
    virtual void give(const QString &table, qint64 record) = 0;
    // Whether the last release of a lock can go with the store's next commit, which then lets go
    // of it only if it commits; false when the keeper cannot (give follows the commit).
    virtual bool giveWithCommit(const QString &table, qint64 record)
    {
        Q_UNUSED(table);
        Q_UNUSED(record);
        return false;
    }
    // The refusal a take would meet now, empty when none; takes nothing.
    virtual QString conflict(const QString &table, qint64 record) = 0;

private:
    // Counts one release of the lock keyed so; true when it was the last hold, now gone.
    bool dropHold(const QString &key);

    QHash<QString, int> m_counts; // "TABLE\nrecord" -> times taken by this copy
    QString m_user;
    QString m_host;
};

#pragma once

#include "engine/RecordLocks.h"

#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>

#include <functional>
#include <memory>
#include <unordered_map>

// The session advisory locks other sessions of the database held when this session's write
// transaction got the write lock. Under the write lock a check of a lock (one this copy only
// checks, or takes for good at the commit) is answered from these without a statement: a lock
// another copy takes meanwhile is as likely to be missed by a statement sent a moment earlier,
// and a take at the commit asks the server anyway.
struct OtherSessionsLocks
{
    struct Held
    {
        quint32 key1;
        quint32 key2;
        bool exclusive;
    };
    static QString heldSql(); // the list's query, read after the write lock
    bool known = false; // only inside a write transaction
    QList<Held> held;
};

// The unlocks of record locks whose last release goes with the write transaction's commit: the
// store sends them after its COMMIT in the same text, which the server runs no further than a
// statement that fails, so a lock is let go of only when the commit succeeded. The store empties
// the list whatever the outcome.
struct UnlocksAtCommit
{
    QStringList statements;
    // Reads the results of writes the store sent ahead on the shared connection, which must come
    // before a lock's statement; set by the store while it is open.
    std::function<void()> settleFirst;
};

// Record and table locks as a PostgreSQL server's session advisory locks, on one connection, so a
// copy that dies or loses its connection loses its locks at once and nothing is written per lock.
//
// Keys are the two-int form (key1, key2), apart from the one-bigint keys a write transaction may
// use. A table number T (1..65536, the lock file's numbering, distinct for the schema's tables)
// names the table's key (0, T); a record id in 0..2^31-1 has the key (T, id) of its own, and other
// ids (larger or negative) share the keys (-T, folded id): a copy holding one of those keeps the
// others out too, a refusal and never two holders. A table lock is an exclusive lock on the
// table's key; a record lock a shared lock on it and an exclusive lock on the record's key, so
// records of one table are taken by different copies at once while a table lock keeps all out.
// The server counts a session's repeated takes per key and mode, as a copy needs.
//
// Who holds a lock: each copy writes its account and computer beside its server process id into
// TQVSessions (made when missing), and a refused take reads the holder from pg_locks joined to it
// in the same statement; rows of processes that are gone are cleared by the next copy that starts.
// A take, a release and a refusal each cost one statement; a record's take may read the record in
// its statement too.
class ServerRecordLocks : public RecordLocks
{
    Q_OBJECT

public:
    static QString sessionsTable() { return QStringLiteral("TQVSessions"); }

    // Registers this copy on connection. Throws EDatabaseError.
    explicit ServerRecordLocks(const QSqlDatabase &connection,
        std::shared_ptr<const OtherSessionsLocks> atWrite = {},
        std::shared_ptr<UnlocksAtCommit> atCommit = {},
        QObject *parent = nullptr);
    // Lets go of this session's locks and its row, as far as the connection still works.
    ~ServerRecordLocks() override;

    // The two keys of a lock; record is a record id or wholeTable.
    static std::pair<qint32, qint32> keyOf(const QString &table, qint64 record);

protected:
    bool tryTake(const QString &table, qint64 record, QString *refusal) override;
    bool tryTakeReading(
        const QString &table, qint64 record, QString *refusal, ReadAtTake *read) override;
    void give(const QString &table, qint64 record) override;
    bool giveWithCommit(const QString &table, qint64 record) override;
    QString conflict(const QString &table, qint64 record) override;

private:
    void registerSession();
    QSqlQuery &prepared(QSqlQuery &query, const QString &sql);
    // Runs query with the lock's table number and keys bound (and the record id, for a take that
    // reads). Throws EDatabaseError.
    void run(QSqlQuery &query, const QString &table, qint64 record, bool withRecordId = false);
    // Runs take until it is taken or its holder is found; read, when given, gets the record the
    // take's statement read, when it was taken and the record as read is the stored one;
    // readColumns is how many columns it reads, counted at the first read when negative.
    bool take(QSqlQuery &take,
        const QString &table,
        qint64 record,
        QString *refusal,
        ReadAtTake *read = nullptr,
        int *readColumns = nullptr);
    QString holderNamed(const QSqlQuery &query, int userColumn) const;
    // Whether the locks found at the write's start leave the lock free (known and none there).
    bool freeAtWrite(const QString &table, qint64 record) const;

    QSqlDatabase m_db;
    std::shared_ptr<const OtherSessionsLocks> m_atWrite;
    std::shared_ptr<UnlocksAtCommit> m_atCommit;
    QSqlQuery m_takeRecord;
    QSqlQuery m_takeTable;
    QSqlQuery m_giveRecord;
    QSqlQuery m_giveTable;
    QSqlQuery m_conflictRecord;
    QSqlQuery m_conflictTable;
    struct TakeReading
    {
        QSqlQuery query;
        int columns = -1; // read, known once it ran
    };
    std::unordered_map<QString, TakeReading> m_takeReading; // by the table and columns read
};

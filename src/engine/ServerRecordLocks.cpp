#include "engine/ServerRecordLocks.h"

#include "engine/Exception.h"
#include "engine/FileRecordLocks.h"

#include <QSqlError>
#include <QSqlRecord>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

// Attempts at a lock whose holder let go while it was being looked for.
constexpr int takeAttempts = 3;

// Every statement but the session's own binds the lock as k: the table number t and the keys
// (and, for a take that reads the record, its id rid).
QString keysBound(bool withRecordId = false)
{
    return u"WITH k AS (SELECT CAST(? AS integer) AS t, CAST(? AS integer) AS k1, "
           "CAST(? AS integer) AS k2%1) "_s.arg(
               withRecordId ? u", CAST(? AS bigint) AS rid"_s : QString());
}

// Other sessions' granted two-int advisory locks in this database.
const QString othersLocks = u"l.locktype = 'advisory' AND l.objsubid = 2 AND l.granted "
                            "AND l.pid <> pg_backend_pid() AND l.database = "
                            "(SELECT oid FROM pg_database WHERE datname = current_database())"_s;

// Another session's advisory lock in this database that keeps a lock out: for a table lock any
// lock on the table's key, for a record lock an exclusive one on it or any on the record's key.
// (OtherSessionsLocks holds the same test, made on a list read earlier.)
QString heldElsewhere(bool wholeTable)
{
    const QString matches = wholeTable
        ? u"l.classid = 0 AND l.objid = k.t::oid"_s
        : u"((l.classid = 0 AND l.objid = k.t::oid AND l.mode = 'ExclusiveLock') "
          "OR (l.classid = k.k1::oid AND l.objid = k.k2::oid))"_s;
    return othersLocks + u" AND "_s + matches;
}

// The holder's account, computer and process id, read after the take (the lateral reference
// keeps pg_locks from being read before it) and only when the take failed; then, when read gives
// a read of the table as r, the record read the same way only when the take succeeded.
QString takeSql(const QString &attempt, bool wholeTable, const QString &read = {})
{
    return keysBound(!read.isEmpty()) + u", taken AS MATERIALIZED (SELECT "_s + attempt
        + u" AS ok FROM k) SELECT taken.ok, h.user_name, h.host_name, h.pid"_s
        + (read.isEmpty() ? QString() : u", r.*"_s)
        + u" FROM taken CROSS JOIN k "
          "LEFT JOIN LATERAL (SELECT s.user_name, s.host_name, l.pid FROM pg_locks l "
          "LEFT JOIN \"TQVSessions\" s ON s.pid = l.pid WHERE NOT taken.ok AND "_s
        + heldElsewhere(wholeTable) + u" LIMIT 1) h ON true"_s
        + (read.isEmpty()
                ? QString()
                : u" LEFT JOIN LATERAL (%1 WHERE taken.ok AND r.rowid = k.rid) r ON true"_s.arg(
                    read));
}

QString conflictSql(bool wholeTable)
{
    return keysBound()
        + u"SELECT s.user_name, s.host_name, l.pid FROM k CROSS JOIN pg_locks l "
          "LEFT JOIN \"TQVSessions\" s ON s.pid = l.pid WHERE "_s
        + heldElsewhere(wholeTable) + u" LIMIT 1"_s;
}

// A record: the table's key shared, then the record's exclusively, or neither.
const QString takeRecordAttempt =
    u"CASE WHEN pg_try_advisory_lock_shared(0, k.t) THEN CASE "
    "WHEN pg_try_advisory_lock(k.k1, k.k2) THEN true "
    "WHEN pg_advisory_unlock_shared(0, k.t) THEN false ELSE false END ELSE false END"_s;

const QString sessionTableSql = u"CREATE TABLE IF NOT EXISTS \"TQVSessions\" ("
                                "pid integer PRIMARY KEY, user_name text NOT NULL, "
                                "host_name text NOT NULL, started timestamptz NOT NULL)"_s;

// This copy's row, and rows of server processes that are gone, in one statement.
const QString registerSql =
    u"WITH gone AS (DELETE FROM \"TQVSessions\" s WHERE s.pid <> pg_backend_pid() "
    "AND NOT EXISTS (SELECT 1 FROM pg_stat_activity a WHERE a.pid = s.pid)) "
    "INSERT INTO \"TQVSessions\" (pid, user_name, host_name, started) "
    "VALUES (pg_backend_pid(), ?, ?, now()) ON CONFLICT (pid) DO UPDATE SET "
    "user_name = EXCLUDED.user_name, host_name = EXCLUDED.host_name, started = EXCLUDED.started"_s;

constexpr auto undefinedTable = "42P01";

} // namespace

QString OtherSessionsLocks::heldSql()
{
    return u"SELECT l.classid::bigint, l.objid::bigint, l.mode = 'ExclusiveLock' FROM pg_locks l "
           "WHERE "_s
        + othersLocks;
}

ServerRecordLocks::ServerRecordLocks(const QSqlDatabase &connection,
    std::shared_ptr<const OtherSessionsLocks> atWrite,
    std::shared_ptr<UnlocksAtCommit> atCommit,
    QObject *parent)
    : RecordLocks(parent)
    , m_db(connection)
    , m_atWrite(std::move(atWrite))
    , m_atCommit(std::move(atCommit))
{
    registerSession();
    prepared(m_takeRecord, takeSql(takeRecordAttempt, false));
    prepared(m_takeTable, takeSql(u"pg_try_advisory_lock(0, k.t)"_s, true));
    prepared(m_giveRecord,
        keysBound()
            + u"SELECT pg_advisory_unlock(k.k1, k.k2), pg_advisory_unlock_shared(0, k.t) FROM k"_s);
    prepared(m_giveTable, keysBound() + u"SELECT pg_advisory_unlock(0, k.t) FROM k"_s);
    prepared(m_conflictRecord, conflictSql(false));
    prepared(m_conflictTable, conflictSql(true));
}

ServerRecordLocks::~ServerRecordLocks()
{
    if (!m_db.isOpen())
        return;
    QSqlQuery query(m_db);
    // Errors go unreported: a connection that is gone took the locks and the row's meaning with it.
    query.exec(u"WITH gone AS (DELETE FROM \"TQVSessions\" WHERE pid = pg_backend_pid()) "
               "SELECT pg_advisory_unlock_all()"_s);
}

std::pair<qint32, qint32> ServerRecordLocks::keyOf(const QString &table, qint64 record)
{
    const qint32 number = 1 + FileRecordLocks::tableRange(table);
    if (record == wholeTable)
        return { 0, number };
    if (record >= 0 && record <= std::numeric_limits<qint32>::max())
        return { number, qint32(record) };
    const quint64 mixed = quint64(record) * 0x9e3779b97f4a7c15ull;
    return { -number, qint32(quint32(mixed >> 32)) };
}

void ServerRecordLocks::registerSession()
{
    for (int attempt = 1;; ++attempt) {
        QSqlQuery query(m_db);
        if (query.prepare(registerSql)) {
            query.addBindValue(userName());
            query.addBindValue(hostName());
            if (query.exec())
                return;
        }
        const QSqlError error = query.lastError();
        // The first copy on a new database makes the table; two at once may both try.
        if (attempt < 3 && error.nativeErrorCode() == QLatin1String(undefinedTable)) {
            query.exec(sessionTableSql);
            continue;
        }
        throw EDatabaseError(tr("Cannot record this copy among the server's sessions: %1")
                                 .arg(error.text().trimmed()));
    }
}

QSqlQuery &ServerRecordLocks::prepared(QSqlQuery &query, const QString &sql)
{
    query = QSqlQuery(m_db);
    // Whole results: a forward-only one is streamed and its end held unread by a kept
    // statement, and the connection's change notices would wait behind it.
    query.setForwardOnly(false);
    if (!query.prepare(sql))
        throw EDatabaseError(
            tr("The server refused the record locks: %1").arg(query.lastError().text().trimmed()));
    return query;
}

void ServerRecordLocks::run(
    QSqlQuery &query, const QString &table, qint64 record, bool withRecordId)
{
    if (m_atCommit && m_atCommit->settleFirst)
        m_atCommit->settleFirst();
    const auto [key1, key2] = keyOf(table, record);
    query.bindValue(0, 1 + FileRecordLocks::tableRange(table));
    query.bindValue(1, key1);
    query.bindValue(2, key2);
    if (withRecordId)
        query.bindValue(3, record);
    if (query.exec())
        return;
    const QString why = query.lastError().text().trimmed();
    query.finish();
    throw EDatabaseError(tr("The server did not answer for a record lock: %1").arg(why));
}

QString ServerRecordLocks::holderNamed(const QSqlQuery &query, int userColumn) const
{
    const QVariant user = query.value(userColumn);
    const QVariant host = query.value(userColumn + 1);
    // A holder whose row is missing: one started by hand, or a row removed by hand.
    if (user.isNull() || host.isNull())
        return lockedBy(tr("unknown user"), tr("an unknown computer"));
    return lockedBy(user.toString(), host.toString());
}

bool ServerRecordLocks::tryTake(const QString &table, qint64 record, QString *refusal)
{
    return take(record == wholeTable ? m_takeTable : m_takeRecord, table, record, refusal);
}

// The record is read in the take's statement, after the lock is taken, but as the statement's
// snapshot shows it, which is older than the take: a copy that let go of the lock just before it
// may have committed a change since. A version no one has replaced yet (xmax unset) is the stored
// record; otherwise the caller reads it again.
bool ServerRecordLocks::tryTakeReading(
    const QString &table, qint64 record, QString *refusal, ReadAtTake *read)
{
    if (!read || record == wholeTable)
        return tryTake(table, record, refusal);
    const QString key = read->table + u'\n' + read->columns;
    auto [statement, added] = m_takeReading.try_emplace(key);
    if (added) {
        prepared(statement->second.query,
            takeSql(takeRecordAttempt, false,
                u"SELECT r.xmax::text = '0', %1 FROM %2 r"_s.arg(read->columns, read->table)));
    }
    return take(statement->second.query, table, record, refusal, read, &statement->second.columns);
}

bool ServerRecordLocks::take(QSqlQuery &take,
    const QString &table,
    qint64 record,
    QString *refusal,
    ReadAtTake *read,
    int *readColumns)
{
    for (int attempt = 1;; ++attempt) {
        run(take, table, record, read != nullptr);
        const bool taken = take.next() && take.value(0).toBool();
        const bool holderFound = !take.value(3).isNull();
        if (!taken && holderFound)
            *refusal = holderNamed(take, 1);
        if (taken && read && take.value(4).toBool()) {
            if (*readColumns < 0)
                *readColumns = take.record().count() - 5;
            read->values.resize(*readColumns);
            for (int i = 0; i < *readColumns; ++i)
                read->values[i] = take.value(5 + i);
        }
        take.finish();
        if (taken)
            return true;
        if (holderFound)
            return false;
        if (attempt == takeAttempts) {
            *refusal = lockedBy(tr("unknown user"), tr("an unknown computer"));
            return false;
        }
    }
}

void ServerRecordLocks::give(const QString &table, qint64 record)
{
    QSqlQuery &give = record == wholeTable ? m_giveTable : m_giveRecord;
    try {
        run(give, table, record);
        give.finish();
    } catch (const EDatabaseError &) {
        // A connection that is gone let go of every lock already.
    }
}

bool ServerRecordLocks::giveWithCommit(const QString &table, qint64 record)
{
    if (!m_atCommit)
        return false;
    const auto [key1, key2] = keyOf(table, record);
    m_atCommit->statements << (record == wholeTable
            ? u"SELECT pg_advisory_unlock(0, %1)"_s.arg(key2)
            : u"SELECT pg_advisory_unlock(%1, %2), pg_advisory_unlock_shared(0, %3)"_s.arg(key1)
                  .arg(key2)
                  .arg(1 + FileRecordLocks::tableRange(table)));
    return true;
}

bool ServerRecordLocks::freeAtWrite(const QString &table, qint64 record) const
{
    if (!m_atWrite || !m_atWrite->known)
        return false;
    const quint32 tableKey = quint32(1 + FileRecordLocks::tableRange(table));
    const auto [key1, key2] = keyOf(table, record);
    for (const OtherSessionsLocks::Held &held : m_atWrite->held) {
        const bool onTable = held.key1 == 0 && held.key2 == tableKey;
        if (record == wholeTable ? onTable
                                 : (onTable && held.exclusive)
                    || (held.key1 == quint32(key1) && held.key2 == quint32(key2)))
            return false;
    }
    return true;
}

QString ServerRecordLocks::conflict(const QString &table, qint64 record)
{
    if (freeAtWrite(table, record))
        return {};
    QSqlQuery &conflict = record == wholeTable ? m_conflictTable : m_conflictRecord;
    run(conflict, table, record);
    const QString refusal = conflict.next() ? holderNamed(conflict, 0) : QString();
    conflict.finish();
    return refusal;
}

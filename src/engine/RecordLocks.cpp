#include "engine/RecordLocks.h"

#include "engine/Exception.h"
#include "engine/SharedFolder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUuid>

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int maxSlots = 4096;

QString lockKey(const QString &file, qint64 record)
{
    return file.toUpper() + u'\n' + QString::number(record);
}

double now()
{
    return QDateTime::currentMSecsSinceEpoch() / 1000.0;
}

struct flock slotLock(int slot, short type)
{
    struct flock lock = {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = slot;
    lock.l_len = 1;
    lock.l_pid = 0;
    return lock;
}

// The name of the account this copy runs under, as the system knows it; the environment can be
// empty or say anything (a service, su, a desktop that sets no USER).
QString accountName()
{
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? size_t(size) : 16384);
    struct passwd entry = {};
    struct passwd *found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found
        && found->pw_name && *found->pw_name)
        return QString::fromLocal8Bit(found->pw_name);
    const QString fromEnvironment = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    return fromEnvironment.isEmpty() ? RecordLocks::tr("unknown user") : fromEnvironment;
}

} // namespace

// A write transaction on the lock-control file: begun on construction, rolled back when the scope
// is left without commit().
class RecordLocks::Transaction
{
public:
    explicit Transaction(RecordLocks &locks)
        : m_locks(locks)
    {
        m_locks.exec(QStringLiteral("BEGIN IMMEDIATE"));
    }
    ~Transaction()
    {
        if (m_open) {
            QSqlQuery query(QSqlDatabase::database(m_locks.m_connection, false));
            query.exec(QStringLiteral("ROLLBACK"));
        }
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    void commit()
    {
        m_locks.exec(QStringLiteral("COMMIT"));
        m_open = false;
    }

private:
    RecordLocks &m_locks;
    bool m_open = true;
};

RecordLocks::RecordLocks(const QString &directory, QObject *parent)
    : QObject(parent)
    , m_directory(directory)
    , m_connection(QStringLiteral("locks-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
    , m_user(accountName())
    , m_host(QSysInfo::machineHostName())
{
    openControlDatabase();
    claimSlot();
    registerSession();
    connect(&m_heartbeat, &QTimer::timeout, this, &RecordLocks::heartbeat);
    m_heartbeat.start(staleAfterSeconds * 1000 / 3);
}

RecordLocks::~RecordLocks()
{
    try {
        removeSession(m_session);
    } catch (const Exception &) {
        // The slot lock goes with the process anyway; others will clear what is left.
    }
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    if (m_slotsFd >= 0)
        ::close(m_slotsFd);
}

void RecordLocks::exec(const QString &sql, const QVariantList &values)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    if (!query.prepare(sql)) {
        throw EDatabaseError(tr("Lock control file: %1").arg(query.lastError().text()));
    }
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        throw EDatabaseError(tr("Lock control file: %1").arg(query.lastError().text()));
    query.finish();
}

void RecordLocks::openControlDatabase()
{
    const QString path = QDir(m_directory).filePath(controlFileName());
    SharedFolder::createFile(path); // with the folder's sharing before SQLite makes it a database
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
    if (!db.open())
        throw EDatabaseError(tr("Cannot open the lock control file in %1: %2")
                                 .arg(m_directory, db.lastError().text()));
    // Locks need no durability across a machine crash, only atomicity when a copy is killed.
    exec(QStringLiteral("PRAGMA synchronous=OFF"));
    exec(QStringLiteral("CREATE TABLE IF NOT EXISTS sessions (id INTEGER PRIMARY KEY, slot INTEGER "
                        "UNIQUE, user TEXT, host TEXT, pid INTEGER, heartbeat REAL)"));
    exec(QStringLiteral("CREATE TABLE IF NOT EXISTS locks (file TEXT, record INTEGER, session "
                        "INTEGER, PRIMARY KEY (file, record))"));
}

void RecordLocks::claimSlot()
{
    const QByteArray path = QDir(m_directory).filePath(slotsFileName()).toLocal8Bit();
    m_slotsFd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (m_slotsFd < 0)
        throw EDatabaseError(tr("Cannot open the lock slots file in %1").arg(m_directory));
    SharedFolder::adoptFile(m_slotsFd, m_directory);
    for (int slot = 0; slot < maxSlots; ++slot) {
        struct flock lock = slotLock(slot, F_WRLCK);
        if (::fcntl(m_slotsFd, F_OFD_SETLK, &lock) == 0) {
            m_slot = slot;
            return;
        }
    }
    throw EDatabaseError(tr("Too many copies of the program use %1").arg(m_directory));
}

void RecordLocks::registerSession()
{
    Transaction transaction(*this);
    exec(QStringLiteral(
             "DELETE FROM locks WHERE session IN (SELECT id FROM sessions WHERE slot = ?)"),
        { m_slot });
    exec(QStringLiteral("DELETE FROM sessions WHERE slot = ?"), { m_slot });
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.prepare(QStringLiteral(
        "INSERT INTO sessions (slot, user, host, pid, heartbeat) VALUES (?, ?, ?, ?, ?)"));
    query.addBindValue(m_slot);
    query.addBindValue(m_user);
    query.addBindValue(m_host);
    query.addBindValue(QCoreApplication::applicationPid());
    query.addBindValue(now());
    if (!query.exec())
        throw EDatabaseError(tr("Lock control file: %1").arg(query.lastError().text()));
    m_session = query.lastInsertId().toLongLong();
    query.finish();
    transaction.commit();
}

void RecordLocks::heartbeat()
{
    try {
        exec(
            QStringLiteral("UPDATE sessions SET heartbeat = ? WHERE id = ?"), { now(), m_session });
    } catch (const Exception &) {
        // A busy lock file delays the heartbeat; the next one will do.
    }
}

bool RecordLocks::isAlive(const Holder &holder) const
{
    if (holder.session == m_session)
        return true;
    if (holder.slot >= 0 && holder.slot < maxSlots) {
        struct flock probe = slotLock(holder.slot, F_WRLCK);
        if (::fcntl(m_slotsFd, F_OFD_GETLK, &probe) == 0)
            return probe.l_type != F_UNLCK;
    }
    return now() - holder.heartbeat < staleAfterSeconds;
}

void RecordLocks::removeSession(qint64 session)
{
    if (session == 0)
        return;
    exec(QStringLiteral("DELETE FROM locks WHERE session = ?"), { session });
    exec(QStringLiteral("DELETE FROM sessions WHERE id = ?"), { session });
}

QList<RecordLocks::Holder> RecordLocks::conflicts(const QString &file, qint64 record)
{
    QSqlQuery query(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    const QString conflicts = record == wholeTable
        ? QStringLiteral("l.file = ?")
        : QStringLiteral("l.file = ? AND (l.record = ? OR l.record = -1)");
    query.prepare(
        QStringLiteral("SELECT l.session, s.slot, s.user, s.host, s.heartbeat FROM locks l "
                       "LEFT JOIN sessions s ON s.id = l.session WHERE ")
        + conflicts);
    query.addBindValue(file.toUpper());
    if (record != wholeTable)
        query.addBindValue(record);
    if (!query.exec())
        throw EDatabaseError(tr("Lock control file: %1").arg(query.lastError().text()));
    QList<Holder> holders;
    while (query.next()) {
        Holder holder;
        holder.session = query.value(0).toLongLong();
        holder.slot = query.value(1).isNull() ? -1 : query.value(1).toInt();
        holder.user = query.value(2).toString();
        holder.host = query.value(3).toString();
        holder.heartbeat = query.value(4).toDouble();
        holders << holder;
    }
    query.finish();
    return holders;
}

void RecordLocks::check(const QString &file, qint64 record)
{
    if (holds(file, record))
        return;
    bool deadHolder = false;
    for (const Holder &holder : conflicts(file, record)) {
        if (holder.session == m_session)
            continue;
        if (holder.slot >= 0 && isAlive(holder))
            throw EDatabaseError(
                tr("The record is locked by %1 on %2.").arg(holder.user, holder.host));
        deadHolder = true;
    }
    if (deadHolder) { // taking the lock clears the dead copy's locks
        acquire(file, record);
        release(file, record);
    }
}

bool RecordLocks::tryAcquire(const QString &file, qint64 record, QString *refusal)
{
    Transaction transaction(*this);
    for (const Holder &holder : conflicts(file, record)) {
        if (holder.session == m_session)
            continue;
        if (holder.slot >= 0 && isAlive(holder)) {
            *refusal = tr("The record is locked by %1 on %2.").arg(holder.user, holder.host);
            return false;
        }
        removeSession(holder.session); // a copy that died: its locks go with it
    }
    exec(QStringLiteral("INSERT OR REPLACE INTO locks (file, record, session) VALUES (?, ?, ?)"),
        { file.toUpper(), record, m_session });
    transaction.commit();
    return true;
}

void RecordLocks::acquire(const QString &file, qint64 record)
{
    const QString key = lockKey(file, record);
    if (m_counts.value(key) > 0) {
        ++m_counts[key];
        return;
    }
    QString refusal;
    if (!tryAcquire(file, record, &refusal))
        throw EDatabaseError(refusal);
    m_counts[key] = 1;
}

void RecordLocks::acquireWaiting(const QString &file, qint64 record, int timeoutMs)
{
    const QString key = lockKey(file, record);
    if (m_counts.value(key) > 0) {
        ++m_counts[key];
        return;
    }
    QElapsedTimer clock;
    clock.start();
    QString refusal;
    while (!tryAcquire(file, record, &refusal)) {
        if (clock.elapsed() > timeoutMs)
            throw EDatabaseError(refusal);
        QThread::msleep(20);
    }
    m_counts[key] = 1;
}

void RecordLocks::release(const QString &file, qint64 record)
{
    const QString key = lockKey(file, record);
    auto it = m_counts.find(key);
    if (it == m_counts.end())
        return;
    if (--it.value() > 0)
        return;
    m_counts.erase(it);
    exec(QStringLiteral("DELETE FROM locks WHERE file = ? AND record = ? AND session = ?"),
        { file.toUpper(), record, m_session });
}

bool RecordLocks::holds(const QString &file, qint64 record) const
{
    return m_counts.value(lockKey(file, record)) > 0;
}

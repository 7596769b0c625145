#include "engine/RecordLocks.h"

#include "engine/Exception.h"
#include "engine/FileRecordLocks.h"
#include "engine/ServerRecordLocks.h"

#include <QElapsedTimer>
#include <QSet>
#include <QSysInfo>
#include <QThread>

#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int retryMs = 10;

QString lockKey(const QString &file, qint64 record)
{
    return file.toUpper() + u'\n' + QString::number(record);
}

} // namespace

std::unique_ptr<RecordLocks> RecordLocks::open(const QString &directory)
{
    return std::make_unique<FileRecordLocks>(directory);
}

std::unique_ptr<RecordLocks> RecordLocks::openOnServer(const QSqlDatabase &connection,
    std::shared_ptr<const OtherSessionsLocks> atWrite,
    std::shared_ptr<UnlocksAtCommit> atCommit)
{
    return std::make_unique<ServerRecordLocks>(connection, std::move(atWrite), std::move(atCommit));
}

RecordLocks::RecordLocks(QObject *parent)
    : QObject(parent)
    , m_user(accountName())
    , m_host(QSysInfo::machineHostName())
{ }

RecordLocks::~RecordLocks() = default;

QString RecordLocks::lockedBy(const QString &user, const QString &host)
{
    return tr("The record is locked by %1 on %2.").arg(user, host);
}

// The environment can be empty or say anything (a service, su, a desktop that sets no USER).
QString RecordLocks::accountName()
{
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? size_t(size) : 16384);
    struct passwd entry = {};
    struct passwd *found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found
        && found->pw_name && *found->pw_name)
        return QString::fromLocal8Bit(found->pw_name);
    const QString fromEnvironment = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    return fromEnvironment.isEmpty() ? tr("unknown user") : fromEnvironment;
}

void RecordLocks::acquire(const QString &file, qint64 record)
{
    const QString key = lockKey(file, record);
    if (m_counts.value(key) > 0) {
        ++m_counts[key];
        return;
    }
    QString refusal;
    if (!tryTake(file.toUpper(), record, &refusal))
        throw EDatabaseError(refusal);
    m_counts[key] = 1;
}

void RecordLocks::acquireWaiting(
    const QString &file, qint64 record, int timeoutMs, ReadAtTake *read)
{
    const QString key = lockKey(file, record);
    if (m_counts.value(key) > 0) {
        ++m_counts[key];
        return;
    }
    QElapsedTimer clock;
    clock.start();
    QString refusal;
    while (!tryTakeReading(file.toUpper(), record, &refusal, read)) {
        if (clock.elapsed() > timeoutMs)
            throw EDatabaseError(refusal);
        QThread::msleep(retryMs);
    }
    m_counts[key] = 1;
}

bool RecordLocks::dropHold(const QString &key)
{
    const auto it = m_counts.find(key);
    if (it == m_counts.end() || --it.value() > 0)
        return false;
    m_counts.erase(it);
    return true;
}

void RecordLocks::release(const QString &file, qint64 record)
{
    if (dropHold(lockKey(file, record)))
        give(file.toUpper(), record);
}

void RecordLocks::releaseAfter(
    const std::function<void()> &commit, const QList<std::pair<QString, qint64>> &locks)
{
    QHash<QString, int> releases;
    for (const auto &[file, record] : locks)
        ++releases[lockKey(file, record)];
    QSet<QString> withCommit;
    for (const auto &[file, record] : locks) {
        const QString key = lockKey(file, record);
        if (!withCommit.contains(key) && m_counts.value(key) > 0
            && m_counts.value(key) <= releases.value(key) && giveWithCommit(file.toUpper(), record))
            withCommit.insert(key);
    }
    commit();
    for (const auto &[file, record] : locks) {
        const QString key = lockKey(file, record);
        if (!withCommit.contains(key)) {
            try {
                release(file, record);
            } catch (const Exception &) {
                // The lock goes when this copy ends; others see it as held until then.
            }
            continue;
        }
        dropHold(key); // its last hold went with the commit
    }
}

void RecordLocks::check(const QString &file, qint64 record)
{
    if (holds(file, record))
        return;
    const QString refusal = conflict(file.toUpper(), record);
    if (!refusal.isEmpty())
        throw EDatabaseError(refusal);
}

bool RecordLocks::holds(const QString &file, qint64 record) const
{
    return m_counts.value(lockKey(file, record)) > 0;
}

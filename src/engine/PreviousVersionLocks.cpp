#include "engine/PreviousVersionLocks.h"

#include "engine/Exception.h"
#include "engine/SharedFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("PreviousVersionLocks", text);
}

const QString guardName = u"newer_version_only"_s;

// What a copy of the previous version is told when it tries to register for its first lock.
QString oldCopyRefusal()
{
    return tr("This data directory is now used by a newer version of the program. Install that "
              "version on this computer.");
}

// The previous version's tables, as it makes them, so that its statements find what they expect
// and meet the guard.
const QString sessionsTable =
    u"CREATE TABLE IF NOT EXISTS sessions (id INTEGER PRIMARY KEY, "
    "slot INTEGER UNIQUE, user TEXT, host TEXT, pid INTEGER, heartbeat REAL)"_s;
const QString locksTable = u"CREATE TABLE IF NOT EXISTS locks (file TEXT, record INTEGER, "
                           "session INTEGER, PRIMARY KEY (file, record))"_s;

bool isDamage(const QSqlError &error)
{
    const QString code = error.nativeErrorCode();
    return code == u"11"_s || code == u"26"_s; // SQLITE_CORRUPT, SQLITE_NOTADB
}

class Failure
{
public:
    QSqlError error;
};

// One connection to the old database, closed and removed when the scope ends.
class OldDatabase
{
public:
    OldDatabase(const QString &path, const QString &options)
        : m_name(u"previous-locks-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
        db.setDatabaseName(path);
        db.setConnectOptions(options);
        if (!db.open())
            throw Failure { db.lastError() };
    }
    ~OldDatabase()
    {
        if (m_inTransaction)
            QSqlQuery(QSqlDatabase::database(m_name, false)).exec(u"ROLLBACK"_s);
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    OldDatabase(const OldDatabase &) = delete;
    OldDatabase &operator=(const OldDatabase &) = delete;

    void begin()
    {
        run(u"BEGIN IMMEDIATE"_s);
        m_inTransaction = true;
    }
    void commit()
    {
        run(u"COMMIT"_s);
        m_inTransaction = false;
    }

    QSqlQuery run(const QString &sql, const QVariantList &values = {})
    {
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        query.setForwardOnly(true);
        if (!query.prepare(sql))
            throw Failure { query.lastError() };
        for (const QVariant &value : values)
            query.addBindValue(value);
        if (!query.exec())
            throw Failure { query.lastError() };
        return query;
    }

private:
    QString m_name;
    bool m_inTransaction = false;
};

QString guardSql()
{
    QString message = oldCopyRefusal();
    message.replace(u'\'', u"''"_s);
    return u"CREATE TRIGGER IF NOT EXISTS %1 BEFORE INSERT ON sessions BEGIN SELECT RAISE(ABORT, '%2'); END"_s
        .arg(guardName, message);
}

bool isGuarded(const QString &path)
{
    try {
        OldDatabase db(path, u"QSQLITE_OPEN_READONLY"_s);
        QSqlQuery query = db.run(
            u"SELECT 1 FROM sqlite_master WHERE type = 'trigger' AND name = ?"_s, { guardName });
        return query.next();
    } catch (const Failure &) {
        return false;
    }
}

// Whether the copy of the previous version in slot still runs: it holds its byte of the slots file.
bool runs(const QString &directory, int slot)
{
    const QByteArray path =
        QFile::encodeName(QDir(directory).filePath(PreviousVersionLocks::slotsFileName()));
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || slot < 0) {
        if (fd >= 0)
            ::close(fd);
        return false; // no slots file: no copy of that version ever took a lock here
    }
    struct flock probe = {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = slot;
    probe.l_len = 1;
    const bool held = ::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
    ::close(fd);
    return held;
}

// "user on host" of a copy of the previous version registered in db that still runs; empty when
// none does.
QString runningCopyIn(OldDatabase &db, const QString &directory)
{
    QSqlQuery sessions = db.run(u"SELECT slot, user, host FROM sessions"_s);
    while (sessions.next()) {
        if (runs(directory, sessions.value(0).isNull() ? -1 : sessions.value(0).toInt()))
            return tr("%1 on %2").arg(sessions.value(1).toString(), sessions.value(2).toString());
    }
    return {};
}

void guard(const QString &directory, const QString &path)
{
    OldDatabase db(path, u"QSQLITE_BUSY_TIMEOUT=10000"_s);
    db.run(u"PRAGMA synchronous=FULL"_s);
    db.begin();
    db.run(sessionsTable);
    db.run(locksTable);
    const QString running = runningCopyIn(db, directory);
    if (!running.isEmpty()) {
        throw EDatabaseError(tr("A copy of the previous version of the program still uses "
                                "this data directory (%1). Close it, then start this version.")
                                 .arg(running));
    }
    db.run(u"DELETE FROM locks"_s);
    db.run(u"DELETE FROM sessions"_s);
    db.run(guardSql());
    db.commit();
}

// Makes the guarded database anew beside the damaged one and puts it in its place.
void rebuild(const QString &path)
{
    const QString fresh = path + u".new"_s;
    QFile::remove(fresh);
    SharedFolder::createFile(fresh);
    {
        OldDatabase db(fresh, QString());
        db.run(u"PRAGMA synchronous=FULL"_s);
        db.run(sessionsTable);
        db.run(locksTable);
        db.run(guardSql());
    }
    // A journal of the damaged file must not be played back into the new one.
    QFile::remove(path + u"-journal"_s);
    if (std::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(path).constData()) != 0)
        throw Failure { QSqlError(tr("Cannot replace %1").arg(path)) };
}

} // namespace

QString PreviousVersionLocks::runningCopy(const QString &directory)
{
    const QString path = QDir(directory).filePath(controlFileName());
    if (!QFileInfo::exists(path) || isGuarded(path))
        return {};
    try {
        OldDatabase db(path, u"QSQLITE_OPEN_READONLY"_s);
        return runningCopyIn(db, directory);
    } catch (const Failure &) {
        return {}; // no sessions table: no copy of that version registered
    }
}

void PreviousVersionLocks::retire(const QString &directory)
{
    const QString path = QDir(directory).filePath(controlFileName());
    if (QFileInfo::exists(path) && isGuarded(path))
        return;
    try {
        SharedFolder::createFile(path);
        try {
            guard(directory, path);
        } catch (const Failure &failure) {
            if (!isDamage(failure.error))
                throw;
            rebuild(path);
        }
    } catch (const Failure &failure) {
        throw EDatabaseError(tr("Lock control file %1: %2").arg(path, failure.error.text()));
    }
}

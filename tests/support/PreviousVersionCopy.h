#pragma once

// A copy of the program's previous version running on a data directory, as far as its lock
// database and its slot go.
#include "engine/PreviousVersionLocks.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

class PreviousVersionCopy
{
public:
    explicit PreviousVersionCopy(const QString &directory)
        : m_directory(directory)
    { }
    ~PreviousVersionCopy()
    {
        if (m_slotsFd >= 0)
            ::close(m_slotsFd);
        QSqlDatabase::removeDatabase(QStringLiteral("previous"));
    }
    // Registers in the lock database as that version does; the database's refusal, if any.
    QString registerSession(int slot)
    {
        QString refusal;
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("previous"));
            db.setDatabaseName(QDir(m_directory).filePath(PreviousVersionLocks::controlFileName()));
            if (!db.open())
                return db.lastError().text();
            QSqlQuery query(db);
            if (!query.exec(QStringLiteral(
                    "CREATE TABLE IF NOT EXISTS sessions (id INTEGER PRIMARY KEY, slot "
                    "INTEGER UNIQUE, user TEXT, host TEXT, pid INTEGER, "
                    "heartbeat REAL)"))
                || !query.exec(
                    QStringLiteral("INSERT INTO sessions (slot, user, host, pid, heartbeat) "
                                   "VALUES (%1, 'old-user', 'old-pc', 1, 0)")
                        .arg(slot)))
                refusal = query.lastError().text();
            query.finish();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("previous"));
        return refusal;
    }
    void holdSlot(int slot)
    {
        m_slotsFd = ::open(
            QFile::encodeName(QDir(m_directory).filePath(PreviousVersionLocks::slotsFileName())),
            O_RDWR | O_CREAT, 0644);
        struct flock lock = {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = slot;
        lock.l_len = 1;
        QVERIFY(::fcntl(m_slotsFd, F_OFD_SETLK, &lock) == 0);
    }

private:
    QString m_directory;
    int m_slotsFd = -1;
};

#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>

// The record and table locks shared by every copy of the program that opens one data directory.
// Locks live in a small lock-control database in that directory. Each copy registers a session and
// holds an operating-system lock on its own byte of a slots file for as long as it lives, so the
// locks of a copy that was killed or crashed are recognised as dead and taken over at once; where
// the file system cannot tell, a heartbeat older than staleAfterSeconds counts as dead.
class RecordLocks : public QObject
{
    Q_OBJECT

public:
    static constexpr qint64 wholeTable = -1;
    static constexpr int staleAfterSeconds = 15;

    // Opens (creating when missing) the lock-control files in directory. Throws EDatabaseError.
    explicit RecordLocks(const QString &directory, QObject *parent = nullptr);
    ~RecordLocks() override;

    static QString controlFileName() { return QStringLiteral("Tessorin.lck"); }
    static QString slotsFileName() { return QStringLiteral("Tessorin.slots"); }

    // Takes the lock of record (or of the whole table with wholeTable) for this copy. Locks are
    // counted: this copy may take one lock several times and must release it as often. Throws
    // EDatabaseError naming the holder when another live copy holds it (or, for a record, holds the
    // whole table; for the table, any of its records).
    void acquire(const QString &file, qint64 record);
    // As acquire, but waits up to timeoutMs for another copy to let go.
    void acquireWaiting(const QString &file, qint64 record, int timeoutMs);
    void release(const QString &file, qint64 record);
    // Throws EDatabaseError naming the holder when another live copy holds the lock that
    // acquire would take; takes nothing. Locks of copies that died are cleared on the way.
    void check(const QString &file, qint64 record);
    bool holds(const QString &file, qint64 record) const;

    QString userName() const { return m_user; }
    QString hostName() const { return m_host; }

private:
    class Transaction;
    struct Holder
    {
        qint64 session = 0;
        int slot = -1;
        QString user;
        QString host;
        double heartbeat = 0;
    };

    void openControlDatabase();
    void claimSlot();
    void registerSession();
    void heartbeat();
    bool isAlive(const Holder &holder) const;
    bool tryAcquire(const QString &file, qint64 record, QString *refusal);
    QList<Holder> conflicts(const QString &file, qint64 record);
    void removeSession(qint64 session);
    void exec(const QString &sql, const QVariantList &values = {});

    QString m_directory;
    QString m_connection;
    QString m_user;
    QString m_host;
    int m_slotsFd = -1;
    int m_slot = -1;
    qint64 m_session = 0;
    QHash<QString, int> m_counts; // "file\nrecord" -> times taken by this copy
    QTimer m_heartbeat;
};

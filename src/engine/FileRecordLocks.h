#pragma once

#include "engine/LockFile.h"
#include "engine/LockSessions.h"
#include "engine/RecordLocks.h"

#include <QHash>
#include <QTimer>

// Record and table locks as byte-range locks on one lock file in the data directory, so that
// taking or letting go of a lock writes nothing and a dead copy's locks vanish with its process.
//
// Each table has a range of bytes, chosen by its name: the table's own byte, then one byte per
// record id. A table lock is an exclusive lock on the table's byte; a record lock is a shared lock
// on the table's byte and an exclusive lock on the record's byte, so records of one table are
// taken by different copies at once while a table lock keeps every record out and waits for none.
// Record ids below 2^32 have bytes of their own; larger or negative ids share bytes, and a copy
// holding one of them keeps the others out too (a refusal, never two holders).
//
// Who holds a lock: beside each byte it locks, a copy marks the same byte in its own slot's range
// of owner marks (LockSessions gives each live copy a slot and its account and computer), and a
// refused copy finds the holder by looking for those marks.
class FileRecordLocks : public RecordLocks
{
    Q_OBJECT

public:
    // Opens (creating when missing) the lock file in directory. Throws EDatabaseError, also when
    // a copy of the previous version of the program still runs on the directory.
    explicit FileRecordLocks(const QString &directory, QObject *parent = nullptr);
    ~FileRecordLocks() override;

    static QString lockFileName() { return QStringLiteral("Tessorin.locks"); }
    // The range of bytes a table's locks use; tables of one schema must each have their own.
    static int tableRange(const QString &table);

protected:
    bool tryTake(const QString &table, qint64 record, QString *refusal) override;
    void give(const QString &table, qint64 record) override;
    QString conflict(const QString &table, qint64 record) override;

private:
    struct Held
    {
        bool wholeTable = false;
        int records = 0;
    };
    static constexpr qint64 noConflict = -1;

    // Takes the lock, or returns the byte another copy holds (noConflict when taken).
    qint64 take(const QString &table, qint64 record);
    // The refusal naming the copy that holds byte; empty when no copy holds it any longer.
    QString holderOf(qint64 byte) const;
    qint64 ownerMark(qint64 byte, int slot) const;
    void mark(qint64 byte);
    void unmark(qint64 byte);

    LockFile m_file;
    LockSessions m_sessions;
    QHash<int, Held> m_tables; // by table range
    QHash<qint64, int> m_recordBytes; // record bytes this copy locks -> locks of it using them
    QTimer m_repair;
};

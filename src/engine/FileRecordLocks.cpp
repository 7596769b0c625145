#include "engine/FileRecordLocks.h"

#include "engine/Exception.h"
#include "engine/PreviousVersionLocks.h"

#include <QDir>

namespace {

// The lock file's layout. The sessions' records come first; the lock bytes and the owner marks
// lie far beyond them and beyond the end of the file, where locks cost nothing.
constexpr qint64 lockBase = qint64(1) << 40;
constexpr int tableBits = 16;
constexpr qint64 tableSpan = qint64(1) << 32; // the table's byte, then a byte per record id
constexpr qint64 ownerBase = qint64(1) << 49;
constexpr qint64 ownerSpan = qint64(1) << 48; // one slot's owner marks
static_assert(LockSessions::maxSlots * LockSessions::recordSize <= lockBase);
static_assert(lockBase + (tableSpan << tableBits) <= ownerBase);
static_assert(ownerBase + LockSessions::maxSlots * ownerSpan < (qint64(1) << 62));

// Attempts at a lock whose holder let go while it was being looked for.
constexpr int takeAttempts = 3;
constexpr int repairEveryMs = 2000;

qint64 tableByte(int range)
{
    return lockBase + range * tableSpan;
}

qint64 recordByte(int range, qint64 record)
{
    if (record >= 0 && record < tableSpan - 1)
        return tableByte(range) + 1 + record;
    const quint64 mixed = quint64(record) * 0x9e3779b97f4a7c15ull;
    return tableByte(range) + 1 + qint64((mixed >> 16) % quint64(tableSpan - 1));
}

// The lock file of directory, once no copy of the previous version can use the directory beside us.
QString lockFileIn(const QString &directory)
{
    PreviousVersionLocks::retire(directory);
    return QDir(directory).filePath(FileRecordLocks::lockFileName());
}

} // namespace

FileRecordLocks::FileRecordLocks(const QString &directory, QObject *parent)
    : RecordLocks(parent)
    , m_file(lockFileIn(directory), tr("the lock file"))
    , m_sessions(m_file, userName(), hostName())
{
    connect(&m_repair, &QTimer::timeout, this, [this] {
        try {
            m_sessions.repair();
        } catch (const Exception &) {
            // A full disk or a share gone for a moment; the next round tries again.
        }
    });
    m_repair.start(repairEveryMs);
}

FileRecordLocks::~FileRecordLocks() = default;

// FNV-1a of the name, folded: the same in every copy and every build, unlike qHash.
int FileRecordLocks::tableRange(const QString &table)
{
    quint64 hash = 0xcbf29ce484222325ull;
    for (const char byte : table.toUpper().toUtf8()) {
        hash ^= quint8(byte);
        hash *= 0x100000001b3ull;
    }
    return int((hash ^ (hash >> 16) ^ (hash >> 32) ^ (hash >> 48)) & ((1u << tableBits) - 1));
}

qint64 FileRecordLocks::ownerMark(qint64 byte, int slot) const
{
    return ownerBase + slot * ownerSpan + (byte - lockBase);
}

void FileRecordLocks::mark(qint64 byte)
{
    // Nobody else locks this copy's owner marks, so this always succeeds.
    m_file.tryLock(ownerMark(byte, m_sessions.slot()), LockFile::Shared);
}

void FileRecordLocks::unmark(qint64 byte)
{
    m_file.unlock(ownerMark(byte, m_sessions.slot()));
}

qint64 FileRecordLocks::take(const QString &table, qint64 record)
{
    const int range = tableRange(table);
    const qint64 tableAt = tableByte(range);
    const Held held = m_tables.value(range);
    if (record == wholeTable) {
        // Turns this copy's shared lock on the table's byte, if any, into an exclusive one.
        if (!m_file.tryLock(tableAt, LockFile::Exclusive))
            return tableAt;
        if (held.records == 0)
            mark(tableAt);
        m_tables[range].wholeTable = true;
        return noConflict;
    }
    const qint64 recordAt = recordByte(range, record);
    const bool firstInTable = !held.wholeTable && held.records == 0;
    if (firstInTable && !m_file.tryLock(tableAt, LockFile::Shared))
        return tableAt;
    if (!m_recordBytes.contains(recordAt)) {
        if (!m_file.tryLock(recordAt, LockFile::Exclusive)) {
            if (firstInTable)
                m_file.unlock(tableAt);
            return recordAt;
        }
        mark(recordAt);
    }
    if (firstInTable)
        mark(tableAt);
    ++m_recordBytes[recordAt];
    ++m_tables[range].records;
    return noConflict;
}

bool FileRecordLocks::tryTake(const QString &table, qint64 record, QString *refusal)
{
    for (int attempt = 1;; ++attempt) {
        const qint64 held = take(table, record);
        if (held == noConflict)
            return true;
        *refusal = holderOf(held);
        if (!refusal->isEmpty())
            return false;
        if (attempt == takeAttempts) {
            *refusal = lockedBy(tr("unknown user"), tr("an unknown computer"));
            return false;
        }
    }
}

void FileRecordLocks::give(const QString &table, qint64 record)
{
    const int range = tableRange(table);
    const qint64 tableAt = tableByte(range);
    const auto held = m_tables.find(range);
    if (held == m_tables.end())
        return;
    if (record == wholeTable) {
        held->wholeTable = false;
    } else {
        const qint64 recordAt = recordByte(range, record);
        const auto users = m_recordBytes.find(recordAt);
        if (users != m_recordBytes.end() && --users.value() == 0) {
            m_recordBytes.erase(users);
            m_file.unlock(recordAt);
            unmark(recordAt);
        }
        --held->records;
    }
    if (held->wholeTable)
        return;
    if (held->records > 0) {
        // From exclusive back to shared at once: this copy's records stay covered throughout.
        if (record == wholeTable)
            m_file.tryLock(tableAt, LockFile::Shared);
        return;
    }
    m_file.unlock(tableAt);
    unmark(tableAt);
    m_tables.erase(held);
}

QString FileRecordLocks::conflict(const QString &table, qint64 record)
{
    const int range = tableRange(table);
    const qint64 tableAt = tableByte(range);
    qint64 held = noConflict;
    if (record == wholeTable) {
        if (m_file.heldElsewhere(tableAt, LockFile::Exclusive))
            held = tableAt;
    } else if (m_file.heldElsewhere(tableAt, LockFile::Shared)) {
        held = tableAt;
    } else if (const qint64 recordAt = recordByte(range, record);
               m_file.heldElsewhere(recordAt, LockFile::Exclusive)) {
        held = recordAt;
    }
    // No holder found any more: it let go while it was being looked for.
    return held == noConflict ? QString() : holderOf(held);
}

QString FileRecordLocks::holderOf(qint64 byte) const
{
    QList<bool> asked(LockSessions::maxSlots, false);
    for (const LockSessions::Session &session : m_sessions.recorded()) {
        asked[session.slot] = true;
        if (m_file.heldElsewhere(ownerMark(byte, session.slot), LockFile::Exclusive))
            return lockedBy(session.user, session.host);
    }
    // A holder whose record a crash damaged, until it writes it again.
    for (int slot = 0; slot < LockSessions::maxSlots; ++slot) {
        if (!asked[slot] && slot != m_sessions.slot()
            && m_file.heldElsewhere(ownerMark(byte, slot), LockFile::Exclusive))
            return lockedBy(tr("unknown user"), tr("an unknown computer"));
    }
    return {};
}

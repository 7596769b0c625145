#include "engine/LockSessions.h"

#include "engine/Exception.h"
#include "engine/LockFile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDataStream>
#include <QDateTime>
#include <QIODevice>

#include <optional>

namespace {

constexpr quint32 recordMagic = 0x54514c53; // "TQLS"
constexpr quint32 recordFormat = 1;
constexpr int nameLimit = 100; // characters of a user or host name kept in a record
constexpr qint64 checksumSize = 4;

QByteArray checksum(const QByteArray &body)
{
    return QCryptographicHash::hash(body, QCryptographicHash::Sha256).left(checksumSize);
}

// The record of slot in data (a whole record read from the file), when it is intact.
std::optional<LockSessions::Session> decode(int slot, const QByteArray &data)
{
    if (data.size() != LockSessions::recordSize)
        return std::nullopt;
    const QByteArray body = data.left(LockSessions::recordSize - checksumSize);
    if (checksum(body) != data.right(checksumSize))
        return std::nullopt;
    QDataStream in(body);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    quint32 format = 0;
    quint32 recordedSlot = 0;
    qint64 pid = 0;
    qint64 started = 0;
    LockSessions::Session session;
    in >> magic >> format >> recordedSlot >> pid >> started >> session.user >> session.host;
    if (in.status() != QDataStream::Ok || magic != recordMagic || format != recordFormat
        || recordedSlot != quint32(slot))
        return std::nullopt;
    session.slot = slot;
    return session;
}

} // namespace

LockSessions::LockSessions(LockFile &file, const QString &user, const QString &host)
    : m_file(file)
    , m_self { -1, user.left(nameLimit), host.left(nameLimit) }
    , m_pid(QCoreApplication::applicationPid())
    , m_started(QDateTime::currentMSecsSinceEpoch())
{
    for (int slot = 0; slot < maxSlots; ++slot) {
        if (m_file.tryLock(slot * recordSize, LockFile::Exclusive)) {
            m_slot = slot;
            m_self.slot = slot;
            m_file.writeDurably(slot * recordSize, encoded());
            return;
        }
    }
    throw EDatabaseError(QCoreApplication::translate(
        "LockSessions", "Too many copies of the program use the same data directory"));
}

QByteArray LockSessions::encoded() const
{
    QByteArray body;
    {
        QDataStream out(&body, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out << recordMagic << recordFormat << quint32(m_slot) << m_pid << m_started << m_self.user
            << m_self.host;
    }
    body.resize(recordSize - checksumSize, '\0');
    return body + checksum(body);
}

QList<LockSessions::Session> LockSessions::recorded() const
{
    const QByteArray all = m_file.read(0, maxSlots * recordSize);
    QList<Session> sessions;
    for (int slot = 0; qint64(slot + 1) * recordSize <= all.size(); ++slot) {
        if (slot == m_slot)
            continue;
        if (const auto session = decode(slot, all.mid(slot * recordSize, recordSize)))
            sessions << *session;
    }
    return sessions;
}

QList<LockSessions::Session> LockSessions::running(const LockFile &file)
{
    const QByteArray all = file.read(0, maxSlots * recordSize);
    QList<Session> sessions;
    for (int slot = 0; slot < maxSlots; ++slot) {
        if (!file.heldElsewhere(slot * recordSize, LockFile::Exclusive))
            continue;
        const auto session = decode(slot, all.mid(slot * recordSize, recordSize));
        sessions << session.value_or(Session { slot, {}, {} });
    }
    return sessions;
}

void LockSessions::repair()
{
    const QByteArray written = encoded();
    if (m_file.read(m_slot * recordSize, recordSize) != written)
        m_file.writeDurably(m_slot * recordSize, written);
}

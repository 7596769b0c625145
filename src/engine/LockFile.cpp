#include "engine/LockFile.h"

#include "engine/Exception.h"
#include "engine/SharedFolder.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("LockFile", text);
}

QString systemReason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

struct flock range(short type, qint64 offset, qint64 length)
{
    struct flock lock = {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = off_t(offset);
    lock.l_len = off_t(length);
    lock.l_pid = 0; // must be 0 for open-file-description locks
    return lock;
}

short typeOf(LockFile::Kind kind)
{
    return kind == LockFile::Exclusive ? F_WRLCK : F_RDLCK;
}

} // namespace

LockFile::LockFile(const QString &path, const QString &what)
    : m_path(path)
    , m_what(what)
{
    const QByteArray local = QFile::encodeName(path);
    do {
        m_fd = ::open(local.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    } while (m_fd < 0 && errno == EINTR);
    if (m_fd < 0)
        throw EDatabaseError(tr("Cannot open %1 %2: %3").arg(what, path, systemReason()));
    SharedFolder::adoptFile(m_fd, QFileInfo(path).absolutePath());
}

LockFile::~LockFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool LockFile::tryLock(qint64 offset, Kind kind, qint64 length)
{
    struct flock lock = range(typeOf(kind), offset, length);
    while (::fcntl(m_fd, F_OFD_SETLK, &lock) != 0) {
        if (errno == EAGAIN || errno == EACCES)
            return false;
        if (errno != EINTR)
            throw EDatabaseError(tr("Cannot lock %1 %2: %3").arg(m_what, m_path, systemReason()));
    }
    return true;
}

void LockFile::unlock(qint64 offset, qint64 length)
{
    struct flock lock = range(F_UNLCK, offset, length);
    while (::fcntl(m_fd, F_OFD_SETLK, &lock) != 0 && errno == EINTR) { }
}

bool LockFile::heldElsewhere(qint64 offset, Kind kind, qint64 length) const
{
    struct flock lock = range(typeOf(kind), offset, length);
    while (::fcntl(m_fd, F_OFD_GETLK, &lock) != 0) {
        if (errno != EINTR)
            throw EDatabaseError(tr("Cannot lock %1 %2: %3").arg(m_what, m_path, systemReason()));
    }
    return lock.l_type != F_UNLCK;
}

QByteArray LockFile::read(qint64 offset, qint64 length) const
{
    struct stat info = {};
    if (::fstat(m_fd, &info) == 0)
        length = std::clamp<qint64>(info.st_size - offset, 0, length);
    QByteArray data(length, '\0');
    qint64 done = 0;
    while (done < length) {
        const ssize_t got =
            ::pread(m_fd, data.data() + done, size_t(length - done), off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += got;
    }
    data.truncate(done);
    return data;
}

void LockFile::writeDurably(qint64 offset, const QByteArray &data)
{
    qint64 done = 0;
    while (done < data.size()) {
        const ssize_t put = ::pwrite(
            m_fd, data.constData() + done, size_t(data.size() - done), off_t(offset + done));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            throw EDatabaseError(tr("Cannot write %1 %2: %3").arg(m_what, m_path, systemReason()));
        done += put;
    }
    if (::fdatasync(m_fd) != 0)
        throw EDatabaseError(tr("Cannot write %1 %2: %3").arg(m_what, m_path, systemReason()));
}

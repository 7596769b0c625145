#include "report/PageFile.h"

#include "report/PageStream.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace {

const QByteArray magic = QByteArrayLiteral("TQRP\r\n\x1a\n");
constexpr qsizetype hashOffset = 20;
constexpr qsizetype hashSize = 32;

QByteArray hashOf(const QByteArray &fields, const QByteArray &compressed)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(fields);
    hash.addData(compressed);
    return hash.result();
}

QString named(const QString &fileName)
{
    return fileName.isEmpty() ? QString() : QStringLiteral(" \"%1\"").arg(fileName);
}

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

quint32 bigEndian32(const QByteArray &bytes, qsizetype at)
{
    return qFromBigEndian<quint32>(bytes.constData() + at);
}

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

// Reads the file at path, but only a regular file (never a device, a pipe or a link to one, which
// could be read forever) and never more than limit + 1 bytes, whatever the file claims its size is.
bool readLimited(const QString &path, qint64 limit, QByteArray *bytes, QString *error)
{
    const QString shown = QDir::toNativeSeparators(path);
    // Non-blocking, so that opening a pipe with no writer returns at once.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(error,
            QStringLiteral("Cannot open the report file \"%1\": %2").arg(shown, systemError(errno)));
    struct Close
    {
        int fd;
        ~Close() { ::close(fd); }
    } closeLater { fd };
    struct stat info;
    if (::fstat(fd, &info) != 0)
        return fail(error,
            QStringLiteral("Cannot read the report file \"%1\": %2").arg(shown, systemError(errno)));
    if (!S_ISREG(info.st_mode))
        return fail(
            error, QStringLiteral("The file \"%1\" is not a report file (not a regular file).").arg(shown));
    const auto tooLarge = [&] {
        return fail(
            error, QStringLiteral("The file \"%1\" is too large to be a report file.").arg(shown));
    };
    if (info.st_size > limit)
        return tooLarge();
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);

    QByteArray data(qsizetype(info.st_size) + 1, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        if (total == data.size()) {
            if (total > limit)
                return tooLarge();
            data.resize(std::min<qint64>(limit + 1, total * 2 + 4096));
        }
        const ssize_t got = ::read(fd, data.data() + total, size_t(data.size() - total));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return fail(error,
                QStringLiteral("Cannot read the report file \"%1\": %2")
                    .arg(shown, systemError(errno)));
        if (got == 0)
            break;
        total += got;
    }
    if (total > limit)
        return tooLarge();
    data.truncate(qsizetype(total));
    *bytes = std::move(data);
    return true;
}

} // namespace

namespace PageFile {

bool inflate(const QByteArray &compressed, qint64 limit, QByteArray *out)
{
    constexpr qsizetype sizePrefix = 4;
    if (compressed.size() < sizePrefix)
        return false;
    z_stream stream {};
    if (inflateInit(&stream) != Z_OK)
        return false;
    struct End
    {
        z_stream *stream;
        ~End() { inflateEnd(stream); }
    } end { &stream };
    stream.next_in =
        reinterpret_cast<Bytef *>(const_cast<char *>(compressed.constData() + sizePrefix));
    stream.avail_in = uInt(compressed.size() - sizePrefix);

    // Grows by chunks up to the limit, never by what the stream claims it holds.
    QByteArray result;
    constexpr qsizetype chunk = 256 * 1024;
    for (;;) {
        const qsizetype used = qsizetype(stream.total_out);
        if (used == result.size()) {
            if (result.size() >= limit + 1)
                return false;
            result.resize(std::min<qint64>(limit + 1, result.size() + chunk));
        }
        stream.next_out = reinterpret_cast<Bytef *>(result.data() + used);
        stream.avail_out = uInt(result.size() - used);
        const int status = ::inflate(&stream, Z_NO_FLUSH);
        if (status == Z_STREAM_END)
            break;
        if (status != Z_OK && status != Z_BUF_ERROR)
            return false;
        if (status == Z_BUF_ERROR && stream.avail_out != 0)
            return false; // the stream ends before its end
    }
    if (qint64(stream.total_out) > limit || stream.avail_in != 0)
        return false;
    result.truncate(qsizetype(stream.total_out));
    *out = std::move(result);
    return true;
}

QByteArray seal(const QByteArray &payload, quint16 version)
{
    const QByteArray compressed = qCompress(payload, 6);
    QByteArray fields;
    QDataStream out(&fields, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::BigEndian);
    out << version << quint16(0) << quint32(payload.size()) << quint32(compressed.size());
    return magic + fields + hashOf(fields, compressed) + compressed;
}

QByteArray encode(const RenderedReport &report)
{
    return seal(PageStream::write(report));
}

bool decode(
    const QByteArray &bytes, RenderedReport *report, QString *error, const QString &fileName)
{
    const QString name = named(fileName);
    if (!bytes.startsWith(magic))
        return fail(error, QStringLiteral("The file%1 is not a report file.").arg(name));
    const auto damaged = [&](const QString &reason) {
        return fail(error, QStringLiteral("The report file%1 is damaged (%2).").arg(name, reason));
    };
    if (bytes.size() < headerSize)
        return damaged(QStringLiteral("it ends too soon"));

    const quint16 version = qFromBigEndian<quint16>(bytes.constData() + 8);
    if (version > formatVersion)
        return fail(error,
            QStringLiteral("The report file%1 was written by a newer version of the "
                           "program (format %2); this one reads format %3 and older.")
                .arg(name)
                .arg(version)
                .arg(formatVersion));
    const quint32 payloadSize = bigEndian32(bytes, 12);
    const quint32 compressedSize = bigEndian32(bytes, 16);
    if (bytes.size() - headerSize < qint64(compressedSize))
        return damaged(QStringLiteral("it ends too soon"));
    if (bytes.size() - headerSize > qint64(compressedSize))
        return damaged(QStringLiteral("unexpected data at its end"));
    const QByteArray fields = bytes.mid(8, hashOffset - 8);
    const QByteArray compressed = bytes.mid(headerSize);
    if (hashOf(fields, compressed) != bytes.mid(hashOffset, hashSize))
        return damaged(QStringLiteral("its checksum does not match its content"));

    // The checksum holds, so only a deliberately forged file gets this far with bad sizes.
    if (version == 0 || qFromBigEndian<quint16>(bytes.constData() + 10) != 0)
        return damaged(QStringLiteral("unknown format"));
    if (compressed.size() < 4 || bigEndian32(compressed, 0) != payloadSize)
        return damaged(QStringLiteral("bad size"));
    const auto tooLarge = [&](const QString &reason) {
        return fail(error, QStringLiteral("The report file%1 is %2.").arg(name, reason));
    };
    if (qint64(payloadSize) > maxPayloadSize)
        return tooLarge(QStringLiteral("too large to open: it unpacks to more than %1 MB")
                            .arg(maxPayloadSize / (1024 * 1024)));
    QByteArray payload;
    if (!inflate(compressed, payloadSize, &payload) || payload.size() != qsizetype(payloadSize))
        return damaged(QStringLiteral("its content does not unpack"));

    QString reason;
    if (!PageStream::read(payload, report, &reason, version))
        return reason.startsWith(QStringLiteral("too large")) ? tooLarge(reason) : damaged(reason);
    return true;
}

bool save(const QString &path, const RenderedReport &report, QString *error)
{
    const QString shown = QDir::toNativeSeparators(path);
    // Never report success for a file that could not be opened again: it is checked as loading
    // would check it.
    const QByteArray payload = PageStream::write(report);
    QByteArray bytes = seal(payload);
    QString reason;
    RenderedReport check;
    if (payload.size() > maxPayloadSize || bytes.size() > maxFileSize)
        reason = QStringLiteral("its pages take more than %1 MB").arg(maxPayloadSize / (1024 * 1024));
    else if (!PageStream::read(payload, &check, &reason))
        reason.remove(QStringLiteral("too large to open: "));
    if (!reason.isEmpty())
        return fail(error,
            QStringLiteral("The report cannot be saved as \"%1\": the file could not be opened "
                           "again (%2).")
                .arg(shown, reason));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) < 0 || !file.commit())
        return fail(error,
            QStringLiteral("Cannot write the report file \"%1\": %2")
                .arg(shown, file.errorString()));
    return true;
}

bool load(const QString &path, RenderedReport *report, QString *error)
{
    QByteArray bytes;
    if (!readLimited(path, maxFileSize, &bytes, error))
        return false;
    return decode(bytes, report, error, QDir::toNativeSeparators(path));
}

} // namespace PageFile

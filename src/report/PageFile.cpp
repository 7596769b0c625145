#include "report/PageFile.h"

#include "report/PageStream.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QtEndian>

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

} // namespace

namespace PageFile {

QByteArray seal(const QByteArray &payload)
{
    const QByteArray compressed = qCompress(payload, 6);
    QByteArray fields;
    QDataStream out(&fields, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::BigEndian);
    out << formatVersion << quint16(0) << quint32(payload.size()) << quint32(compressed.size());
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
    if (qint64(payloadSize) > maxPayloadSize || compressed.size() < 4
        || bigEndian32(compressed, 0) != payloadSize)
        return damaged(QStringLiteral("bad size"));
    const QByteArray payload = qUncompress(compressed);
    if (payload.size() != qsizetype(payloadSize))
        return damaged(QStringLiteral("its content does not unpack"));

    QString reason;
    if (!PageStream::read(payload, report, &reason))
        return damaged(reason);
    return true;
}

bool save(const QString &path, const RenderedReport &report, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(encode(report)) < 0 || !file.commit())
        return fail(error,
            QStringLiteral("Cannot write the report file \"%1\": %2")
                .arg(QDir::toNativeSeparators(path), file.errorString()));
    return true;
}

bool load(const QString &path, RenderedReport *report, QString *error)
{
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(error,
            QStringLiteral("Cannot open the report file \"%1\": %2")
                .arg(shown, file.errorString()));
    if (file.size() > maxFileSize)
        return fail(
            error, QStringLiteral("The file \"%1\" is too large to be a report file.").arg(shown));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fail(error,
            QStringLiteral("Cannot read the report file \"%1\": %2")
                .arg(shown, file.errorString()));
    return decode(bytes, report, error, shown);
}

} // namespace PageFile

#include "LogoPicture.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace {

QImage read(QIODevice *device)
{
    QImageReader reader(device);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > LogoPicture::MaxPixels)
        return {};
    QImage picture;
    if (!reader.read(&picture))
        return {};
    return picture;
}

} // namespace

namespace LogoPicture {

QImage fromFile(const QString &path)
{
    if (path.trimmed().isEmpty())
        return {};
    // A FIFO or a device would be read for ever; only an ordinary file of bounded size is a logo.
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > MaxFileBytes)
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return read(&file);
}

QImage fromBytes(const QByteArray &bytes)
{
    if (bytes.isEmpty() || bytes.size() > MaxFileBytes)
        return {};
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    if (!buffer.open(QIODevice::ReadOnly))
        return {};
    return read(&buffer);
}

QByteArray storedBytes(const QImage &picture)
{
    if (picture.isNull())
        return {};
    QImage kept = picture;
    if (kept.width() > StoredSide || kept.height() > StoredSide)
        kept = kept.scaled(StoredSide, StoredSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    kept.save(&buffer, "PNG");
    return bytes;
}

QImage forBusiness(const QString &path, const QByteArray &kept)
{
    QImage picture = fromFile(path);
    if (picture.isNull())
        picture = fromBytes(kept);
    return picture;
}

} // namespace LogoPicture

#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// The business logo as a picture: read from a file or from the copy kept in the business record,
// never more than a bounded amount of memory and time, so a file that is not a picture, a device
// or a huge photo leaves an empty picture instead of stalling the window or the print.
namespace LogoPicture {

// Files above this size are not read at all.
constexpr qint64 MaxFileBytes = 32 * 1024 * 1024;
// Pictures above this many pixels are not decoded.
constexpr qint64 MaxPixels = 40'000'000;
// The longest side of the copy kept in the record: enough for a logo box on a printed page.
constexpr int StoredSide = 1200;

// The picture in a regular file at path, or a null picture.
QImage fromFile(const QString &path);
// The picture in the bytes of an image file, or a null picture.
QImage fromBytes(const QByteArray &bytes);
// The copy of a picture the business record keeps: PNG, scaled down to StoredSide.
QByteArray storedBytes(const QImage &picture);
// The file at path when it can be read here, else the kept copy.
QImage forBusiness(const QString &path, const QByteArray &kept);

} // namespace LogoPicture

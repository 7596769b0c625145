#pragma once

#include "report/PageStream.h"
#include "report/ReportPage.h"

#include <QByteArray>
#include <QString>

// Report files (".QRP"): rendered pages saved to disk and loaded back into the same pages.
//
// A file is a 52-byte header and a compressed payload (see PageStream for the payload):
//     8 bytes   magic "TQRP\r\n\x1a\n"
//     quint16   format version (big-endian)
//     quint16   flags, 0
//     quint32   payload size before compression
//     quint32   size of the compressed payload that follows
//     32 bytes  SHA-256 of the version, flags, both sizes and the compressed payload
//     ...       the payload compressed with qCompress (a 4-byte size, then a zlib stream)
// Loading checks all of it before using any of it, so a file that is truncated, has a flipped
// bit, is not a report file or claims absurd sizes is refused with a message and nothing else
// happens. A file from anywhere is safe to load: it is read only if it is a regular file of at
// most maxFileSize bytes, inflated into at most maxPayloadSize bytes, and its pages must fit the
// budgets of PageStream. Saving refuses what loading would refuse. The functions never throw.
namespace PageFile {

inline constexpr quint16 formatVersion = PageStream::currentVersion;
inline constexpr qint64 headerSize = 52;
inline constexpr qint64 maxFileSize = qint64(32) * 1024 * 1024;
inline constexpr qint64 maxPayloadSize = qint64(64) * 1024 * 1024;

// The file's bytes for report.
QByteArray encode(const RenderedReport &report);

// Reads a file's bytes into *report. On failure returns false, leaves *report as it was and sets
// *error to a message for the user naming fileName (when given) and what is wrong.
bool decode(const QByteArray &bytes,
    RenderedReport *report,
    QString *error,
    const QString &fileName = QString());

// Writes report to path, replacing any file there only once the new one is complete. A report
// that could not be loaded back (too large, too many pictures) is refused and nothing is written.
bool save(const QString &path, const RenderedReport &report, QString *error);
bool load(const QString &path, RenderedReport *report, QString *error);

// Wraps an already written payload in the file's header: for tools and for tests that need a
// well-sealed file with a payload that lies.
QByteArray seal(const QByteArray &payload, quint16 version = formatVersion);

// The zlib stream in compressed (after qCompress's 4-byte size) inflated into at most limit bytes;
// false when it is damaged or would grow beyond limit.
bool inflate(const QByteArray &compressed, qint64 limit, QByteArray *out);

} // namespace PageFile

#pragma once

#include "report/ReportPage.h"

#include <QByteArray>
#include <QString>

// The payload of a report file: the title, the pictures and every page's primitives, written field
// by field in a fixed byte order so the file means the same on every machine and Qt version.
//
// Layout (big-endian; text is a quint32 byte count then UTF-8; a rectangle is x, y, width, height
// as doubles in millimetres; a colour is a quint8 "valid" then a quint32 ARGB; a font is its family
// text, point size (double), weight (qint32) and a quint8 of style bits (italic, underline,
// strike-out)):
//     title; from format 2 the picture table: quint32 count, then per picture a quint32 byte count
//     and the picture as PNG; quint32 page count, then per page: paper width and height, margins
//     left, top, right and bottom (doubles), quint32 primitive count, then per primitive a quint8
//     tag and its fields:
//         1 text: box, text, font, colour, quint32 alignment, quint8 word wrap
//         2 line: from x, y, to x, y, colour, width, quint8 pen style
//         3 rectangle: box, pen colour, pen width, fill colour
//         4 image: box, then in format 2 a quint32 index into the picture table (0xffffffff for
//           none), in format 1 the picture itself as in the table
//         5 rich text: box, text, quint8 html, font, colour, offset
//
// A picture is stored once however many pages show it, at no more pixels than it prints with at
// pictureDpi in the largest box that shows it.
namespace PageStream {

enum Tag : quint8
{
    TextTag = 1,
    LineTag,
    RectTag,
    ImageTag,
    RichTextTag
};

inline constexpr quint16 currentVersion = 2;
inline constexpr double pictureDpi = 300;
inline constexpr quint32 noPicture = 0xffffffffu;

// What one file may hold, so that a foreign file can never exhaust memory: the decoded pixels of
// all its pictures together, one picture's side, and an estimate of the memory all its pages take.
inline constexpr qint64 maxPixels = qint64(16) * 1000 * 1000;
inline constexpr int maxPictureSide = 30000;
inline constexpr qint64 maxMemory = qint64(96) * 1024 * 1024;

QByteArray write(const RenderedReport &report);

// Reads a payload of the given format version. On failure returns false with a short description
// of what is wrong in *reason (e.g. "page count out of range"); every count, length and value is
// checked before it is used.
bool read(const QByteArray &payload,
    RenderedReport *report,
    QString *reason,
    quint16 version = currentVersion);

} // namespace PageStream

#pragma once

#include "report/ReportPage.h"

#include <QByteArray>
#include <QString>

// The payload of a report file: the title and every page's primitives, written field by field in
// a fixed byte order so the file means the same on every machine and Qt version.
//
// Layout (big-endian; text is a quint32 byte count then UTF-8; a rectangle is x, y, width, height
// as doubles in millimetres; a colour is a quint8 "valid" then a quint32 ARGB; a font is its family
// text, point size (double), weight (qint32) and a quint8 of style bits (italic, underline,
// strike-out)):
//     title, quint32 page count, then per page: paper width and height, margins left, top, right
//     and bottom (doubles), quint32 primitive count, then per primitive a quint8 tag and its
//     fields: 1 text: box, text, font, colour, quint32 alignment, quint8 word wrap 2 line: from x,
//     y, to x, y, colour, width, quint8 pen style 3 rectangle: box, pen colour, pen width, fill
//     colour 4 image: box, quint32 byte count then the picture as PNG 5 rich text: box, text,
//     quint8 html, font, colour, offset
namespace PageStream {

enum Tag : quint8
{
    TextTag = 1,
    LineTag,
    RectTag,
    ImageTag,
    RichTextTag
};

QByteArray write(const RenderedReport &report);

// Reads a payload. On failure returns false with a short description of what is wrong in *reason
// (e.g. "page count out of range"); every count, length and value is checked before it is used.
bool read(const QByteArray &payload, RenderedReport *report, QString *reason);

} // namespace PageStream

#pragma once

#include <QByteArray>
#include <QString>

// The text of a file written by a spreadsheet or an editor: UTF-8 with or without a byte-order
// mark, UTF-16 with one, and otherwise the Windows code page that older spreadsheets save in.
// Decoding never turns a byte into a replacement character; only broken UTF-16 comes back with
// one for each half of a character found alone.
namespace TextDecoding {

enum class Encoding
{
    Utf8,
    Utf16,
    Windows1252
};

struct Text
{
    QString text; // without a byte-order mark
    Encoding encoding = Encoding::Utf8;
};

Text decode(const QByteArray &bytes);
// Every byte is a character: Latin-1 but for 0x80 to 0x9F, which hold the euro, quotes and dashes.
QString fromWindows1252(QByteArrayView bytes);

} // namespace TextDecoding

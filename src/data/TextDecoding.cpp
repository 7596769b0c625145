#include "data/TextDecoding.h"

#include <QStringDecoder>

#include <array>

namespace TextDecoding {

namespace {

// The characters of 0x80 to 0x9F; the five unassigned bytes keep their control characters.
constexpr std::array<char16_t, 32> windows1252High { 0x20AC, 0x0081, 0x201A, 0x0192, 0x201E,
    0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090,
    0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153,
    0x009D, 0x017E, 0x0178 };

// The mark was taken off already: a second one is text.
constexpr auto keepMarks = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

// The decoder passes a surrogate without its other half through; it is no character, and the
// database could not store it, so it becomes the mark of a character lost.
QString withoutLoneSurrogates(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (text.at(i).isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

} // namespace

QString fromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes.at(i));
        text[i] = byte >= 0x80 && byte <= 0x9F ? QChar(windows1252High.at(byte - 0x80))
                                               : QChar(char16_t(byte));
    }
    return text;
}

Text decode(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        const bool little = bytes.at(0) == '\xFF';
        QStringDecoder utf16(little ? QStringConverter::Utf16LE : QStringConverter::Utf16BE, keepMarks);
        return { withoutLoneSurrogates(utf16.decode(QByteArrayView(bytes).sliced(2))),
            Encoding::Utf16 };
    }
    const QByteArrayView body = bytes.startsWith("\xEF\xBB\xBF") ? QByteArrayView(bytes).sliced(3)
                                                                  : QByteArrayView(bytes);
    QStringDecoder utf8(QStringConverter::Utf8, keepMarks);
    QString text = utf8.decode(body);
    if (!utf8.hasError())
        return { text, Encoding::Utf8 };
    return { fromWindows1252(body), Encoding::Windows1252 };
}

} // namespace TextDecoding

#include "report/ReportFormat.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>

#include <cmath>

namespace {

QString generalNumber(double value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'g', 15);
}

// The sections of a mask split at ';' outside quotes.
QStringList sections(const QString &mask)
{
    QStringList result(1);
    QChar quote;
    for (const QChar c : mask) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u';') {
            result.append(QString());
            continue;
        }
        result.last().append(c);
    }
    return result;
}

struct Section
{
    QString prefix;
    QString suffix;
    int integerZeros = 0;
    int decimalZeros = 0;
    int decimalDigits = 0;
    bool thousands = false;
    bool hasDigits = false;
};

Section parse(const QString &text)
{
    Section s;
    bool seenDigit = false;
    bool afterPoint = false;
    QChar quote;
    QString pendingLiteral;
    for (const QChar c : text) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                pendingLiteral.append(c);
            continue;
        }
        if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'0' || c == u'#') {
            if (!seenDigit)
                s.prefix = pendingLiteral;
            pendingLiteral.clear(); // literals between digits are dropped
            seenDigit = true;
            if (afterPoint) {
                ++s.decimalDigits;
                if (c == u'0')
                    s.decimalZeros = s.decimalDigits;
            } else if (c == u'0') {
                ++s.integerZeros;
            }
        } else if (c == u'.' && !afterPoint) {
            if (!seenDigit) {
                s.prefix = pendingLiteral;
                pendingLiteral.clear();
            }
            afterPoint = true;
            seenDigit = true;
        } else if (c == u',' && seenDigit && !afterPoint) {
            s.thousands = true;
        } else {
            pendingLiteral.append(c);
        }
    }
    if (seenDigit)
        s.suffix = pendingLiteral;
    else
        s.prefix = pendingLiteral;
    s.hasDigits = seenDigit;
    return s;
}

QString format(const Section &s, double magnitude)
{
    if (!s.hasDigits)
        return s.prefix;
    const QLocale locale;
    QString digits = QString::number(magnitude, 'f', s.decimalDigits);
    QString integer = digits.section(u'.', 0, 0);
    QString fraction = digits.section(u'.', 1);
    if (integer == u"0")
        integer.clear();
    while (integer.size() < s.integerZeros)
        integer.prepend(u'0');
    if (s.thousands) {
        for (qsizetype i = integer.size() - 3; i > 0; i -= 3)
            integer.insert(i, locale.groupSeparator());
    }
    while (fraction.size() > s.decimalZeros && fraction.endsWith(u'0'))
        fraction.chop(1);
    QString number = integer;
    if (!fraction.isEmpty())
        number += locale.decimalPoint() + fraction;
    return s.prefix + number + s.suffix;
}

} // namespace

namespace ReportFormat {

QString toText(const QVariant &value)
{
    if (value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::QDate:
        return QLocale().toString(value.toDate(), QLocale::ShortFormat);
    case QMetaType::QDateTime:
        return QLocale().toString(value.toDateTime(), QLocale::ShortFormat);
    case QMetaType::QTime:
        return QLocale().toString(value.toTime(), QLocale::ShortFormat);
    case QMetaType::Double:
    case QMetaType::Float:
        return generalNumber(value.toDouble());
    default:
        return value.toString();
    }
}

QString formatFloat(const QString &mask, double value)
{
    if (mask.isEmpty() || !std::isfinite(value))
        return generalNumber(value);
    const QStringList parts = sections(mask);
    // What is left of a sum after its lines went (-2.8e-17) prints as zero, not as a negative.
    const int shownDigits = parse(parts.at(0)).decimalDigits;
    if (QString::number(std::abs(value), 'f', shownDigits).toDouble() == 0)
        value = 0;
    if (value < 0 && parts.size() >= 2 && !parts.at(1).isEmpty())
        return format(parse(parts.at(1)), -value);
    if (value == 0 && parts.size() >= 3 && !parts.at(2).isEmpty())
        return format(parse(parts.at(2)), 0);
    const Section s = parse(parts.at(0));
    const QString text = format(s, std::abs(value));
    // A value that rounds to zero prints without a sign.
    const bool printsZero = QString::number(std::abs(value), 'f', s.decimalDigits).toDouble() == 0;
    return value < 0 && !printsZero ? u'-' + text : text;
}

} // namespace ReportFormat

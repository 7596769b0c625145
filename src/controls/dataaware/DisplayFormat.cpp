#include "DisplayFormat.h"

#include "engine/Field.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace DisplayFormat {

QString money(double value, const QLocale &locale)
{
    const QString zero = locale.toCurrencyString(0.0);
    // Shown at the currency's own decimals, what is left of a sum after its lines went reads 0.
    if (locale.toCurrencyString(std::abs(value)) == zero)
        return zero;
    return locale.toCurrencyString(value);
}

QString amount(double value, const QLocale &locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    const QString shown = plain.toString(value, 'f', 2);
    const QString zero = plain.toString(0.0, 'f', 2);
    return plain.toString(std::abs(value), 'f', 2) == zero ? zero : shown;
}

QString shortDateFormat(const QLocale &locale)
{
    if (locale.language() == QLocale::C)
        return u"d/MM/yy"_s;
    return locale.dateFormat(QLocale::ShortFormat);
}

QString shortDate(const QDate &date, const QLocale &locale)
{
    return date.isValid() ? locale.toString(date, shortDateFormat(locale)) : QString();
}

QString fieldText(const Field &field, const QVariant &stored)
{
    if (stored.isNull())
        return {};
    if (field.isCurrency())
        return money(stored.toDouble());
    if (field.dataType() == FieldType::Date) {
        const QDate date = stored.typeId() == QMetaType::QDate
            ? stored.toDate()
            : QDate::fromString(stored.toString(), Qt::ISODate);
        return shortDate(date);
    }
    return field.displayTextFor(stored);
}

} // namespace DisplayFormat

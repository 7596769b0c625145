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

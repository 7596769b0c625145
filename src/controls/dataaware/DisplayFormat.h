#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QVariant>

class Field;

// How stored amounts and dates look on screen and on paper, the one place that decides it.
namespace DisplayFormat {

// An amount in the user's currency form. Sums are never rounded when stored, so adding and taking
// off lines can leave a trace such as -2.8e-17: an amount that shows as zero shows as plain zero,
// never as a negative zero.
QString money(double value, const QLocale &locale = QLocale());
// An amount as an edit field shows it for typing over: two decimals, no currency sign and no
// grouping ("63.00", "152.10"), so that what it shows reads back as the same amount.
QString amount(double value, const QLocale &locale = QLocale());

// The short date form of the grids and date fields: the user's own where the locale gives one,
// else (no locale set) d/MM/yy, the form the date fields' hints ask for.
QString shortDateFormat(const QLocale &locale = QLocale());
QString shortDate(const QDate &date, const QLocale &locale = QLocale());

// What a grid cell or a read-only label shows for a stored value of the field.
QString fieldText(const Field &field, const QVariant &stored);

} // namespace DisplayFormat

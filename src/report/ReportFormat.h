#pragma once

#include <QString>
#include <QVariant>

// How values become printed text when a field has no formatter of its own, and the numeric masks
// that report totals are printed with.
namespace ReportFormat {

// Dates and times in the default locale's short format, numbers in general format (no group
// separators, up to 15 significant digits), anything else as its text; null prints empty.
QString toText(const QVariant &value);

// value formatted by a numeric mask: up to three sections "positive;negative;zero", '0' a digit
// always printed, '#' a digit printed only when significant, '.' the decimal point, ',' anywhere
// among the digits turns on thousands separators, text in quotes and any other characters print
// as they are around the number. "$#,###,###.00" prints 0 as "$.00" and 1234.5 as "$1,234.50".
// An empty mask prints the general format.
QString formatFloat(const QString &mask, double value);

} // namespace ReportFormat

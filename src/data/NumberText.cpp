#include "data/NumberText.h"

#include <QLocale>

#include <cmath>

QString storedNumberText(double value)
{
    if (value == 0 || !std::isfinite(value))
        return QStringLiteral("0"); // never "-0"; an overflow is refused before it is stored
    // The shortest digits that read back as the same double, written out in full.
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

#pragma once

#include <QString>

// A number written as text into a stored value or a filter expression: plain digits, a point, no
// exponent and no grouping, whatever the user's locale. Such text is read back by code, not by
// people, so it must read the same on every machine (1E+05 or Arabic-Indic digits would not).
QString storedNumberText(double value);

#include "engine/CaseSpellings.h"

namespace CaseSpellings {

QStringList of(const QString &text)
{
    constexpr int mostSpellings = 16;
    QStringList spellings { QString() };
    for (const QChar c : text) {
        const QChar upper = c.toUpper();
        const QChar lower = c.toLower();
        const bool twoWays = upper != lower && upper.toLower() == lower;
        if (twoWays && spellings.size() * 2 > mostSpellings)
            break;
        QStringList longer;
        for (const QString &spelling : std::as_const(spellings)) {
            if (twoWays)
                longer << spelling + upper << spelling + lower;
            else
                longer << spelling + c;
        }
        spellings = longer;
    }
    return spellings;
}

} // namespace CaseSpellings

#include "documents/ReportMailing.h"

using namespace Qt::StringLiterals;

QString ReportMailing::safeFileName(const QString &name)
{
    static const QString forbidden = u"/\\:*?\"<>|"_s;
    QString safe;
    safe.reserve(name.size());
    for (const QChar c : name) {
        const bool control = c.category() == QChar::Other_Control || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator;
        safe += control || forbidden.contains(c) ? u'_' : c;
    }
    safe = safe.trimmed();
    while (safe.startsWith(u'.'))
        safe.remove(0, 1);
    return safe.isEmpty() ? u"Velbric Report"_s : safe.left(200);
}

#include "engine/SqlDialect.h"

QString SqlDialect::startsWithCaseBlind(const QString &column)
{
    // LIKE compares letters case aside.
    return column + QStringLiteral(" LIKE ? ESCAPE '\\'");
}

// The text as a LIKE pattern that matches only what starts with it: its own wildcards are
// escaped.
QString SqlDialect::startsWithPattern(const QString &text)
{
    QString pattern;
    pattern.reserve(text.size() + 1);
    for (const QChar c : text) {
        if (c == u'\\' || c == u'%' || c == u'_')
            pattern += u'\\';
        pattern += c;
    }
    return pattern + u'%';
}

QString SqlDialect::atOrAfterCaseBlind(const QString &column)
{
    return column + QStringLiteral(" >= ? COLLATE NOCASE");
}

QString SqlDialect::caseBlindOrder(const QString &column)
{
    return column + QStringLiteral(" COLLATE NOCASE");
}

QString SqlDialect::rowIdColumn()
{
    return QStringLiteral("rowid");
}

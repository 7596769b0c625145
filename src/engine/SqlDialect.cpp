#include "engine/SqlDialect.h"

#include <QSqlDriver>
#include <QSqlQuery>

SqlDialect SqlDialect::of(const QSqlDatabase &connection)
{
    const QSqlDriver *driver = connection.driver();
    return SqlDialect(driver && driver->dbmsType() == QSqlDriver::PostgreSQL);
}

// Neither form is helped by the column's index (SQLite's LIKE only is when the column compares
// case aside, which ours do not); callers that need the index bound the column's range as well.
QString SqlDialect::startsWithCaseBlind(const QString &column) const
{
    // SQLite's LIKE compares letters case aside; the server's ILIKE does.
    return column
        + (m_server ? QStringLiteral(" ILIKE ? ESCAPE '\\'")
                    : QStringLiteral(" LIKE ? ESCAPE '\\'"));
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

// SQLite's NOCASE folds the letters A-Z alone; so does the server's lower() on the byte-compared
// ("C") text our columns hold. Neither order is one the column's index gives.
QString SqlDialect::atOrAfterCaseBlind(const QString &column) const
{
    return m_server ? QStringLiteral("lower(%1) >= lower(?)").arg(column)
                    : column + QStringLiteral(" >= ? COLLATE NOCASE");
}

QString SqlDialect::caseBlindOrder(const QString &column) const
{
    // Empty fields first, as SQLite orders them.
    return m_server ? QStringLiteral("lower(%1) NULLS FIRST").arg(column)
                    : column + QStringLiteral(" COLLATE NOCASE");
}

QString SqlDialect::rowIdColumn()
{
    // SQLite's own row id; on the server a column of that name (ServerSchema).
    return QStringLiteral("rowid");
}

QString SqlDialect::returningRowId() const
{
    return m_server ? QStringLiteral(" RETURNING rowid") : QString();
}

qint64 SqlDialect::insertedRowId(QSqlQuery &insert) const
{
    if (!m_server)
        return insert.lastInsertId().toLongLong();
    return insert.next() ? insert.value(0).toLongLong() : -1;
}

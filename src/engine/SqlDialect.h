#pragma once

#include <QString>

// The pieces of SQL text that the databases a store may speak to spell differently, for the
// statements built above the store; everything else those statements say is portable (quoted
// names in their declared spelling, COALESCE, NULLS FIRST, LIMIT ? OFFSET ?). These are the
// embedded SQLite database's spellings.
class SqlDialect
{
public:
    // A condition that column's text starts with the bound value, letters case aside; the value
    // is bound as startsWithPattern(typed text).
    static QString startsWithCaseBlind(const QString &column);
    static QString startsWithPattern(const QString &text);

    // A condition that column's text is at or after the bound text, and the order of column that
    // goes with it, both with letters case aside.
    static QString atOrAfterCaseBlind(const QString &column);
    static QString caseBlindOrder(const QString &column);

    // The column that tells apart rows with equal values, in the order the rows were stored.
    static QString rowIdColumn();
};

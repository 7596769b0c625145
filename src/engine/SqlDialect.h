#pragma once

#include <QSqlDatabase>
#include <QString>

class QSqlQuery;

// The pieces of SQL text that the databases a store may speak to spell differently, for the
// statements built above the store; everything else those statements say is portable (quoted
// names in their declared spelling, COALESCE, NULLS FIRST, LIMIT ? OFFSET ?). Each connection has
// its dialect: the embedded SQLite database's or a PostgreSQL server's.
class SqlDialect
{
public:
    // The spellings of the database behind connection.
    static SqlDialect of(const QSqlDatabase &connection);

    // A condition that column's text starts with the bound value, letters case aside; the value
    // is bound as startsWithPattern(typed text).
    QString startsWithCaseBlind(const QString &column) const;
    static QString startsWithPattern(const QString &text);

    // A condition that column's text is at or after the bound text, and the order of column that
    // goes with it, both with letters case aside.
    QString atOrAfterCaseBlind(const QString &column) const;
    QString caseBlindOrder(const QString &column) const;

    // The column that tells apart rows with equal values, in the order the rows were stored.
    static QString rowIdColumn();

    // What follows an INSERT so that insertedRowId finds the new row's id, and that id once
    // the INSERT ran.
    QString returningRowId() const;
    qint64 insertedRowId(QSqlQuery &insert) const;

private:
    explicit SqlDialect(bool server)
        : m_server(server)
    { }

    bool m_server;
};

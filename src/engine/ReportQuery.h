#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

class TQVDatabase;

// A read-only SELECT across several tables of a data directory, for the reports. Tables are named
// in the statement by their quoted names, which are the table set's file names ("Quotes.DB"
// Quotes); values are bound as parameters (? or :name), never pasted into the text. The statement
// runs as written on a read-only connection; the whole result is read at once, so no read
// transaction stays open on the database.
class ReportQuery
{
public:
    explicit ReportQuery(TQVDatabase *database);

    void setSql(const QString &sql) { m_sql = sql; }
    const QString &sql() const { return m_sql; }
    void bindValue(const QString &placeholder, const QVariant &value);
    void addBindValue(const QVariant &value);
    void clearBindings();

    // Runs the statement. Throws EDatabaseError with a clear message when it is not a SELECT,
    // names an unknown table or fails.
    void exec();

    const QStringList &columnNames() const { return m_columns; }
    int columnCount() const { return int(m_columns.size()); }
    int rowCount() const { return int(m_rows.size()); }
    QVariant value(int row, int column) const;
    int columnIndex(const QString &name, int occurrence = 0) const; // -1 when absent
    const QVector<QVector<QVariant>> &rows() const { return m_rows; }

private:
    TQVDatabase *m_database;
    QString m_sql;
    QList<std::pair<QString, QVariant>> m_named;
    QVariantList m_positional;
    QStringList m_columns;
    QVector<QVector<QVariant>> m_rows;
};

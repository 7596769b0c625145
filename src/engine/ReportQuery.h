#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

class TQVDatabase;

// A read-only SELECT across several table files of a data directory, for the reports. Table files
// are named in the statement by their quoted file names ("Quotes.DB" Quotes); values are bound as
// parameters (? or :name), never pasted into the text. The whole result is read at once, so no
// read transaction stays open on the files.
class ReportQuery
{
public:
    explicit ReportQuery(TQVDatabase *database);

    void setSql(const QString &sql) { m_sql = sql; }
    const QString &sql() const { return m_sql; }
    void bindValue(const QString &placeholder, const QVariant &value);
    void addBindValue(const QVariant &value);
    void clearBindings();

    // Runs the statement. Throws EDatabaseError with a clear message when it is not a single
    // SELECT, names an unknown table file or fails.
    void exec();

    const QStringList &columnNames() const { return m_columns; }
    int columnCount() const { return int(m_columns.size()); }
    int rowCount() const { return int(m_rows.size()); }
    QVariant value(int row, int column) const;
    int columnIndex(const QString &name, int occurrence = 0) const; // -1 when absent
    const QVector<QVector<QVariant>> &rows() const { return m_rows; }

    // The statement with the table file names replaced by their attached tables, and the files
    // it reads; exposed for the tests.
    QString translate(QList<int> *files) const;

private:
    TQVDatabase *m_database;
    QString m_sql;
    QList<std::pair<QString, QVariant>> m_named;
    QVariantList m_positional;
    QStringList m_columns;
    QVector<QVector<QVariant>> m_rows;
};

#pragma once

#include <QList>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

// The rows a report runs over, read forwards once per run. Adapt a query or a table to it; the
// report engine knows nothing of databases.
class ReportDataSource
{
public:
    virtual ~ReportDataSource() = default;

    // Moves to the first row (eof() at once when there is none).
    virtual void first() = 0;
    // Moves to the following row; eof() becomes true after the last one.
    virtual void next() = 0;
    virtual bool eof() const = 0;

    // The names of the fields every row has: the run keeps a copy of the current row by them, so
    // group footers and the last page footer still see the row they belong to.
    virtual QStringList fieldNames() const = 0;
    // The current row's value of fieldName; an invalid QVariant for an unknown name.
    virtual QVariant value(const QString &fieldName) const = 0;
};

// A data source over rows held in memory, each a map of field name to value.
class ListDataSource : public ReportDataSource
{
public:
    explicit ListDataSource(QList<QVariantMap> rows = {});

    void setRows(QList<QVariantMap> rows);
    const QList<QVariantMap> &rows() const { return m_rows; }

    void first() override { m_index = 0; }
    void next() override;
    bool eof() const override { return m_index >= m_rows.size(); }
    QStringList fieldNames() const override;
    QVariant value(const QString &fieldName) const override;

private:
    QList<QVariantMap> m_rows;
    qsizetype m_index = 0;
};

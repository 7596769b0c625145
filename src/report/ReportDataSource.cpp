#include "report/ReportDataSource.h"

#include <QSet>

ListDataSource::ListDataSource(QList<QVariantMap> rows)
    : m_rows(std::move(rows))
{ }

void ListDataSource::setRows(QList<QVariantMap> rows)
{
    m_rows = std::move(rows);
    m_index = 0;
}

void ListDataSource::next()
{
    if (m_index < m_rows.size())
        ++m_index;
}

QStringList ListDataSource::fieldNames() const
{
    // Rows may differ in their keys; a field missing from a row reads as invalid.
    QStringList names;
    QSet<QString> seen;
    for (const QVariantMap &row : m_rows) {
        for (auto it = row.keyBegin(); it != row.keyEnd(); ++it) {
            if (!seen.contains(*it)) {
                seen.insert(*it);
                names.append(*it);
            }
        }
    }
    return names;
}

QVariant ListDataSource::value(const QString &fieldName) const
{
    return eof() ? QVariant() : m_rows.at(m_index).value(fieldName);
}

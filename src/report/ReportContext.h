#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <QVariantMap>

// What hooks, value callbacks and group keys see of the run in progress: the current row, the
// page being filled and the report's system values. The runner owns and updates it.
class ReportContext
{
public:
    // The current row's value of fieldName; invalid when the row has no such field.
    QVariant value(const QString &fieldName) const { return m_row.value(fieldName); }
    const QVariantMap &row() const { return m_row; }

    // The number of the page being filled, from 1 (0 before the first page starts).
    int pageNumber() const { return m_pageNumber; }
    // How many data rows have been processed, the current one included.
    int recordNumber() const { return m_recordNumber; }
    QString title() const { return m_title; }
    // The moment the run started, printed by the date and time system fields.
    QDateTime printDateTime() const { return m_printDateTime; }

private:
    friend class ReportRunner;

    QVariantMap m_row;
    int m_pageNumber = 0;
    int m_recordNumber = 0;
    QString m_title;
    QDateTime m_printDateTime;
};

#pragma once

#include <QString>

class TQVDataSource;

// Rebinds a data-aware control to another link. A field name that differs is cleared before the
// link changes and set afterwards, so the control is never bound to a field its new view lacks.
template <typename Control>
void rebindField(Control *control, TQVDataSource *source, const QString &field)
{
    if (control->dataField() != field)
        control->setDataField(QString());
    control->setDataSource(source);
    control->setDataField(field);
}

// What the quote and the job header call the same thing.
struct HeaderFields
{
    QString number;
    QString description;
    QString grandTotal;

    static HeaderFields quote()
    {
        return { QStringLiteral("Quote_No"), QStringLiteral("QuoteDescription"),
            QStringLiteral("VQuoteTotal") };
    }
    static HeaderFields job()
    {
        return { QStringLiteral("Job_No"), QStringLiteral("JobDescription"),
            QStringLiteral("VTotalJob") };
    }
};

#pragma once

#include "report/ReportElement.h"

// Fixed text.
class ReportLabel : public ReportTextElement
{
public:
    ReportLabel(const QRectF &box, const QString &text);

    QString caption() const { return m_text; }
    void setCaption(const QString &text) { m_text = text; }

    QVariant value(const ReportContext &) const override { return m_text; }

private:
    QString m_text;
};

// Text bound to data: a named field of the current row, or a value computed by a callback.
class ReportField : public ReportTextElement
{
public:
    ReportField(const QRectF &box, const QString &fieldName);
    ReportField(const QRectF &box, ValueFunction function);

    // The data field's name; empty when the value comes from a callback.
    QString fieldName() const { return m_fieldName; }

    QVariant value(const ReportContext &context) const override;

private:
    QString m_fieldName;
    ValueFunction m_function;
};

// A value the run supplies: the report's title, the page number, the number of pages, the print
// date and time or the record number, printed after an optional prefix ("Page ", "Printed : ").
// The number of pages is known only when the run ends: until then (in print hooks, and for an
// auto-sized box's width) the text holds pageCountPlaceholder() instead.
class ReportSystemField : public ReportTextElement
{
public:
    enum Kind
    {
        Title,
        PageNumber,
        PageCount,
        PrintDate,
        PrintTime,
        PrintDateTime,
        RecordNumber
    };

    static QString pageCountPlaceholder() { return QStringLiteral("\uE000#\uE000"); }

    ReportSystemField(const QRectF &box, Kind kind, const QString &prefix = QString());

    Kind kind() const { return m_kind; }
    QString prefix() const { return m_prefix; }
    void setPrefix(const QString &prefix) { m_prefix = prefix; }

    // The prefix and the formatted value together, as one string.
    QVariant value(const ReportContext &context) const override;

private:
    Kind m_kind;
    QString m_prefix;
};

// A total over the data rows: the sum (or count, average, minimum, maximum) of a field or of a
// callback's value. The run adds every row to it as the row is reached, so a total in a detail band
// is a running total. After its band has had its turn (printed or suppressed) the total starts
// again from nothing, so a total in a group footer covers its group, in a page footer its page, and
// in the summary the whole report. Empty and non-numeric values count as 0.
class ReportSumField : public ReportTextElement
{
public:
    enum Aggregate
    {
        Sum,
        Count,
        Average,
        Minimum,
        Maximum
    };

    ReportSumField(const QRectF &box, const QString &fieldName, Aggregate aggregate = Sum);
    ReportSumField(const QRectF &box, ValueFunction function, Aggregate aggregate = Sum);

    Aggregate aggregate() const { return m_aggregate; }
    // Off, the total keeps running over the whole report even after its band prints.
    bool resetAfterPrint() const { return m_resetAfterPrint; }
    void setResetAfterPrint(bool reset) { m_resetAfterPrint = reset; }

    QVariant value(const ReportContext &context) const override;
    double total() const;

    // Called by the run: adds the current row, and starts again after the band's turn.
    void accumulate(const ReportContext &context);
    void reset();

private:
    ValueFunction m_function;
    Aggregate m_aggregate;
    bool m_resetAfterPrint = true;
    double m_sum = 0;
    double m_min = 0;
    double m_max = 0;
    int m_count = 0;
};

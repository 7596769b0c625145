#include "report/ReportFields.h"

#include "report/ReportContext.h"
#include "report/ReportFormat.h"

#include <QLocale>

#include <cmath>

ReportLabel::ReportLabel(const QRectF &box, const QString &text)
    : ReportTextElement(box)
    , m_text(text)
{ }

ReportField::ReportField(const QRectF &box, const QString &fieldName)
    : ReportTextElement(box)
    , m_fieldName(fieldName)
{ }

ReportField::ReportField(const QRectF &box, ValueFunction function)
    : ReportTextElement(box)
    , m_function(std::move(function))
{ }

QVariant ReportField::value(const ReportContext &context) const
{
    return m_function ? m_function(context) : context.value(m_fieldName);
}

ReportSystemField::ReportSystemField(const QRectF &box, Kind kind, const QString &prefix)
    : ReportTextElement(box)
    , m_kind(kind)
    , m_prefix(prefix)
{ }

QVariant ReportSystemField::value(const ReportContext &context) const
{
    const QLocale locale;
    QString text;
    switch (m_kind) {
    case Title:
        text = context.title();
        break;
    case PageNumber:
        text = QString::number(context.pageNumber());
        break;
    case PageCount:
        text = pageCountPlaceholder();
        break;
    case PrintDate:
        text = locale.toString(context.printDateTime().date(), QLocale::ShortFormat);
        break;
    case PrintTime:
        text = locale.toString(context.printDateTime().time(), QLocale::ShortFormat);
        break;
    case PrintDateTime:
        text = locale.toString(context.printDateTime(), QLocale::ShortFormat);
        break;
    case RecordNumber:
        text = QString::number(context.recordNumber());
        break;
    }
    return QString(m_prefix + text);
}

ReportSumField::ReportSumField(const QRectF &box, const QString &fieldName, Aggregate aggregate)
    : ReportSumField(
        box,
        [fieldName](const ReportContext &context) { return context.value(fieldName); },
        aggregate)
{ }

ReportSumField::ReportSumField(const QRectF &box, ValueFunction function, Aggregate aggregate)
    : ReportTextElement(box)
    , m_function(std::move(function))
    , m_aggregate(aggregate)
{
    setAlignment(Qt::AlignRight | Qt::AlignTop);
}

QVariant ReportSumField::value(const ReportContext &) const
{
    return total();
}

double ReportSumField::total() const
{
    switch (m_aggregate) {
    case Sum:
        return m_sum;
    case Count:
        return m_count;
    case Average:
        return m_count ? m_sum / m_count : 0.0;
    case Minimum:
        return m_min;
    case Maximum:
        return m_max;
    }
    return 0;
}

void ReportSumField::accumulate(const ReportContext &context)
{
    bool ok = false;
    double v = m_function(context).toDouble(&ok);
    if (!ok || !std::isfinite(v))
        v = 0;
    m_min = m_count ? std::min(m_min, v) : v;
    m_max = m_count ? std::max(m_max, v) : v;
    m_sum += v;
    ++m_count;
}

void ReportSumField::reset()
{
    m_sum = m_min = m_max = 0;
    m_count = 0;
}

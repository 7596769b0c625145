#pragma once

#include "report/ReportElement.h"

// A block of text laid out by QTextDocument: HTML when Qt::mightBeRichText says so, else plain
// text kept as written (line breaks included). The box either stays fixed, clipping what does not
// fit, or grows downwards to fit the text; a grown memo makes its band taller, pushes the band's
// elements below it down, and may be split across pages at a line boundary.
// Alignment and word wrap do not apply: the text always wraps at the box's width.
class ReportMemo : public ReportTextElement
{
public:
    ReportMemo(const QRectF &box, const QString &fieldName);
    ReportMemo(const QRectF &box, ValueFunction function);

    static std::unique_ptr<ReportMemo> withText(const QRectF &box, const QString &text);

    QString fieldName() const { return m_fieldName; }
    bool canGrow() const { return m_canGrow; }
    void setCanGrow(bool grow) { m_canGrow = grow; }

    QVariant value(const ReportContext &context) const override;
    ElementOutput render(const ReportContext &context, const QFont &inheritedFont) const override;

private:
    QString m_fieldName;
    ValueFunction m_function;
    bool m_canGrow = false;
};

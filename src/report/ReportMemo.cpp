#include "report/ReportMemo.h"

#include "report/ReportContext.h"
#include "report/RichTextBlock.h"

#include <QTextDocument>

ReportMemo::ReportMemo(const QRectF &box, const QString &fieldName)
    : ReportTextElement(box)
    , m_fieldName(fieldName)
{ }

ReportMemo::ReportMemo(const QRectF &box, ValueFunction function)
    : ReportTextElement(box)
    , m_function(std::move(function))
{ }

std::unique_ptr<ReportMemo> ReportMemo::withText(const QRectF &box, const QString &text)
{
    return std::make_unique<ReportMemo>(box, [text](const ReportContext &) { return text; });
}

QVariant ReportMemo::value(const ReportContext &context) const
{
    return m_function ? m_function(context) : context.value(m_fieldName);
}

ElementOutput ReportMemo::render(const ReportContext &context, const QFont &inheritedFont) const
{
    PageRichText item;
    item.text = text(context);
    item.html = Qt::mightBeRichText(item.text);
    item.font = effectiveFont(inheritedFont);
    item.color = color();
    item.box = box();
    if (m_canGrow)
        item.box.setHeight(std::max(box().height(), RichTextBlock::contentHeight(item)));
    const QRectF itemBox = item.box;
    if (item.text.isEmpty())
        return decorate(itemBox, std::nullopt); // nothing to lay out when painting
    return decorate(itemBox, std::move(item));
}

#include "report/ReportElement.h"

#include "report/ReportFormat.h"
#include "report/ReportUnits.h"

QList<PagePrimitive> ReportFrame::lines(const QRectF &box) const
{
    QList<PagePrimitive> result;
    const auto add = [&](QPointF from, QPointF to) {
        result.append(PageLine { from, to, color, width, style });
    };
    if (edges & Qt::TopEdge)
        add(box.topLeft(), box.topRight());
    if (edges & Qt::BottomEdge)
        add(box.bottomLeft(), box.bottomRight());
    if (edges & Qt::LeftEdge)
        add(box.topLeft(), box.bottomLeft());
    if (edges & Qt::RightEdge)
        add(box.topRight(), box.bottomRight());
    return result;
}

ReportElement::ReportElement(const QRectF &box)
    : m_box(box)
{ }

ReportElement::~ReportElement() = default;

void ReportTextElement::setMask(const QString &mask)
{
    m_formatter = [mask](const QVariant &value) {
        return value.isNull() && mask.isEmpty() ? QString()
                                                : ReportFormat::formatFloat(mask, value.toDouble());
    };
}

QString ReportTextElement::text(const ReportContext &context) const
{
    const QVariant v = value(context);
    QString result = m_formatter ? m_formatter(v) : ReportFormat::toText(v);
    if (m_printHook)
        m_printHook(result, context);
    return result;
}

ElementOutput ReportTextElement::render(
    const ReportContext &context, const QFont &inheritedFont) const
{
    PageText item;
    item.text = text(context);
    item.font = effectiveFont(inheritedFont);
    item.color = m_color;
    item.alignment = m_alignment;
    item.wordWrap = m_wordWrap;
    item.box = box();
    if (m_autoSize) {
        // A little slack keeps the last glyph's overhang inside the clip.
        const double width = ReportUnits::textWidthMm(item.font, item.text) + 0.2;
        if (m_alignment & Qt::AlignRight)
            item.box.setLeft(item.box.right() - width);
        else if (m_alignment & Qt::AlignHCenter)
            item.box =
                QRectF(item.box.center().x() - width / 2, item.box.y(), width, item.box.height());
        else
            item.box.setWidth(width);
    }
    const QRectF itemBox = item.box;
    return decorate(itemBox, std::move(item));
}

ElementOutput ReportTextElement::decorate(
    const QRectF &box, std::optional<PagePrimitive> content) const
{
    ElementOutput out;
    out.height = box.height();
    if (m_background.isValid())
        out.primitives.append(PageRect { box, QColor(), 0, m_background });
    if (content)
        out.primitives.append(std::move(*content));
    out.primitives.append(frame().lines(box));
    return out;
}

#include "report/ReportBand.h"

#include <algorithm>

ReportBand::ReportBand(Type type, double height)
    : m_type(type)
    , m_height(std::max(0.0, height))
{ }

bool ReportBand::beforePrint(const ReportContext &context)
{
    return !m_beforePrint || m_beforePrint(*this, context);
}

ReportLabel &ReportBand::addLabel(const QRectF &box, const QString &text)
{
    return add(std::make_unique<ReportLabel>(box, text));
}

ReportField &ReportBand::addField(const QRectF &box, const QString &fieldName)
{
    return add(std::make_unique<ReportField>(box, fieldName));
}

ReportField &ReportBand::addField(const QRectF &box, ValueFunction function)
{
    return add(std::make_unique<ReportField>(box, std::move(function)));
}

ReportSystemField &ReportBand::addSystemField(
    const QRectF &box, ReportSystemField::Kind kind, const QString &prefix)
{
    return add(std::make_unique<ReportSystemField>(box, kind, prefix));
}

ReportSumField &ReportBand::addSum(
    const QRectF &box, const QString &fieldName, ReportSumField::Aggregate aggregate)
{
    return add(std::make_unique<ReportSumField>(box, fieldName, aggregate));
}

ReportSumField &ReportBand::addSum(
    const QRectF &box, ValueFunction function, ReportSumField::Aggregate aggregate)
{
    return add(std::make_unique<ReportSumField>(box, std::move(function), aggregate));
}

ReportMemo &ReportBand::addMemo(const QRectF &box, const QString &fieldName)
{
    return add(std::make_unique<ReportMemo>(box, fieldName));
}

ReportMemo &ReportBand::addMemo(const QRectF &box, ValueFunction function)
{
    return add(std::make_unique<ReportMemo>(box, std::move(function)));
}

ReportImage &ReportBand::addImage(const QRectF &box)
{
    return add(std::make_unique<ReportImage>(box));
}

ReportLine &ReportBand::addLine(const QPointF &from, const QPointF &to, double width)
{
    return add(std::make_unique<ReportLine>(from, to, width));
}

ReportRectangle &ReportBand::addRectangle(const QRectF &box, double penWidth)
{
    return add(std::make_unique<ReportRectangle>(box, penWidth));
}

ReportElement *ReportBand::element(const QString &name) const
{
    for (const auto &e : m_elements) {
        if (e->name() == name)
            return e.get();
    }
    return nullptr;
}

PreparedBand ReportBand::prepare(
    const ReportContext &context, const QFont &inheritedFont, double width) const
{
    const QFont bandFont = m_font.value_or(inheritedFont);
    struct Rendered
    {
        const ReportElement *element;
        ElementOutput output;
        double shift = 0;
    };
    std::vector<Rendered> rendered;
    for (const auto &element : m_elements) {
        if (element->isVisible())
            rendered.push_back({ element.get(), element->render(context, bandFont) });
    }

    // Elements that start below a grown element move down by its growth (and by whatever moved
    // that one), in order from the top so growth passes down a column of memos.
    std::vector<Rendered *> byTop;
    for (Rendered &r : rendered)
        byTop.push_back(&r);
    std::stable_sort(byTop.begin(), byTop.end(), [](const Rendered *a, const Rendered *b) {
        return a->element->box().top() < b->element->box().top();
    });
    double extra = 0;
    for (Rendered *r : byTop) {
        for (const Rendered *above : byTop) {
            const double growth = above->output.height - above->element->height();
            if (above != r && growth > 0
                && above->element->box().bottom() <= r->element->box().top() + 1e-9)
                r->shift = std::max(r->shift, above->shift + growth);
        }
        extra = std::max(extra, r->shift + r->output.height - r->element->height());
    }

    PreparedBand band;
    band.height = m_height + extra;
    for (const Rendered &r : rendered) {
        for (const PagePrimitive &primitive : r.output.primitives)
            band.primitives.append(
                r.shift > 0 ? translatedPrimitive(primitive, 0, r.shift) : primitive);
    }
    band.primitives.append(m_frame.lines(QRectF(0, 0, width, band.height)));
    return band;
}

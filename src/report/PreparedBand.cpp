#include "report/PreparedBand.h"

#include "report/RichTextBlock.h"

namespace {

// Where a rich-text block crossing the cut may break: the lowest line end above limit, in band
// coordinates; block.box.top() when not even its first visible line fits.
double breakBefore(const PageRichText &block, double limit)
{
    double best = block.box.top();
    for (double bottom : RichTextBlock::lineBottoms(block)) {
        const double y = block.box.top() + bottom - block.offset;
        if (bottom <= block.offset)
            continue;
        if (y > limit + 1e-6)
            break;
        best = y;
    }
    return best;
}

} // namespace

bool PreparedBand::split(double available, PreparedBand *rest)
{
    if (available <= 0)
        return false;
    double cut = available;
    for (const PagePrimitive &primitive : primitives) {
        const auto *block = std::get_if<PageRichText>(&primitive);
        if (block && block->box.top() < cut && block->box.bottom() > cut)
            cut = std::min(cut, breakBefore(*block, cut));
    }
    if (cut <= 0)
        return false;

    PreparedBand first;
    first.height = cut;
    rest->primitives.clear();
    rest->height = height - cut;
    for (const PagePrimitive &primitive : primitives) {
        const QRectF bounds = primitiveBounds(primitive);
        if (bounds.top() >= cut) {
            rest->primitives.append(translatedPrimitive(primitive, 0, -cut));
            continue;
        }
        const auto *block = std::get_if<PageRichText>(&primitive);
        if (block && bounds.bottom() > cut) {
            PageRichText head = *block;
            head.box.setBottom(cut);
            first.primitives.append(head);
            PageRichText tail = *block;
            tail.offset += cut - block->box.top();
            tail.box = QRectF(block->box.left(), 0, block->box.width(), block->box.bottom() - cut);
            rest->primitives.append(tail);
        } else {
            first.primitives.append(primitive);
        }
    }
    *this = std::move(first);
    return true;
}

QList<PagePrimitive> PreparedBand::placedAt(double x, double y) const
{
    QList<PagePrimitive> placed;
    placed.reserve(primitives.size());
    for (const PagePrimitive &primitive : primitives)
        placed.append(translatedPrimitive(primitive, x, y));
    return placed;
}

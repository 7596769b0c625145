#include "report/ReportPage.h"

#include <QPageSize>

namespace {

template <class... Ts> struct Overloaded : Ts...
{
    using Ts::operator()...;
};
// Spelled out for compilers without deduction for aggregates (clang before 17).
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

} // namespace

QRectF primitiveBounds(const PagePrimitive &primitive)
{
    return std::visit(
        Overloaded {
            [](const PageLine &line) { return QRectF(line.from, line.to).normalized(); },
            [](const auto &boxed) { return boxed.box; },
        },
        primitive);
}

PagePrimitive translatedPrimitive(const PagePrimitive &primitive, double dx, double dy)
{
    return std::visit(Overloaded {
                          [&](PageLine line) -> PagePrimitive {
                              line.from += QPointF(dx, dy);
                              line.to += QPointF(dx, dy);
                              return line;
                          },
                          [&](auto boxed) -> PagePrimitive {
                              boxed.box.translate(dx, dy);
                              return boxed;
                          },
                      },
        primitive);
}

QPageLayout::Orientation ReportPage::orientation() const
{
    return paperSize.width() > paperSize.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
}

QPageLayout ReportPage::pageLayout() const
{
    const QSizeF portrait(std::min(paperSize.width(), paperSize.height()),
        std::max(paperSize.width(), paperSize.height()));
    return QPageLayout(QPageSize(portrait, QPageSize::Millimeter), orientation(), QMarginsF(),
        QPageLayout::Millimeter);
}

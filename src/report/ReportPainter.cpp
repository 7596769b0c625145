#include "report/ReportPainter.h"

#include "report/ReportPage.h"
#include "report/ReportUnits.h"
#include "report/RichTextBlock.h"

#include <QPaintDevice>
#include <QPainter>

namespace {

using ReportUnits::toUnits;

QRectF toUnits(const QRectF &mm)
{
    return QRectF(toUnits(mm.x()), toUnits(mm.y()), toUnits(mm.width()), toUnits(mm.height()));
}

QPen penFor(const QColor &color, double widthMm, Qt::PenStyle style = Qt::SolidLine)
{
    QPen pen(color, toUnits(widthMm), style, Qt::FlatCap, Qt::MiterJoin);
    pen.setCosmetic(widthMm <= 0); // the thinnest line the device draws: a hairline
    if (widthMm <= 0)
        pen.setWidth(0);
    return pen;
}

// Consecutive texts mostly share a font; converting it once saves the paint engine a font change
// per text.
struct FontCache
{
    QFont source;
    QFont layout;
    bool valid = false;
};

void draw(QPainter &painter, const PageText &item, FontCache &fonts)
{
    if (item.text.isEmpty())
        return;
    if (!fonts.valid || !(fonts.source == item.font)) {
        fonts.source = item.font;
        fonts.layout = ReportUnits::layoutFont(item.font);
        fonts.valid = true;
        painter.setFont(fonts.layout);
    }
    painter.setPen(item.color);
    int flags = int(item.alignment);
    if (item.wordWrap)
        flags |= Qt::TextWordWrap;
    painter.drawText(toUnits(item.box), flags, item.text);
}

void draw(QPainter &, const PageText &) { }

void draw(QPainter &painter, const PageLine &item)
{
    painter.setPen(penFor(item.color, item.width, item.style));
    painter.drawLine(QPointF(toUnits(item.from.x()), toUnits(item.from.y())),
        QPointF(toUnits(item.to.x()), toUnits(item.to.y())));
}

void draw(QPainter &painter, const PageRect &item)
{
    const QRectF box = toUnits(item.box);
    if (item.fill.isValid())
        painter.fillRect(box, item.fill);
    if (item.penColor.isValid()) {
        painter.setPen(penFor(item.penColor, item.penWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box);
    }
}

void draw(QPainter &painter, const PageImage &item)
{
    if (!item.image.isNull())
        painter.drawImage(toUnits(item.box), item.image);
}

void draw(QPainter &painter, const PageRichText &item)
{
    if (item.text.isEmpty())
        return;
    PageRichText inUnits = item;
    inUnits.box = toUnits(item.box);
    RichTextBlock::paint(painter, inUnits);
}

} // namespace

namespace ReportPainter {

void paint(QPainter &painter, const ReportPage &page)
{
    const QPaintDevice *device = painter.device();
    const double dotsPerMmX = device ? device->logicalDpiX() / 25.4 : 96 / 25.4;
    const double dotsPerMmY = device ? device->logicalDpiY() / 25.4 : 96 / 25.4;
    paint(painter, page,
        QRectF(0, 0, page.paperSize.width() * dotsPerMmX, page.paperSize.height() * dotsPerMmY));
}

void paint(QPainter &painter, const ReportPage &page, const QRectF &target)
{
    if (page.paperSize.isEmpty() || target.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.translate(target.topLeft());
    painter.scale(target.width() / toUnits(page.paperSize.width()),
        target.height() / toUnits(page.paperSize.height()));
    FontCache fonts;
    for (const PagePrimitive &primitive : page.primitives) {
        if (const auto *text = std::get_if<PageText>(&primitive)) {
            draw(painter, *text, fonts);
        } else {
            std::visit([&](const auto &item) { draw(painter, item); }, primitive);
            fonts.valid = false; // rich text sets fonts of its own
        }
    }
    painter.restore();
}

} // namespace ReportPainter

#include "Glyphs.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <functional>

namespace {

const QColor Ink(40, 40, 60);
const QColor Paper(250, 250, 245);
const QColor Accent(30, 90, 170);

// Draws on a 20 x 20 canvas, at twice the pixels for high-density screens.
QPixmap draw(const std::function<void(QPainter &)> &paint)
{
    QPixmap pixmap(40, 40);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(2, 2);
    painter.setPen(QPen(Ink, 1.2));
    paint(painter);
    painter.end();
    pixmap.setDevicePixelRatio(2);
    return pixmap;
}

void page(QPainter &p, const QRectF &r)
{
    QPolygonF sheet;
    sheet << r.topLeft() << QPointF(r.right() - 4, r.top()) << QPointF(r.right(), r.top() + 4)
          << r.bottomRight() << r.bottomLeft();
    p.setBrush(Paper);
    p.drawPolygon(sheet);
    p.drawLine(QPointF(r.right() - 4, r.top()), QPointF(r.right() - 4, r.top() + 4));
    p.drawLine(QPointF(r.right() - 4, r.top() + 4), QPointF(r.right(), r.top() + 4));
}

void lens(QPainter &p, const QPointF &centre, qreal radius)
{
    p.setBrush(QColor(200, 225, 250));
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(Ink, 2.4, Qt::SolidLine, Qt::RoundCap));
    const qreal d = radius * 0.72;
    p.drawLine(centre + QPointF(d, d), centre + QPointF(d + 5, d + 5));
}

void arrow(QPainter &p, bool right)
{
    QPolygonF head;
    if (right)
        head << QPointF(6, 3) << QPointF(16, 10) << QPointF(6, 17);
    else
        head << QPointF(14, 3) << QPointF(4, 10) << QPointF(14, 17);
    p.setBrush(Accent);
    p.drawPolygon(head);
}

void paintGlyph(QPainter &p, Glyphs::Glyph glyph)
{
    using Glyphs::Glyph;
    switch (glyph) {
    case Glyph::New:
        page(p, QRectF(4, 2, 12, 16));
        p.setPen(QPen(QColor(220, 160, 0), 1.6));
        p.drawLine(QPointF(14, 11), QPointF(14, 19));
        p.drawLine(QPointF(10, 15), QPointF(18, 15));
        break;
    case Glyph::Save:
        p.setBrush(Accent);
        p.drawRoundedRect(QRectF(2.5, 2.5, 15, 15), 1.5, 1.5);
        p.setBrush(Paper);
        p.drawRect(QRectF(5, 3, 10, 6));
        p.setBrush(QColor(180, 180, 190));
        p.drawRect(QRectF(6, 12, 8, 5.5));
        break;
    case Glyph::Print:
        page(p, QRectF(5, 1.5, 10, 8));
        p.setBrush(QColor(170, 170, 180));
        p.drawRoundedRect(QRectF(2, 8, 16, 7), 1.5, 1.5);
        p.setBrush(Paper);
        p.drawRect(QRectF(5, 13, 10, 5.5));
        break;
    case Glyph::Previous:
        arrow(p, false);
        break;
    case Glyph::Next:
        arrow(p, true);
        break;
    case Glyph::Delete:
        p.setPen(QPen(QColor(200, 30, 30), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 5), QPointF(15, 15));
        p.drawLine(QPointF(15, 5), QPointF(5, 15));
        break;
    case Glyph::Find:
        lens(p, QPointF(8, 8), 5);
        break;
    case Glyph::QuickSearch:
        p.setPen(QPen(Ink, 1.2));
        for (int y : { 3, 7, 11 })
            p.drawLine(QPointF(2, y), QPointF(10, y));
        lens(p, QPointF(12, 11), 4);
        break;
    case Glyph::SortPriority:
        p.setPen(QPen(QColor(200, 30, 30), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 3), QPointF(5, 12));
        p.drawPoint(QPointF(5, 16.5));
        p.setPen(QPen(Ink, 1.2));
        p.setBrush(Accent);
        p.drawPolygon(QPolygonF() << QPointF(10, 12) << QPointF(18, 12) << QPointF(14, 18));
        p.drawLine(QPointF(14, 3), QPointF(14, 12));
        break;
    case Glyph::Summary: {
        QFont font;
        font.setPixelSize(17);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Accent);
        p.drawText(QRectF(0, 0, 20, 20), Qt::AlignCenter, QStringLiteral("\u03a3"));
        break;
    }
    case Glyph::Add:
        p.setPen(QPen(QColor(30, 140, 60), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(10, 4), QPointF(10, 16));
        p.drawLine(QPointF(4, 10), QPointF(16, 10));
        break;
    case Glyph::Edit: {
        p.setBrush(QColor(240, 200, 60));
        QPolygonF pencil;
        pencil << QPointF(13, 3) << QPointF(17, 7) << QPointF(7, 17) << QPointF(3, 17)
               << QPointF(3, 13);
        p.drawPolygon(pencil);
        break;
    }
    case Glyph::Select:
        p.setPen(QPen(QColor(30, 140, 60), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF() << QPointF(4, 10) << QPointF(8, 15) << QPointF(16, 5));
        break;
    case Glyph::Person:
        p.setBrush(QColor(230, 190, 150));
        p.drawEllipse(QPointF(10, 6), 3.5, 3.5);
        p.setBrush(Accent);
        p.drawRoundedRect(QRectF(4, 11, 12, 7), 3, 3);
        break;
    }
}

} // namespace

QIcon Glyphs::icon(Glyph glyph)
{
    QIcon result(draw([glyph](QPainter &p) { paintGlyph(p, glyph); }));
    return result;
}

QPixmap Glyphs::brandPicture(const QSize &size)
{
    QPixmap pixmap(size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(16, 36, 84));
    sky.setColorAt(1, QColor(40, 110, 170));
    p.fillRect(pixmap.rect(), sky);
    // A row of roofs along the bottom: the trades the program serves.
    p.setPen(Qt::NoPen);
    const qreal w = size.width();
    const qreal h = size.height();
    p.setBrush(QColor(10, 24, 52, 200));
    QPainterPath roofs;
    roofs.moveTo(0, h);
    const int houses = 6;
    for (int i = 0; i < houses; ++i) {
        const qreal left = w * i / houses;
        const qreal right = w * (i + 1) / houses;
        const qreal eaves = h * (0.78 - 0.05 * (i % 2));
        roofs.lineTo(left, eaves);
        roofs.lineTo((left + right) / 2, eaves - h * 0.12);
        roofs.lineTo(right, eaves);
    }
    roofs.lineTo(w, h);
    roofs.closeSubpath();
    p.drawPath(roofs);
    return pixmap;
}

#include "documents/PreviewGlyphs.h"

#include <QPainter>
#include <QPixmap>

#include <functional>

namespace PreviewGlyphs {

namespace {

QIcon drawn(const std::function<void(QPainter &)> &draw)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return QIcon(pixmap);
}

void drawPrinter(QPainter &p)
{
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 1.5, 7, 5)); // paper going in
    p.setBrush(QColor(150, 150, 160));
    p.drawRoundedRect(QRectF(1.5, 5.5, 13, 6), 1.5, 1.5);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 9.5, 7, 5)); // paper coming out
}

} // namespace

QIcon printer()
{
    return drawn(drawPrinter);
}

QIcon printerSetup()
{
    return drawn([](QPainter &p) {
        drawPrinter(p);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 90, 200));
        p.drawEllipse(QRectF(9, 8, 7, 7));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(11, 10, 3, 3));
    });
}

QIcon envelope()
{
    return drawn([](QPainter &p) {
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(QColor(250, 240, 200));
        p.drawRect(QRectF(1.5, 3.5, 13, 9));
        p.drawPolyline(QPolygonF({ { 1.5, 3.5 }, { 8, 9 }, { 14.5, 3.5 } }));
    });
}

QIcon pdf()
{
    return drawn([](QPainter &p) {
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 0.5, 11, 15));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 30, 30));
        p.drawRect(QRectF(0.5, 6, 15, 6));
        QFont font = p.font();
        font.setPixelSize(6);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(0.5, 6, 15, 6), Qt::AlignCenter, QStringLiteral("PDF"));
    });
}

} // namespace PreviewGlyphs

#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QList>
#include <QMarginsF>
#include <QPageLayout>
#include <QRectF>
#include <QString>

#include <variant>

// The primitives a rendered page is made of. Every position and size is in millimetres from the
// top-left corner of the paper; fonts keep their point size. ReportPainter draws them.

// One piece of plain text in a box, clipped to it.
struct PageText
{
    QRectF box;
    QString text;
    QFont font;
    QColor color = Qt::black;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
    bool wordWrap = false;

    bool operator==(const PageText &) const = default;
};

// A straight line; width 0 is the thinnest line the device can draw.
struct PageLine
{
    QPointF from;
    QPointF to;
    QColor color = Qt::black;
    double width = 0;
    Qt::PenStyle style = Qt::SolidLine;

    bool operator==(const PageLine &) const = default;
};

// A rectangle with an optional outline (penColor invalid: none) and fill (fill invalid: none).
struct PageRect
{
    QRectF box;
    QColor penColor = Qt::black;
    double penWidth = 0;
    QColor fill;

    bool operator==(const PageRect &) const = default;
};

// A picture stretched to its box.
struct PageImage
{
    QRectF box;
    QImage image;

    bool operator==(const PageImage &) const = default;
};

// A block of rich text (HTML) or plain text laid out by QTextDocument across the box's width.
// offset is how far down the laid-out text the box starts: a memo split across pages shows its
// first lines on one page and, with a larger offset, the rest on the next.
struct PageRichText
{
    QRectF box;
    QString text;
    bool html = false;
    QFont font;
    QColor color = Qt::black;
    double offset = 0;

    bool operator==(const PageRichText &) const = default;
};

using PagePrimitive = std::variant<PageText, PageLine, PageRect, PageImage, PageRichText>;

// The area a primitive covers, in millimetres (a line's bounding box).
QRectF primitiveBounds(const PagePrimitive &primitive);

// primitive moved by (dx, dy) millimetres.
PagePrimitive translatedPrimitive(const PagePrimitive &primitive, double dx, double dy);

// One rendered page: its paper, its margins and what is drawn on it, in drawing order.
struct ReportPage
{
    QSizeF paperSize = QSizeF(210, 297); // millimetres, as the page is seen (landscape is wide)
    QMarginsF margins; // millimetres
    QList<PagePrimitive> primitives;

    QPageLayout::Orientation orientation() const;
    // The page as QPrinter and QPdfWriter take it, with no margins: primitives hold the margins.
    QPageLayout pageLayout() const;

    bool operator==(const ReportPage &) const = default;
};

// The result of a run, or the content of a report file: its title and its pages.
struct RenderedReport
{
    QString title;
    QList<ReportPage> pages;

    bool operator==(const RenderedReport &) const = default;
};

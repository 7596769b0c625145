#pragma once

#include "report/ReportElement.h"

#include <QImage>

// A picture stretched to its box (or fitted into it keeping its proportions). The picture is set
// directly (a logo loaded before the run) or comes per row from a callback or a field holding a
// QImage, a QPixmap or the bytes of an image file. A row without a picture keeps the set one.
class ReportImage : public ReportElement
{
public:
    explicit ReportImage(const QRectF &box);

    QImage image() const { return m_image; }
    void setImage(const QImage &image) { m_image = image; }
    // Loads the picture file at path; on failure keeps the current picture and returns false.
    bool load(const QString &path);

    void setSource(ValueFunction function) { m_source = std::move(function); }
    void setSourceField(const QString &fieldName);

    bool keepAspectRatio() const { return m_keepAspectRatio; }
    void setKeepAspectRatio(bool keep) { m_keepAspectRatio = keep; }

    ElementOutput render(const ReportContext &context, const QFont &inheritedFont) const override;

private:
    QImage m_image;
    ValueFunction m_source;
    bool m_keepAspectRatio = false;
};

// A straight line between two points given in millimetres from the band's top-left corner.
class ReportLine : public ReportElement
{
public:
    ReportLine(const QPointF &from, const QPointF &to, double width = 0);

    QPointF from() const { return m_from; }
    QPointF to() const { return m_to; }
    double width() const { return m_width; }
    void setWidth(double width) { m_width = width; }
    QColor color() const { return m_color; }
    void setColor(const QColor &color) { m_color = color; }
    Qt::PenStyle style() const { return m_style; }
    void setStyle(Qt::PenStyle style) { m_style = style; }

    ElementOutput render(const ReportContext &context, const QFont &inheritedFont) const override;

private:
    QPointF m_from;
    QPointF m_to;
    double m_width;
    QColor m_color = Qt::black;
    Qt::PenStyle m_style = Qt::SolidLine;
};

// A rectangle with an outline (none when the pen colour is invalid) and an optional fill.
class ReportRectangle : public ReportElement
{
public:
    explicit ReportRectangle(const QRectF &box, double penWidth = 0);

    QColor penColor() const { return m_penColor; }
    void setPenColor(const QColor &color) { m_penColor = color; }
    double penWidth() const { return m_penWidth; }
    void setPenWidth(double width) { m_penWidth = width; }
    QColor fill() const { return m_fill; }
    void setFill(const QColor &color) { m_fill = color; }

    ElementOutput render(const ReportContext &context, const QFont &inheritedFont) const override;

private:
    QColor m_penColor = Qt::black;
    double m_penWidth;
    QColor m_fill;
};

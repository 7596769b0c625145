#pragma once

#include "report/ReportPage.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

class ReportContext;

// A value computed for the current row, e.g. a calculated field.
using ValueFunction = std::function<QVariant(const ReportContext &context)>;
// Turns a field's value into the text it prints.
using Formatter = std::function<QString(const QVariant &value)>;
// Called as a text field prints, with the text about to print; may change it.
using TextHook = std::function<void(QString &text, const ReportContext &context)>;

// Lines drawn along some edges of an element's or a band's box.
struct ReportFrame
{
    Qt::Edges edges;
    double width = 0; // millimetres; 0 is a hairline
    QColor color = Qt::black;
    Qt::PenStyle style = Qt::SolidLine;

    // The frame's lines around box, in box's coordinates.
    QList<PagePrimitive> lines(const QRectF &box) const;
};

// What an element renders for one row: primitives in band coordinates (millimetres from the band's
// top-left corner) and the height it takes, more than its box when its content grew.
struct ElementOutput
{
    QList<PagePrimitive> primitives;
    double height = 0;
};

// Something placed on a band: its box in millimetres from the band's top-left corner, a name by
// which hooks find it, whether it prints, and its frame.
class ReportElement
{
public:
    explicit ReportElement(const QRectF &box);
    virtual ~ReportElement();
    ReportElement(const ReportElement &) = delete;
    ReportElement &operator=(const ReportElement &) = delete;

    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }

    QRectF box() const { return m_box; }
    void setBox(const QRectF &box) { m_box = box; }
    double height() const { return m_box.height(); }

    // A hidden element prints nothing and takes no space; hooks switch it per row.
    bool isVisible() const { return m_visible; }
    void setVisible(bool visible) { m_visible = visible; }

    const ReportFrame &frame() const { return m_frame; }
    void setFrame(const ReportFrame &frame) { m_frame = frame; }

    // The element's primitives for the current row. inheritedFont is the band's font.
    virtual ElementOutput render(
        const ReportContext &context, const QFont &inheritedFont) const = 0;

private:
    QString m_name;
    QRectF m_box;
    bool m_visible = true;
    ReportFrame m_frame;
};

// An element that prints text: its font (else the band's), colours, alignment, the formatter that
// turns its value into text and the hook that may change the text as it prints.
class ReportTextElement : public ReportElement
{
public:
    using ReportElement::ReportElement;

    std::optional<QFont> font() const { return m_font; }
    void setFont(const QFont &font) { m_font = font; }
    QFont effectiveFont(const QFont &inheritedFont) const { return m_font.value_or(inheritedFont); }

    QColor color() const { return m_color; }
    void setColor(const QColor &color) { m_color = color; }
    // Filled behind the text; invalid (the default) leaves it transparent.
    QColor background() const { return m_background; }
    void setBackground(const QColor &color) { m_background = color; }

    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment) { m_alignment = alignment; }
    // Wrapped text breaks into lines within the box; otherwise it is one line clipped to the box.
    bool wordWrap() const { return m_wordWrap; }
    void setWordWrap(bool wrap) { m_wordWrap = wrap; }
    // The box's width follows the printed text: it grows right from a left-aligned box's left edge,
    // left from a right-aligned box's right edge, and both ways round a centred box's centre.
    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool autoSize) { m_autoSize = autoSize; }

    void setFormatter(Formatter formatter) { m_formatter = std::move(formatter); }
    // Shorthand for a formatter printing numbers by ReportFormat::formatFloat's mask.
    void setMask(const QString &mask);
    void setPrintHook(TextHook hook) { m_printHook = std::move(hook); }

    // The element's value for the current row, before formatting.
    virtual QVariant value(const ReportContext &context) const = 0;
    // The text the element prints now: value, formatted, then passed through the print hook.
    QString text(const ReportContext &context) const;

    ElementOutput render(const ReportContext &context, const QFont &inheritedFont) const override;

protected:
    // Background fill, then content (if any), then frame, around box.
    ElementOutput decorate(const QRectF &box, std::optional<PagePrimitive> content) const;

private:
    std::optional<QFont> m_font;
    QColor m_color = Qt::black;
    QColor m_background;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignTop;
    bool m_wordWrap = false;
    bool m_autoSize = false;
    Formatter m_formatter;
    TextHook m_printHook;
};

#pragma once

#include "report/PreparedBand.h"
#include "report/ReportFields.h"
#include "report/ReportMemo.h"
#include "report/ReportShapes.h"

#include <memory>
#include <vector>

// One horizontal strip of a report layout and the elements placed on it. A band is as wide as the
// page between its margins; positions on it are millimetres from its top-left corner.
//
// Hooks and the run may change a band as it goes: the before-print hook typically hides an element
// or sets the height for the current row, and such changes last until changed again.
class ReportBand
{
public:
    enum Type
    {
        PageHeader,
        ColumnHeader,
        GroupHeader,
        Detail,
        GroupFooter,
        Summary,
        PageFooter
    };

    // Called before the band prints, with the row it prints for. Return false to suppress the band
    // this time: it prints nothing and takes no space. The hook may change the band's height and
    // its elements (visibility, text, boxes) first.
    using BeforePrintHook = std::function<bool(ReportBand &band, const ReportContext &context)>;

    ReportBand(Type type, double height);
    ReportBand(const ReportBand &) = delete;
    ReportBand &operator=(const ReportBand &) = delete;

    Type type() const { return m_type; }
    double height() const { return m_height; }
    void setHeight(double height) { m_height = std::max(0.0, height); }

    // The font of the band's text elements that have none of their own; unset, the layout's.
    std::optional<QFont> font() const { return m_font; }
    void setFont(const QFont &font) { m_font = font; }

    // Rules along the band's edges (e.g. a line under the page header).
    const ReportFrame &frame() const { return m_frame; }
    void setFrame(const ReportFrame &frame) { m_frame = frame; }

    // The band starts a fresh page unless it would be the first thing on the current page's body.
    bool startsNewPage() const { return m_startsNewPage; }
    void setStartsNewPage(bool start) { m_startsNewPage = start; }

    void setBeforePrint(BeforePrintHook hook) { m_beforePrint = std::move(hook); }
    // Runs the before-print hook; true when the band is to print.
    bool beforePrint(const ReportContext &context);

    // Adds element to the band, which owns it from now on.
    template <class T> T &add(std::unique_ptr<T> element)
    {
        T &ref = *element;
        m_elements.push_back(std::move(element));
        return ref;
    }
    ReportLabel &addLabel(const QRectF &box, const QString &text);
    ReportField &addField(const QRectF &box, const QString &fieldName);
    ReportField &addField(const QRectF &box, ValueFunction function);
    ReportSystemField &addSystemField(
        const QRectF &box, ReportSystemField::Kind kind, const QString &prefix = QString());
    ReportSumField &addSum(const QRectF &box,
        const QString &fieldName,
        ReportSumField::Aggregate aggregate = ReportSumField::Sum);
    ReportSumField &addSum(const QRectF &box,
        ValueFunction function,
        ReportSumField::Aggregate aggregate = ReportSumField::Sum);
    ReportMemo &addMemo(const QRectF &box, const QString &fieldName);
    ReportMemo &addMemo(const QRectF &box, ValueFunction function);
    ReportImage &addImage(const QRectF &box);
    ReportLine &addLine(const QPointF &from, const QPointF &to, double width = 0);
    ReportRectangle &addRectangle(const QRectF &box, double penWidth = 0);

    const std::vector<std::unique_ptr<ReportElement>> &elements() const { return m_elements; }
    // The element of that name, or nullptr.
    ReportElement *element(const QString &name) const;
    template <class T> T *find(const QString &name) const
    {
        return dynamic_cast<T *>(element(name));
    }

    // The band's printout for the current row, width millimetres wide. A memo that grew makes the
    // band taller by as much and moves the elements that start below the memo's box down.
    PreparedBand prepare(
        const ReportContext &context, const QFont &inheritedFont, double width) const;

private:
    Type m_type;
    double m_height;
    std::optional<QFont> m_font;
    ReportFrame m_frame;
    bool m_startsNewPage = false;
    BeforePrintHook m_beforePrint;
    std::vector<std::unique_ptr<ReportElement>> m_elements;
};

#pragma once

#include "report/ReportGroup.h"

#include <QMarginsF>
#include <QPageSize>

// A report's design: the paper, the title, the default font and the bands in the order they print
// (page header, column header, the groups' headers from outer to inner, detail, the groups'
// footers from inner to outer, summary, page footer), with the hook that runs before each run.
//
// Minimal use:
//     ReportLayout layout;
//     layout.setTitle(u"Quote"_s);
//     layout.addBand(ReportBand::PageHeader, 20).addSystemField({0, 0, 60, 8},
//     ReportSystemField::Title); layout.addBand(ReportBand::Detail, 5).addField({0, 0, 80, 5},
//     u"Description"_s); RenderedReport pages = ReportRunner(layout).run(rows);
class ReportLayout
{
public:
    // Called at the start of every run, before any row is read. Return false to cancel the run:
    // it then renders no pages.
    using BeforeRunHook = std::function<bool(ReportLayout &layout)>;

    ReportLayout();
    ReportLayout(const ReportLayout &) = delete;
    ReportLayout &operator=(const ReportLayout &) = delete;
    ~ReportLayout();

    QString title() const { return m_title; }
    void setTitle(const QString &title) { m_title = title; }

    // The paper; A4 portrait with 10 mm margins unless set.
    QPageSize pageSize() const { return m_pageSize; }
    void setPageSize(const QPageSize &size) { m_pageSize = size; }
    QPageLayout::Orientation orientation() const { return m_orientation; }
    void setOrientation(QPageLayout::Orientation orientation) { m_orientation = orientation; }
    QMarginsF margins() const { return m_margins; } // millimetres
    void setMargins(const QMarginsF &margins) { m_margins = margins; }
    // The paper as seen, in millimetres (landscape is wide).
    QSizeF paperSize() const;
    // The width of the bands: the paper's width between the margins, in millimetres.
    double bandWidth() const;

    // The font of every text element whose band and element set none; Arial 10 pt unless set.
    QFont font() const { return m_font; }
    void setFont(const QFont &font) { m_font = font; }

    // Whether a run over no rows still prints one page (page header, summary, page footer).
    bool printIfEmpty() const { return m_printIfEmpty; }
    void setPrintIfEmpty(bool print) { m_printIfEmpty = print; }

    // The band of type (page header, column header, detail, summary or page footer), created with
    // height on first call; later calls return the same band with height set. Group headers and
    // footers belong to groups: see addGroup.
    ReportBand &addBand(ReportBand::Type type, double height);
    // The band of type, or nullptr when the layout has none.
    ReportBand *band(ReportBand::Type type) const;

    // A new innermost group keyed by key, or by the value of the field fieldName.
    ReportGroup &addGroup(ReportGroup::KeyFunction key);
    ReportGroup &addGroupOnField(const QString &fieldName);
    const std::vector<std::unique_ptr<ReportGroup>> &groups() const { return m_groups; }

    // Every band of the layout, in no particular order.
    QList<ReportBand *> allBands() const;

    void setBeforeRun(BeforeRunHook hook) { m_beforeRun = std::move(hook); }
    bool beforeRun() { return !m_beforeRun || m_beforeRun(*this); }

private:
    QString m_title;
    QPageSize m_pageSize;
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    QMarginsF m_margins;
    QFont m_font;
    bool m_printIfEmpty = false;
    std::unique_ptr<ReportBand> m_bands[ReportBand::PageFooter + 1];
    std::vector<std::unique_ptr<ReportGroup>> m_groups;
    BeforeRunHook m_beforeRun;
};

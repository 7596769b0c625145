#pragma once

#include "report/PreparedBand.h"
#include "report/ReportContext.h"
#include "report/ReportPage.h"

#include <QHash>

#include <functional>

class ReportBand;
class ReportDataSource;
class ReportLayout;
class ReportSumField;

// Runs a layout over a data source and renders its pages.
//
// Bands print top to bottom; a band that does not fit above the page footer moves to a new page,
// which first gets the page header and column header again. A band taller than a whole page is
// split, rich text between its lines. A group header that would end a page moves to the next one
// with its first row. The page footer sits at the bottom of every page, the last included; its
// space is reserved at its set height, so a footer hook should not make it taller. A run over no
// rows renders no pages (see ReportLayout::printIfEmpty).
class ReportRunner
{
public:
    enum class State
    {
        Ready = 0,
        Busy = 1,
        Finished = 2
    };

    // Called each time a page is complete, with the pages so far; return false to cancel the run.
    using PageHook = std::function<bool(const QList<ReportPage> &pages)>;

    explicit ReportRunner(ReportLayout &layout);

    // The date and time the system fields print; unset, the clock's time when the run starts.
    void setPrintDateTime(const QDateTime &when) { m_fixedPrintTime = when; }
    void setPageHook(PageHook hook) { m_pageHook = std::move(hook); }

    // Runs the layout's before-run hook, reads data from its first row to the end and returns the
    // pages (none when the hook refuses the run or the run is cancelled before the first page).
    RenderedReport run(ReportDataSource &data);

    State state() const { return m_state; }
    bool wasCancelled() const { return m_cancelled; }
    // The pages completed so far.
    const QList<ReportPage> &pages() const { return m_pages; }

private:
    struct Prepared
    {
        PreparedBand band;
        bool startsNewPage = false;
    };

    void printRows(ReportDataSource &data);
    void printBand(ReportBand *band);
    // Runs band's hook and appends its printout to out unless the hook suppresses it.
    void prepareBand(ReportBand *band, QList<Prepared> *out);
    // Places bands one after the other, moving to a new page first when they would fit together
    // on an empty page but not in what is left of this one.
    void placeTogether(const QList<Prepared> &bands);
    void printFixed(ReportBand *band);
    void place(PreparedBand prepared, bool startsNewPage);
    void ensurePage();
    void startPage();
    void finishPage();
    void newPage();
    void resetSums(const ReportBand *band);
    void fillPageCounts();

    ReportLayout &m_layout;
    ReportContext m_context;
    PageHook m_pageHook;
    QDateTime m_fixedPrintTime;
    State m_state = State::Ready;
    bool m_cancelled = false;

    QList<ReportPage> m_pages;
    bool m_pageOpen = false;
    bool m_bodyUsed = false; // something other than headers is on the current page
    double m_y = 0; // where the next band starts, millimetres from the paper's top
    double m_footerTop = 0; // where the page footer's space starts
    double m_freshBody = 0; // the body height of a page with nothing on it yet
    QList<ReportSumField *> m_sums;
    QHash<const ReportBand *, QList<ReportSumField *>> m_sumsByBand;
};

#include "JobQuoteLists.h"

#include "app/DesignScale.h"
#include "app/HelpWindow.h"
#include "controls/dataaware/DisplayFormat.h"
#include "controls/dataaware/IncrementalSearchBox.h"
#include "controls/dataaware/TQVDBGridSrc.h"
#include "controls/window/TQVPageControl.h"
#include "data/DataModuleMain.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

JobQuoteLists::JobQuoteLists(TDM *dm, TQVDataSource *quotes, TQVDataSource *jobs, QWidget *parent)
    : QWidget(parent)
    , m_searchPanel(new QFrame(this))
    , m_quoteSearch(new IncrementalSearchBox(m_searchPanel))
    , m_jobSearch(new IncrementalSearchBox(m_searchPanel))
    , m_pages(new TQVPageControl(this))
{
    m_searchPanel->setObjectName(u"panSearch"_s);
    m_searchPanel->setFrameShape(QFrame::NoFrame);
    m_quoteSearch->setObjectName(u"cboQuoteSearch"_s);
    m_quoteSearch->setSearch(dm->tblQuotes, u"Quote_No; QuoteDescription"_s);
    m_jobSearch->setObjectName(u"cboJobSearch"_s);
    m_jobSearch->setSearch(dm->tblJobs, u"Job_No; JobDescription"_s);
    m_jobSearch->setShowColumnLines(true);
    for (IncrementalSearchBox *box : { m_quoteSearch, m_jobSearch }) {
        box->setDropDownWidth(SearchDropDownWidth);
        box->setDropDownRows(SearchDropDownRows);
    }
    HelpWindow::setContext(m_jobSearch, JobSearchHelpContext);
    auto *search = new QHBoxLayout(m_searchPanel);
    search->setContentsMargins(4, 4, 4, 4);
    search->addWidget(new QLabel(u"Search"_s, m_searchPanel));
    search->addWidget(m_quoteSearch, 1);
    search->addWidget(m_jobSearch, 1);

    m_pages->setObjectName(u"TBJobsQuotes"_s);
    m_pages->tabBar()->setStyleSheet(u"QTabBar::tab { height: 15px; }"_s);
    auto *quotesPage = new QWidget(m_pages);
    quotesPage->setObjectName(u"tsQuotes"_s);
    HelpWindow::setContext(quotesPage, QuotesHelpContext);
    m_quotesGrid = makeGrid(quotesPage, u"grdQuotes"_s, quotes);
    m_quotesGrid->setColumns(wholeDatesAndTotals(m_quotesGrid,
        DesignScale::columns(m_quotesGrid,
            { { u"Quote_No"_s, u"Quote No"_s, 96 }, { u"Date"_s, {}, 45 },
                { u"VClientDesc"_s, u"Client "_s, -20 },
                { u"VQuoteTotal"_s, u"Total"_s, -11 } })));
    m_quotesGrid->OnDrawFieldCellEvent = &JobQuoteLists::grdQuotesDrawFieldCellEvent;
    m_quotesGrid->setRegistryKeyName(u"Tessorin\\grdQuotes"_s);
    m_quotesGrid->setHelpContext(QuotesHelpContext);
    m_pages->addTab(quotesPage, u"Quotes"_s);

    auto *jobsPage = new QWidget(m_pages);
    jobsPage->setObjectName(u"tsJobs"_s);
    HelpWindow::setContext(jobsPage, JobsHelpContext);
    m_jobsGrid = makeGrid(jobsPage, u"grdJobs"_s, jobs);
    m_jobsGrid->setColumns(wholeDatesAndTotals(m_jobsGrid,
        DesignScale::columns(m_jobsGrid,
            { { u"Job_No"_s, u"Job No"_s, 82 }, { u"Date"_s, {}, 55 }, { u"Priority"_s, {}, 37 },
                { u"VClientDesc"_s, u"Client"_s, 52 }, { u"VTotalJob"_s, u"Total"_s, -11 } })));
    m_jobsGrid->OnDrawFieldCellEvent = &JobQuoteLists::grdJobsDrawFieldCellEvent;
    m_jobsGrid->setRegistryKeyName(u"Tessorin\\grdJobs"_s);
    m_jobsGrid->setHelpContext(JobsHelpContext);
    m_pages->addTab(jobsPage, u"Jobs"_s);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_searchPanel);
    layout->addWidget(m_pages, 1);
}

QList<GridColumn> JobQuoteLists::wholeDatesAndTotals(const QWidget *grid, QList<GridColumn> columns)
{
    // The widest date of the short form and a total in the hundreds of thousands.
    const QString date = DisplayFormat::shortDate(QDate(2000, 12, 28));
    const QString total = DisplayFormat::money(-999999.99);
    for (GridColumn &column : columns) {
        if (column.fieldName == u"Date"_s)
            column = DesignScale::fitting(grid, column, date);
        else if (column.fieldName == u"VQuoteTotal"_s || column.fieldName == u"VTotalJob"_s)
            column = DesignScale::fitting(grid, column, total);
    }
    return columns;
}

TQVDBGrid *JobQuoteLists::makeGrid(QWidget *page, const QString &name, TQVDataSource *source)
{
    auto *grid = new TQVDBGrid(page);
    grid->setObjectName(name);
    grid->setRowSelect(true);
    grid->setReadOnly(true);
    grid->setDataSource(source);
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid);
    return grid;
}

void JobQuoteLists::showSearchFor(Page page)
{
    m_quoteSearch->setVisible(page == QuotesPage);
    m_jobSearch->setVisible(page == JobsPage);
}

QColor JobQuoteLists::statusColour(const QString &status)
{
    if (status == u"I"_s)
        return QColor(0, 0, 255);
    if (status == u"H"_s)
        return QColor(128, 0, 128);
    if (status == u"C"_s)
        return QColor(0, 0, 0);
    if (status == u"P"_s)
        return QColor(255, 0, 0);
    return {};
}

void JobQuoteLists::grdQuotesDrawFieldCellEvent(TQVDBGrid &grid, FieldCell &cell)
{
    grdJobsDrawFieldCellEvent(grid, cell);
}

void JobQuoteLists::grdJobsDrawFieldCellEvent(TQVDBGrid &grid, FieldCell &cell)
{
    const QColor colour = statusColour(grid.rowValue(cell.row, u"Status"_s).toString());
    if (colour.isValid())
        cell.textColor = colour;
}

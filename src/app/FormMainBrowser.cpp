// The main window's quote and job browser: the page switch, the lines following the current
// header, moving, ordering, the sliding panels and the commands on quotes, jobs and lines.
#include "FormMain.h"
#include "app/DetailPane.h"
#include "app/FormNewQuoteWiz.h"
#include "app/FormNewWiz.h"
#include "app/JobQuoteLists.h"
#include "app/SummaryPage.h"
#include "controls/dataaware/TQVDBGridSrc.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "controls/window/CommandGuard.h"
#include "controls/window/Messages.h"
#include "controls/window/TQVPageControl.h"
#include "data/DataModuleMain.h"
#include "documents/PrintCommand.h"
#include "engine/Field.h"
#include "engine/TableView.h"
#include "reference/FormClientMoreInfo.h"
#include "reference/FormFinder.h"
#include "reference/SetupWidgets.h"

#include <QAction>
#include <QFrame>
#include <QToolButton>

using namespace Qt::StringLiterals;

bool TfrmMain::jobsPageActive() const
{
    return m_lists->pages()->currentIndex() == JobQuoteLists::JobsPage;
}

TQVTable *TfrmMain::activeHeader() const
{
    return jobsPageActive() ? m_dm->tblJobs : m_dm->tblQuotes;
}

TQVDataSource *TfrmMain::headerSource() const
{
    return jobsPageActive() ? m_jobSource : m_quoteSource;
}

TQVDBGrid *TfrmMain::activeGrid() const
{
    return jobsPageActive() ? m_lists->jobsGrid() : m_lists->quotesGrid();
}

void TfrmMain::showListPage(bool jobs)
{
    const int page = jobs ? JobQuoteLists::JobsPage : JobQuoteLists::QuotesPage;
    if (m_lists->pages()->currentIndex() == page)
        TBJobsQuotesChange();
    else
        m_lists->pages()->setCurrentIndex(page); // the page switch follows the change
}

void TfrmMain::TBJobsQuotesChange()
{
    runGuarded(this, [this] {
        const bool jobs = jobsPageActive();
        activeGrid()->setFocus();
        showQuoteOrJobControls(jobs);
        RefilterLines();
        m_dm->dsClients->setDataSet(jobs ? m_dm->tblJobs : m_dm->tblQuotes);
        ApplySortOrder();
    });
}

void TfrmMain::showQuoteOrJobControls(bool jobs)
{
    m_lists->showSearchFor(jobs ? JobQuoteLists::JobsPage : JobQuoteLists::QuotesPage);
    BindHeaderControls(jobs);
    m_materials->setDataSet(jobs ? m_dm->tblJobMaterials : m_dm->tblQuotesMaterial);
    m_labour->setDataSet(jobs ? m_dm->tblJobLabour : m_dm->tblQuoteLabour);
}

void TfrmMain::BindHeaderControls(bool jobs)
{
    m_details->bindHeader(jobs ? m_jobSource : m_quoteSource, jobs);
}

void TfrmMain::RefilterLines()
{
    filterLines(jobsPageActive(), false);
}

void TfrmMain::filterLines(bool jobs, bool browsingOnly)
{
    TQVTable *header = jobs ? m_dm->tblJobs : m_dm->tblQuotes;
    if (!header->active())
        return;
    const QString numberField = jobs ? u"Job_No"_s : u"Quote_No"_s;
    const QString filter =
        TDM::documentNumberFilter(numberField, header->fieldByName(numberField)->asString());
    for (TQVDataSource *lines : { m_materials, m_labour }) {
        TableView *view = lines->dataSet();
        if (!view || !view->active() || (browsingOnly && lines->state() != DataSetState::Browse))
            continue;
        // Every save of any header, here or in another copy, reports a change of the header link;
        // setting the same filter again would throw the user back to the first line.
        if (browsingOnly && view->filtered() && view->filter() == filter)
            continue;
        // The grids hear of the new lines once, not of the whole unfiltered table in between.
        const ControlsDisabled quiet(view);
        view->setFiltered(false);
        view->setFilter(filter);
        view->setFiltered(true);
    }
}

void TfrmMain::followHeader(bool jobs)
{
    // While a header or a line is being edited the lines stay as they are, so an open line dialog
    // keeps its line and a new header shows the lines it was started from.
    if (jobsPageActive() != jobs || (jobs ? m_jobSource : m_quoteSource)->isEditing())
        return;
    runGuarded(this, [&] { filterLines(jobs, true); });
}

void TfrmMain::QuoteDataSourceDataChange()
{
    followHeader(false);
}

void TfrmMain::JobDataSourceDataChange()
{
    followHeader(true);
}

void TfrmMain::btnNextClick()
{
    runGuarded(this, [this] {
        activeGrid()->setFocus();
        activeHeader()->next();
    });
}

void TfrmMain::btnPrevClick()
{
    runGuarded(this, [this] {
        activeGrid()->setFocus();
        activeHeader()->prior();
    });
}

void TfrmMain::btnSortPriorClick()
{
    runGuarded(this, [this] { ApplySortOrder(); });
}

void TfrmMain::mniSortPriorityClick()
{
    // The menu's check mark flipped itself; the toggle takes its state. The toggle alone never
    // touches the menu.
    m_btnSortPrior->setChecked(m_mniSortPriority->isChecked());
    runGuarded(this, [this] { ApplySortOrder(); });
}

void TfrmMain::ApplySortOrder()
{
    TQVTable *header = activeHeader();
    if (!header->active())
        return;
    const QString priorityIndex = jobsPageActive() ? u"PriorJobNo"_s : u"PriorQuoteNo"_s;
    header->setIndexName(m_btnSortPrior->isChecked() ? priorityIndex : QString());
}

void TfrmMain::slidePanel(QWidget *panel, bool open, int openHeight)
{
    // Opened and closed in steps of five pixels, one after the other.
    if (open) {
        for (int height = 0; height <= openHeight; height += 5)
            panel->setFixedHeight(height);
    } else {
        for (int height = openHeight + 5; panel->height() > 1 && height >= 0; height -= 5)
            panel->setFixedHeight(height);
    }
}

void TfrmMain::btnSearchClick()
{
    slidePanel(m_lists->searchPanel(), m_btnSearch->isChecked(), JobQuoteLists::SearchPanelHeight);
}

void TfrmMain::mniQuickSearchClick()
{
    m_btnSearch->setChecked(m_mniQuickSearch->isChecked());
    btnSearchClick();
}

void TfrmMain::btnSummaryClick()
{
    slidePanel(
        m_details->summaryStrip(), m_details->summaryToggle()->isChecked(), SummaryStripHeight);
}

void TfrmMain::btnFindClick()
{
    QString kind;
    double key = 0;
    const bool shown = runGuarded(this, [&] {
        TfrmFinder finder(m_dm, this);
        finder.helpKey()->handler = [this] { showHelp(); };
        finder.editClient = [this](QWidget *opener) {
            TfrmClient client(m_dm, TfrmClient::Mode::Edit, opener);
            client.exec();
        };
        finder.exec();
        kind = finder.kind();
        key = finder.id();
    });
    if (shown)
        FinderChoice(kind, key);
}

void TfrmMain::FinderChoice(const QString &kind, double key)
{
    runGuarded(this, [&] {
        const bool jobs = kind != u"Quotes"_s;
        showListPage(jobs);
        TQVTable *header = jobs ? m_dm->tblJobs : m_dm->tblQuotes;
        header->setIndexName(QString());
        header->findKey({ key }); // a key that is not there leaves the current record
        if (m_btnSortPrior->isChecked())
            header->setIndexName(jobs ? u"PriorJobNo"_s : u"PriorQuoteNo"_s);
    });
}

void TfrmMain::saveCurrent()
{
    // Taking the focus makes an edit field that had it store its text first.
    activeGrid()->setFocus();
    for (TQVDataSource *source : { headerSource(), m_clients, m_labour, m_materials }) {
        if (source->isEditing())
            source->dataSet()->post();
    }
}

void TfrmMain::btnSaveJobQuoteClick()
{
    runGuarded(this, [this] { saveCurrent(); });
}

void TfrmMain::SpeedButton3Click()
{
    newHeader(jobsPageActive());
}

void TfrmMain::btnNewQuoteClick()
{
    showListPage(false);
    newHeader(false);
}

void TfrmMain::btnNewJobClick()
{
    showListPage(true);
    newHeader(true);
}

void TfrmMain::newHeader(bool jobs)
{
    // The header's insert hook gives the record its number and dates; the wizard stores the
    // record at Finish or discards it at Cancel.
    TQVTable *header = jobs ? m_dm->tblJobs : m_dm->tblQuotes;
    if (!runGuarded(this, [header] { header->insert(); }))
        return;
    runGuarded(this, [&] {
        if (jobs) {
            TfrmNewJobWiz wizard(m_dm, this);
            wizard.exec();
        } else {
            TfrmNewQuoteWiz wizard(m_dm, this);
            wizard.exec();
        }
    });
}

void TfrmMain::btnPrintClick()
{
    // The print command saves the quote or job itself; an edit field stores its text on losing
    // focus.
    activeGrid()->setFocus();
    printJobQuote(m_dm, this, jobsPageActive());
}

void TfrmMain::btnDeleteClick()
{
    runGuarded(this, [this] {
        activeGrid()->setFocus();
        const bool jobs = jobsPageActive();
        if (!ConfirmYesNo(jobs ? u"Delete this Job?"_s : u"Delete this Quote?"_s, this))
            return;
        // The lines and their header go together or not at all.
        OperationScope operation(m_dm->DB, activeHeader()->fileIndex());
        if (jobs)
            m_dm->DeleteJobLines();
        else
            m_dm->DeleteQuoteLines();
        activeHeader()->deleteRecord();
        operation.commit();
    });
}

void TfrmMain::deleteLine(TQVTable *line, const QString &failure)
{
    runGuarded(this, [&] {
        TQVTable *header = activeHeader();
        if (!header->isEditing())
            header->edit();
        try {
            line->deleteRecord();
        } catch (const std::exception &) {
            // The usual cause is a header without lines; the header stays in edit.
            ShowWarningMessage(failure, this);
        }
    });
}

void TfrmMain::btnDeleteMaterialsClick()
{
    if (!ConfirmYesNo(u"Delete this Material Item?"_s, this))
        return;
    if (jobsPageActive())
        deleteLine(m_dm->tblJobMaterials, u"There are no materials in this Job To Delete"_s);
    else
        deleteLine(m_dm->tblQuotesMaterial, u"There are no materials in this Quote to delete"_s);
}

void TfrmMain::btnLabourDeleteClick()
{
    if (!ConfirmYesNo(u"Delete this Labour Item?"_s, this))
        return;
    if (jobsPageActive())
        deleteLine(m_dm->tblJobLabour, u"There are no Labour Items in this Job To Delete"_s);
    else
        deleteLine(m_dm->tblQuoteLabour, u"There are no Labour Items in this Quote to delete"_s);
}

// The main window's quote and job browser: the page switch, the lines following the current
// header, moving, ordering, the sliding panels and the commands on quotes, jobs and lines.
#include "FormMain.h"
#include "app/DetailPane.h"
#include "app/FormNewQuoteWiz.h"
#include "app/FormNewWiz.h"
#include "app/JobQuoteLists.h"
#include "app/SummaryPage.h"
#include "controls/dataaware/IncrementalSearchBox.h"
#include "controls/dataaware/TQVDBGridSrc.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "controls/window/CommandGuard.h"
#include "controls/window/Messages.h"
#include "controls/window/TQVPageControl.h"
#include "data/DataModuleMain.h"
#include "data/Document.h"
#include "documents/PrintCommand.h"
#include "engine/Field.h"
#include "engine/TableView.h"
#include "reference/FormClientMoreInfo.h"
#include "reference/FormFinder.h"
#include "reference/SetupWidgets.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QToolButton>

using namespace Qt::StringLiterals;

const TfrmMain::DocumentPage &TfrmMain::activeDocument() const
{
    return jobsPageActive() ? m_jobs : m_quotes;
}

bool TfrmMain::jobsPageActive() const
{
    return m_lists->pages()->currentIndex() == JobQuoteLists::JobsPage;
}

TQVTable *TfrmMain::activeHeader() const
{
    return activeDocument().document->header;
}

TQVDataSource *TfrmMain::headerSource() const
{
    return activeDocument().header;
}

TQVDBGrid *TfrmMain::activeGrid() const
{
    return activeDocument().grid;
}

void TfrmMain::showListPage(const DocumentPage &document)
{
    if (m_lists->pages()->currentIndex() == document.page)
        TBJobsQuotesChange();
    else
        m_lists->pages()->setCurrentIndex(document.page); // the page switch follows the change
}

void TfrmMain::TBJobsQuotesChange()
{
    runGuarded(this, [this] {
        const DocumentPage &document = activeDocument();
        document.grid->setFocus();
        showQuoteOrJobControls(document);
        RefilterLines();
        m_dm->dsClients->setDataSet(document.document->header);
        ApplySortOrder();
    });
}

void TfrmMain::showQuoteOrJobControls(const DocumentPage &document)
{
    m_lists->showSearchFor(JobQuoteLists::Page(document.page));
    BindHeaderControls(document);
    m_materials->setDataSet(document.document->materials);
    m_labour->setDataSet(document.document->labour);
}

void TfrmMain::BindHeaderControls(const DocumentPage &document)
{
    m_details->bindHeader(document.header, document.document->isJob);
}

void TfrmMain::RefilterLines()
{
    filterLines(activeDocument(), false);
}

void TfrmMain::filterLines(const DocumentPage &document, bool browsingOnly)
{
    TQVTable *header = document.document->header;
    if (!header->active())
        return;
    const QString &numberField = document.document->number;
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

void TfrmMain::followHeader(const DocumentPage &document)
{
    // While a header or a line is being edited the lines stay as they are, so an open line dialog
    // keeps its line and a new header shows the lines it was started from.
    if (&activeDocument() != &document || document.header->isEditing())
        return;
    runGuarded(this, [&] { filterLines(document, true); });
}

void TfrmMain::QuoteDataSourceDataChange()
{
    followHeader(m_quotes);
}

void TfrmMain::JobDataSourceDataChange()
{
    followHeader(m_jobs);
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
    applySortOrder(activeDocument());
}

void TfrmMain::applySortOrder(const DocumentPage &document)
{
    TQVTable *header = document.document->header;
    if (!header->active())
        return;
    header->setIndexName(
        m_btnSortPrior->isChecked() ? document.document->priorityIndex : QString());
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
    const bool open = m_btnSearch->isChecked();
    slidePanel(m_lists->searchPanel(), open, JobQuoteLists::SearchPanelHeight);
    // The focus goes into the box shown, and back to the list when the panel closes over it.
    QWidget *box = activeDocument().document->isJob ? static_cast<QWidget *>(m_lists->jobSearch())
                                                   : m_lists->quoteSearch();
    if (open)
        box->setFocus();
    else if (m_lists->searchPanel()->isAncestorOf(QApplication::focusWidget()))
        activeGrid()->setFocus();
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
        const DocumentPage &document = kind == u"Quotes"_s ? m_quotes : m_jobs;
        showListPage(document);
        TQVTable *header = document.document->header;
        header->setIndexName(QString());
        header->findKey({ key }); // a key that is not there leaves the current record
        if (m_btnSortPrior->isChecked())
            header->setIndexName(document.document->priorityIndex);
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
    newHeader(activeDocument());
}

void TfrmMain::btnNewQuoteClick()
{
    showListPage(m_quotes);
    newHeader(m_quotes);
}

void TfrmMain::btnNewJobClick()
{
    showListPage(m_jobs);
    newHeader(m_jobs);
}

void TfrmMain::newHeader(const DocumentPage &document)
{
    // The header's insert hook gives the record its number and dates; the wizard stores the
    // record at Finish or discards it at Cancel.
    TQVTable *header = document.document->header;
    if (!runGuarded(this, [header] { header->insert(); }))
        return;
    runGuarded(this, [&] {
        if (document.document->isJob) {
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
    printJobQuote(m_dm, this, activeDocument().document->isJob);
}

void TfrmMain::btnDeleteClick()
{
    runGuarded(this, [this] {
        const DocumentPage &document = activeDocument();
        document.grid->setFocus();
        if (ConfirmYesNo(document.deletePrompt, this))
            m_dm->deleteDocument(*document.document);
    });
}

void TfrmMain::deleteLine(TQVTable *line, const QString &failure)
{
    runGuarded(this, [&] {
        TQVTable *header = activeHeader();
        const bool headerWasEditing = header->isEditing();
        if (!headerWasEditing)
            header->edit();
        // A header without lines is told so, and stays in edit.
        if (line->isEmpty()) {
            ShowWarningMessage(failure, this);
            return;
        }
        try {
            line->deleteRecord();
        } catch (...) {
            // Any other failure (another copy holds the line) is shown as it is, and a header
            // edit this command started is given up, so that the header is not held for nothing.
            if (!headerWasEditing && !header->modified())
                header->cancel();
            throw;
        }
    });
}

void TfrmMain::btnDeleteMaterialsClick()
{
    if (!ConfirmYesNo(u"Delete this Material Item?"_s, this))
        return;
    const DocumentPage &document = activeDocument();
    deleteLine(document.document->materials, document.noMaterials);
}

void TfrmMain::btnLabourDeleteClick()
{
    if (!ConfirmYesNo(u"Delete this Labour Item?"_s, this))
        return;
    const DocumentPage &document = activeDocument();
    deleteLine(document.document->labour, document.noLabour);
}

#include "FormNewWiz.h"

#include "app/DesignScale.h"
#include "app/HelpWindow.h"
#include "controls/dataaware/FieldLineEdit.h"
#include "controls/dataaware/TQVDBGridSrc.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "data/DataModuleMain.h"
#include "engine/Field.h"
#include "reference/ReferenceWidgets.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using ReferenceWidgets::link;

TfrmNewJobWiz::TfrmNewJobWiz(TDM *dm, QWidget *parent)
    : TfrmWiz(parent)
    , m_dm(dm)
    , m_jobs(link(this, u"dsJobs"_s, dm->tblJobs))
    , m_clients(link(this, u"dsClients"_s, dm->tblClients))
    , m_quotes(link(this, u"dsQuotes"_s, dm->tblQuotes))
{
    setObjectName(u"frmNewJobWiz"_s);
    setWindowTitle(u"New Job Wizard"_s);
    HelpWindow::setContext(this, HelpContext);

    addIntroPage(u"Create New Job Wizard"_s,
        u"This wizard will step through the following steps necessary to create a new Job:"_s,
        { u"1. Create a completely new Job or base a new Job on a current Quote."_s,
            u"2. Enter details about current Job."_s, u"3. Select or Modify client Details."_s },
        u"tsIntro"_s);
    addQuotePage();
    addDetailsPage(m_jobs, u"Job Number:"_s, u"Job_No"_s, u"JobDescription"_s, u"tsNewDetails"_s);
    addClientPage(dm, m_jobs, m_clients, u"Add New Clients"_s, u"tsNewClient"_s);
    addFinishPage(
        { u"Your Job is now ready to add Materials and Labour."_s,
            u"Click on Finish to Close this wizard or Previous and Next to browse and "
            "finalise your Jobs settings."_s,
            u"Go to the Materials and Labour Tabs to Add new cost options to this Job."_s },
        u"tsFinish"_s);
    openWizard(dm->tblJobs);
    chkQuoteClick();
}

QWidget *TfrmNewJobWiz::addQuotePage()
{
    QWidget *page = newPage(u"tsQuote"_s);
    auto *number = new FieldLineEdit(page);
    number->setObjectName(u"edtJobNo"_s);
    number->setDataSource(m_jobs);
    number->setDataField(u"Job_No"_s);
    auto *form = new QFormLayout;
    form->addRow(u"Job Number:"_s, number);

    m_basedOnQuote = new QCheckBox(u"Job is based on a Quote"_s, page);
    m_basedOnQuote->setObjectName(u"chkQuote"_s);
    connect(m_basedOnQuote, &QCheckBox::toggled, this, &TfrmNewJobWiz::chkQuoteClick);

    // The quote list itself, with the main window's filter and order: a quote chosen here is the
    // main window's current quote too.
    m_quoteGrid = new TQVDBGrid(page);
    m_quoteGrid->setObjectName(u"grdBasedQuote"_s);
    m_quoteGrid->setRowSelect(true);
    m_quoteGrid->setReadOnly(true);
    m_quoteGrid->setDataSource(m_quotes);
    m_quoteGrid->setColumns(DesignScale::columns(m_quoteGrid,
        { { u"Quote_No"_s, u"Quote No"_s, 67 }, { u"VClientDesc"_s, u"Client"_s, 98 },
            { u"Date"_s, {}, -10 }, { u"DueDate"_s, u"Due Date"_s, 57 },
            { u"QuoteDescription"_s, u"Description"_s, -20 }, { u"Priority"_s, {}, -6 },
            { u"Status"_s, {}, -6 }, { u"VQuoteTotal"_s, {}, -11 } }));
    m_quoteGrid->setRegistryKeyName(u"Tessorin\\grdBasedQuote"_s);

    auto *layout = new QVBoxLayout(page);
    layout->addLayout(form);
    layout->addWidget(m_basedOnQuote);
    layout->addWidget(m_quoteGrid, 1);
    return page;
}

void TfrmNewJobWiz::chkQuoteClick()
{
    const bool based = m_basedOnQuote->isChecked();
    m_quoteGrid->setVisible(based);
    m_quoteGrid->setEnabled(based);
}

void TfrmNewJobWiz::afterNext()
{
    if (!m_basedOnQuote->isChecked())
        return;
    // Taken again at every Next, so the job always follows the quote chosen last.
    takeQuoteDetails();
}

void TfrmNewJobWiz::takeQuoteDetails()
{
    m_dm->CopyQuoteDetailsToJob();
    m_takenQuote = chosenQuote();
}

std::optional<double> TfrmNewJobWiz::chosenQuote() const
{
    TableView *quotes = m_dm->tblQuotes;
    if (quotes->isEmpty())
        return std::nullopt;
    return quotes->fieldByName(u"Quote_ID"_s)->asFloat();
}

void TfrmNewJobWiz::finishRecord()
{
    if (m_basedOnQuote->isChecked() && !m_dm->tblQuotes->isEmpty()) {
        // A quote chosen after the last Next (back on the quote page, then Finish) gives the
        // job its details as well as its lines: all from the same quote.
        if (!m_takenQuote || *m_takenQuote != *chosenQuote())
            takeQuoteDetails();
        m_dm->CopyQuoteLinesToJob();
    }
    if (m_dm->tblJobs->isEditing())
        m_dm->tblJobs->post();
}

void TfrmNewJobWiz::cancelRecord()
{
    m_dm->tblJobs->cancel();
}

#include "documents/FormCJobQuote.h"

#include "controls/dataaware/IncrementalSearchBox.h"
#include "controls/dataaware/TQVDBGridSrc.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "controls/window/CommandGuard.h"
#include "controls/window/HelpRequest.h"
#include "controls/window/TQVPageControl.h"
#include "data/DataModuleMain.h"
#include "documents/FormPrintPreview.h"
#include "documents/PrintButtons.h"
#include "documents/QRJobQuote.h"
#include "documents/QRQuote.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QCheckBox *option(
    QWidget *parent, const QString &name, const QString &caption, const QString &hint, bool checked)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setToolTip(hint);
    box->setChecked(checked);
    return box;
}

TQVDBGrid *criteriaGrid(QWidget *parent,
    const QString &name,
    TQVDataSource *source,
    const QList<GridColumn> &columns)
{
    auto *grid = new TQVDBGrid(parent);
    grid->setObjectName(name);
    grid->setColumns(columns);
    grid->setDataSource(source);
    grid->setReadOnly(true);
    grid->setRowSelect(true);
    return grid;
}

} // namespace

TfrmCJobQuotes::TfrmCJobQuotes(TDM *dm, QWidget *parent)
    : QDialog(parent)
    , TQVForm(this)
    , m_dm(dm)
    , m_quote(std::make_unique<TqrepQuote>(dm))
    , m_job(std::make_unique<TqrepJobQuote>(dm))
    , m_quotesSource(new TQVDataSource(this))
    , m_jobsSource(new TQVDataSource(this))
{
    setObjectName(u"frmCJobQuotes"_s);
    setWindowTitle(u"Print Job or Quote"_s);
    m_quotesSource->setDataSet(dm->tblCriteriaQuotes);
    m_jobsSource->setDataSet(dm->tblCriteriaJobs);

    auto *heading = new QLabel(u"Select Quote or Job to Print"_s, this);
    heading->setObjectName(u"lblSelect"_s);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);

    auto *searchLabel = new QLabel(u"Search"_s, this);
    searchLabel->setObjectName(u"lblSearch"_s);
    m_searchQuotes = new IncrementalSearchBox(this);
    m_searchQuotes->setObjectName(u"edtSearchQuotes"_s);
    m_searchQuotes->setSearch(dm->tblCriteriaQuotes, u"Quote_No; QuoteDescription"_s);
    m_searchJobs = new IncrementalSearchBox(this);
    m_searchJobs->setObjectName(u"edtSearchJobs"_s);
    m_searchJobs->setSearch(dm->tblCriteriaJobs, u"Job_No; JobDescription"_s);
    for (IncrementalSearchBox *box : { m_searchQuotes, m_searchJobs }) {
        box->setDropDownWidth(SearchDropDownWidth);
        box->setShowColumnLines(true);
        box->setShowColumnTitles(true);
    }
    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(m_searchQuotes, 1);
    searchRow->addWidget(m_searchJobs, 1);

    m_pages = new TQVPageControl(this);
    m_pages->setObjectName(u"pgcJobsQuotes"_s);
    m_quotesGrid = criteriaGrid(m_pages, u"grdQuotes"_s, m_quotesSource,
        { { u"Quote_No"_s, u"Quote No"_s, 80 }, { u"QuoteDescription"_s, u"Description"_s, 200 },
            { u"QuoteTotal"_s, u"Total"_s, 80 }, { u"Date"_s, u"Date"_s, 75 },
            { u"DueDate"_s, u"Due Date"_s, 75 } });
    m_jobsGrid = criteriaGrid(m_pages, u"grdJobs"_s, m_jobsSource,
        { { u"Job_No"_s, u"Job No"_s, 80 }, { u"JobDescription"_s, u"Description"_s, 200 },
            { u"Date"_s, u"Date"_s, 75 }, { u"DueDate"_s, u"Due Date"_s, 75 },
            { u"JobTotal"_s, u"Total"_s, 80 }, { u"PercentComplete"_s, u"% Complete"_s, 70 } });
    m_pages->addTab(m_quotesGrid, u"Quotes"_s);
    m_pages->addTab(m_jobsGrid, u"Jobs"_s);
    connect(m_pages, &QTabWidget::currentChanged, this, &TfrmCJobQuotes::pgcJobsQuotesChange);

    auto *options = new QGroupBox(u"Display Options "_s, this);
    options->setObjectName(u"grpDisplayOptions"_s);
    const DocumentOptions defaults;
    m_logo = option(
        options, u"chkLogo"_s, u"Logo"_s, u"Display Logo on Quote or Job"_s, defaults.logo);
    m_codes = option(options, u"chkCodes"_s, u"Material/Labour Codes"_s,
        u"Show Material / Codes on Job or Quote"_s, defaults.codes);
    m_groups = option(options, u"chkGroups"_s, u"Material/Labour Group Headings"_s,
        u"Show Material/Labour Group Headings. "_s, defaults.groups);
    m_notes = option(options, u"chkNotes"_s, u"Notes for Labour/Material Items"_s,
        u"Display Extened notes on each item"_s, defaults.notes);
    auto *optionsLayout = new QVBoxLayout(options);
    for (QCheckBox *box : { m_logo, m_codes, m_groups, m_notes })
        optionsLayout->addWidget(box);

    const PrintButtons controls(this);
    QGroupBox *type = controls.typeBox;
    m_reportType = controls.reportType;
    m_print = controls.print;
    QPushButton *close = controls.close;
    m_printerSetup = controls.printerSetup;
    connect(m_print, &QPushButton::clicked, this, &TfrmCJobQuotes::btnPrintClick);
    connect(close, &QPushButton::clicked, this, &TfrmCJobQuotes::btnCloseClick);
    connect(m_printerSetup, &QPushButton::clicked, this, &TfrmCJobQuotes::btnPrinterSetupClick);

    auto *side = new QVBoxLayout;
    side->addWidget(options);
    side->addWidget(type);
    side->addStretch(1);
    side->addWidget(m_print);
    side->addWidget(close);
    side->addWidget(m_printerSetup);
    auto *body = new QHBoxLayout;
    body->addWidget(m_pages, 1);
    body->addLayout(side);
    auto *main = new QVBoxLayout(this);
    main->addWidget(heading);
    main->addLayout(searchRow);
    main->addLayout(body);
    resize(720, 380);
    setFixedSize(size());

    // F1 anywhere in the dialog, its grids included, opens the dialog's own topic.
    HelpRequest::install(this, HelpContext);
    m_quotesGrid->setHelpContext(HelpContext);
    m_jobsGrid->setHelpContext(HelpContext);

    formLoaded();
    pgcJobsQuotesChange();
}

// The reports go before the window's children, and never while a preview of theirs is open: the
// dialog closes such a preview before it closes itself.
TfrmCJobQuotes::~TfrmCJobQuotes() = default;

void TfrmCJobQuotes::setOutputDialogs(const OutputDialogs &dialogs)
{
    m_quote->dialogs() = dialogs;
    m_job->dialogs() = dialogs;
}

bool TfrmCJobQuotes::jobPage() const
{
    return m_pages->currentWidget() == m_jobsGrid;
}

DocumentReport &TfrmCJobQuotes::activeReport()
{
    return jobPage() ? static_cast<DocumentReport &>(*m_job) : *m_quote;
}

void TfrmCJobQuotes::showDocument(bool job, double key)
{
    m_pages->setCurrentWidget(job ? m_jobsGrid : m_quotesGrid);
    TQVTable *listed = job ? m_dm->tblCriteriaJobs : m_dm->tblCriteriaQuotes;
    if (key != 0)
        listed->findKey({ key });
}

void TfrmCJobQuotes::pgcJobsQuotesChange()
{
    m_searchQuotes->setVisible(!jobPage());
    m_searchJobs->setVisible(jobPage());
}

void TfrmCJobQuotes::btnPrintClick()
{
    if (m_running)
        return; // one run at a time; its preview is still open
    runGuarded(this, [&] {
        const bool jobs = jobPage();
        TQVTable *view = jobs ? m_dm->tblCriteriaJobs : m_dm->tblCriteriaQuotes;
        DocumentReport &report = activeReport();
        report.setRun(view->fieldByName(jobs ? u"Job_No"_s : u"Quote_No"_s)->asString(),
            { m_logo->isChecked(), m_codes->isChecked(), m_groups->isChecked(),
                m_notes->isChecked() });
        report.requireClient(!view->fieldByName(u"Client_ID"_s)->isNull());
        const PrintRunScope running(m_running, m_print, m_printerSetup);
        if (m_reportType->currentIndex() == 1)
            report.print(this);
        else
            report.preview(this);
    });
}

void TfrmCJobQuotes::btnPrinterSetupClick()
{
    runGuarded(this, [&] { activeReport().printerSetup(this); });
}

void TfrmCJobQuotes::btnCloseClick()
{
    reject();
}

void TfrmCJobQuotes::reject()
{
    for (DocumentReport *report : { static_cast<DocumentReport *>(m_quote.get()),
             static_cast<DocumentReport *>(m_job.get()) }) {
        if (TfrmPrintPreview *preview = report->previewWindow())
            preview->close();
    }
    QDialog::reject();
}

#include "FormMain.h"

#include "reference/ClientPage.h"
#include "app/DetailPane.h"
#include "app/DetailsPage.h"
#include "app/FormAbout.h"
#include "app/FormMDWizard.h"
#include "app/HelpWindow.h"
#include "app/JobQuoteLists.h"
#include "app/LinesPage.h"
#include "app/SummaryPage.h"
#include "app/Version.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "controls/window/CommandGuard.h"
#include "controls/window/Messages.h"
#include "controls/window/TQVPageControl.h"
#include "controls/window/TQVRegistry.h"
#include "controls/window/TQVStatusBarSrc.h"
#include "data/DataModuleMain.h"
#include "data/Document.h"
#include "reference/FormClientMoreInfo.h"
#include "reference/ReferenceWidgets.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QPointer>
#include <QShortcut>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;
using ReferenceWidgets::link;

const QString TfrmMain::RegKeyPath = u"\\Software\\Velbric\\Tessorin"_s;

namespace {

const QString SplitterValue = u"Splitter"_s;

} // namespace

TfrmMain::TfrmMain(TDM *dm, QWidget *parent)
    : QMainWindow(parent)
    , TQVForm(this)
    , m_dm(dm)
    , m_quoteSource(link(this, u"QuoteDataSource"_s, dm->tblQuotes))
    , m_jobSource(link(this, u"JobDataSource"_s, dm->tblJobs))
    , m_materials(link(this, u"dsMaterials"_s, dm->tblQuotesMaterial))
    , m_labour(link(this, u"dsLabour"_s, dm->tblQuoteLabour))
    , m_clients(link(this, u"dsClients"_s, dm->tblClientDetails))
    , m_taxRates(link(this, u"dsTaxRates"_s, dm->tblTaxRates))
    , m_sales(link(this, u"dsSales"_s, dm->tblSales))
    , m_split(new QSplitter(Qt::Horizontal, this))
    , m_lists(new JobQuoteLists(dm, m_quoteSource, m_jobSource, m_split))
    , m_quotes { &dm->document(TDM::DocumentKind::Quote), m_quoteSource, m_lists->quotesGrid(),
        JobQuoteLists::QuotesPage, u"Delete this Quote?"_s,
        u"There are no materials in this Quote to delete"_s,
        u"There are no Labour Items in this Quote to delete"_s }
    , m_jobs { &dm->document(TDM::DocumentKind::Job), m_jobSource, m_lists->jobsGrid(),
        JobQuoteLists::JobsPage, u"Delete this Job?"_s,
        u"There are no materials in this Job To Delete"_s,
        u"There are no Labour Items in this Job To Delete"_s }
    , m_details(new DetailPane(
          { m_jobSource, m_materials, m_labour, m_clients, m_taxRates, m_sales }, m_split))
    , m_statusBar(new TQVStatusBar(this))
{
    setObjectName(u"frmMain"_s);
    setWindowTitle(Version::ApplicationTitle);
    resize(640, 473);
    m_split->setObjectName(u"wmSplit"_s);
    m_split->addWidget(m_lists);
    m_split->addWidget(m_details);
    m_split->setChildrenCollapsible(true);
    m_split->installEventFilter(this);
    setCentralWidget(m_split);
    setStatusBar(m_statusBar);
    createActions();

    auto *help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, &TfrmMain::showHelp);
    // F1 in the program's other windows.
    // A window closed later (an earlier one, in tests) leaves the handler to the newest.
    HelpRequest::setHandler([self = QPointer<TfrmMain>(this)](QWidget *from) {
        if (self)
            self->showHelpFor(from);
    });
    connect(
        m_split, &QSplitter::splitterMoved, this, [this] { m_splitPercent = splitterPercent(); });

    connect(m_lists->pages(), &QTabWidget::currentChanged, this, &TfrmMain::TBJobsQuotesChange);
    for (auto signal :
        { &DataSource::currentChanged, &DataSource::dataChanged, &DataSource::stateChanged }) {
        connect(m_quoteSource, signal, this, &TfrmMain::QuoteDataSourceDataChange);
        connect(m_jobSource, signal, this, &TfrmMain::JobDataSourceDataChange);
    }
    connect(m_details->summaryToggle(), &QToolButton::clicked, this, &TfrmMain::btnSummaryClick);
    const LinesPage *materials = m_details->materialsPage();
    const LinesPage *labour = m_details->labourPage();
    connectLineCommands();
    connect(
        materials->deleteButton(), &QToolButton::clicked, this, &TfrmMain::btnDeleteMaterialsClick);
    connect(labour->deleteButton(), &QToolButton::clicked, this, &TfrmMain::btnLabourDeleteClick);
    const ClientPage *client = m_details->clientPage();
    connect(client->selectButton(), &QToolButton::clicked, this, &TfrmMain::btnSelectClientClick);
    connect(client->newButton(), &QToolButton::clicked, this, &TfrmMain::btnNewClientClick);
    connect(client->editButton(), &QToolButton::clicked, this, &TfrmMain::btnEditClientClick);
    connect(m_details->summaryPage()->changeTaxRateButton(), &QToolButton::clicked, this,
        &TfrmMain::btnChangeTaxRateClick);
    connect(m_details->detailsPage()->addSalesPersonButton(), &QToolButton::clicked, this,
        &TfrmMain::mniSalesClick);
    // Every dialog of the program tells this window when it closes.
    qApp->installEventFilter(this);

    formLoaded();
    FormCreate();
}

TfrmMain::~TfrmMain()
{
    qApp->removeEventFilter(this);
}

void TfrmMain::FormCreate()
{
    // The lists open on "Quotes" without running the page switch: nothing is posted or sorted yet.
    {
        const QSignalBlocker quiet(m_lists->pages());
        m_lists->pages()->setCurrentIndex(JobQuoteLists::QuotesPage);
    }
    showQuoteOrJobControls(m_quotes);
    m_lists->searchPanel()->setFixedHeight(1);
    m_details->summaryStrip()->setFixedHeight(1);
    m_details->clientPage()->setInitialSelectors();
    m_details->pages()->setCurrentIndex(0);
    runGuarded(this, [this] {
        if (m_dm->isConnected())
            RefilterLines();
    });
    m_dm->dsClients->setDataSet(m_dm->tblQuotes);
    setSplitterPercent(readSplitterPercent());
}

QString TfrmMain::splitterKey()
{
    return u"\\Software\\Velbric\\"_s + SplitterValue + u"Tessorin\\"_s;
}

int TfrmMain::readSplitterPercent()
{
    try {
        TQVRegistry registry;
        if (!registry.openKey(splitterKey(), false))
            return DefaultSplitterPercent;
        return std::clamp(int(registry.readInteger(SplitterValue)), 0, 100);
    } catch (const std::exception &) {
        return DefaultSplitterPercent;
    }
}

int TfrmMain::splitterPercent() const
{
    const QList<int> sizes = m_split->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    if (total <= 0)
        return m_splitPercent;
    return int(std::lround(sizes.value(0) * 100.0 / total));
}

void TfrmMain::setSplitterPercent(int percent)
{
    m_splitPercent = std::clamp(percent, 0, 100);
    applySplitterPercent();
}

void TfrmMain::applySplitterPercent()
{
    const QList<int> sizes = m_split->sizes();
    int total = sizes.value(0) + sizes.value(1);
    // Before the first layout the sizes only carry proportions.
    if (total <= 0)
        total = 100;
    const int left = int(std::lround(total * m_splitPercent / 100.0));
    m_split->setSizes({ left, total - left });
}

void TfrmMain::writeSplitterPercent() noexcept
{
    try {
        TQVRegistry registry;
        if (registry.openKey(splitterKey(), true)) {
            registry.writeInteger(SplitterValue, splitterPercent());
            registry.closeKey();
        }
    } catch (...) {
        // A position that cannot be stored is simply not remembered.
    }
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Hide && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        if (widget->isWindow() && widget->windowType() == Qt::Dialog)
            ownDialogClosed(widget);
    }
    // The pane keeps its share of the width as the window grows to its maximised size.
    // Applied once the splitter has laid its panes out for the new width.
    if (watched == m_split && event->type() == QEvent::Resize)
        QMetaObject::invokeMethod(this, &TfrmMain::applySplitterPercent, Qt::QueuedConnection);
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    queueFirstRunCheck();
}

void TfrmMain::ownDialogClosed(QWidget *dialog)
{
    // The wizard's own closing, and boxes it showed, never open it again.
    if (m_wizardOpen || dialog == this)
        return;
    queueFirstRunCheck();
}

void TfrmMain::queueFirstRunCheck()
{
    if (m_checkQueued)
        return;
    // Run from the event loop, once the closing dialog has gone: the wizard has a loop of its own.
    m_checkQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_checkQueued = false;
            // Another dialog still up (a box inside a dialog closed) keeps this window inactive.
            if (QApplication::activeModalWidget() || !isVisible())
                return;
            FormActivate();
        },
        Qt::QueuedConnection);
}

void TfrmMain::FormActivate()
{
    if (m_wizardOpen || !m_dm->isConnected())
        return;
    bool done = false;
    runGuarded(this, [&] { done = m_dm->ReadSettingFlag(u"Startup"_s, u"StartWiz"_s); });
    if (!done)
        openStartupWizard();
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    if (!settleBeforeClosing()) {
        event->ignore();
        return;
    }
    FormClose();
    QMainWindow::closeEvent(event);
}

bool TfrmMain::settleBeforeClosing()
{
    const QList<TQVDataSource *> edited { headerSource(), m_clients, m_labour, m_materials };
    if (std::none_of(edited.begin(), edited.end(),
            [](const TQVDataSource *source) { return source->isEditing(); }))
        return true;
    const QString kind = activeDocument().document->isJob ? u"Job"_s : u"Quote"_s;
    switch (AskSaveDiscardStay(u"Save the changes to this %1 before closing?"_s.arg(kind), this)) {
    case UnsavedAnswer::Save:
        // A refused record keeps the window open with what was typed.
        return runGuarded(this, [this] { saveCurrent(); });
    case UnsavedAnswer::Discard:
        return runGuarded(this, [&] {
            for (TQVDataSource *source : edited) {
                if (source->isEditing())
                    source->dataSet()->cancel();
            }
        });
    case UnsavedAnswer::Stay:
        break;
    }
    return false;
}

void TfrmMain::FormClose()
{
    setSavePosition(true);
    setSaveSize(true);
    setRegKey(RegKeyPath);
    writeSplitterPercent();
}

void TfrmMain::mniAboutClick()
{
    runGuarded(this, [this] {
        const WaitCursor busy;
        TfrmAbout about(this);
        about.exec();
    });
}

void TfrmMain::showHelp()
{
    if (!m_help)
        m_help = new HelpWindow(this);
    m_help->showTopic(HelpWindow::contextOf(QApplication::focusWidget()));
}

void TfrmMain::showHelpFor(QWidget *from)
{
    QWidget *window = from->window();
    if (window == this) {
        showHelp();
        return;
    }
    auto *help = window->findChild<HelpWindow *>(QString(), Qt::FindDirectChildrenOnly);
    if (!help)
        help = new HelpWindow(window);
    help->showTopic(HelpWindow::contextOf(from));
}

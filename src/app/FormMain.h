#pragma once

#include "controls/window/TQVFormSrc.h"
#include "data/DataModuleMain.h"

#include <QMainWindow>

class DetailPane;
class HelpWindow;
class JobQuoteLists;
class QAction;
class QSplitter;

class TQVDataSource;
class TQVDBGrid;
class TQVStatusBar;
class TQVTable;

// The main window: the menu, tool bar and status bar around the quote and job browser, its
// commands, the first-run check at each activation, and what it stores at the end of the run.
class TfrmMain : public QMainWindow, public TQVForm
{
    Q_OBJECT

public:
    static const QString RegKeyPath;
    static constexpr int DefaultSplitterPercent = 40;
    static constexpr int SummaryStripHeight = 60;

    explicit TfrmMain(TDM *dm, QWidget *parent = nullptr);
    ~TfrmMain() override;

    // The splitter's key, formed as the stored layouts have always had it: "\Software\Velbric\"
    // + "Splitter" + "Tessorin\".
    static QString splitterKey();
    // The stored percentage of the width given to the left pane: 40 when there is none or it
    // cannot be read; a negative value gives 0 and one above 100 gives 100.
    static int readSplitterPercent();
    int splitterPercent() const;
    void setSplitterPercent(int percent);

    // One kind of document as this window lists it: the data module's description of it, the
    // header's link, the list's page and grid, and the texts of the commands on it.
    struct DocumentPage
    {
        const TDM::Document *document;
        TQVDataSource *header;
        TQVDBGrid *grid;
        int page;
        QString deletePrompt;
        QString noMaterials;
        QString noLabour;
    };

    // --- the browser ---------------------------------------------------------------------
    // The document of the active list page: the commands work on it.
    const DocumentPage &activeDocument() const;
    bool jobsPageActive() const;
    TQVTable *activeHeader() const;
    TQVDataSource *headerSource() const;
    TQVDBGrid *activeGrid() const;
    // Makes the document's list page active and runs the page switch even when it already was.
    void showListPage(const DocumentPage &document);

    void TBJobsQuotesChange();
    void BindHeaderControls(const DocumentPage &document);
    void RefilterLines();
    void QuoteDataSourceDataChange();
    void JobDataSourceDataChange();
    void btnNextClick();
    void btnPrevClick();
    void btnSortPriorClick();
    void mniSortPriorityClick();
    void ApplySortOrder();
    void btnSearchClick();
    void mniQuickSearchClick();
    void btnSummaryClick();
    void btnFindClick();
    // Goes to what the finder chose: a quote for the kind "Quotes", a job for anything else.
    void FinderChoice(const QString &kind, double key);

    // --- commands on quotes, jobs and lines ------------------------------------------------
    void btnNewQuoteClick();
    void btnNewJobClick();
    void btnSaveJobQuoteClick();
    void btnDeleteClick();
    void btnDeleteMaterialsClick();
    void btnLabourDeleteClick();
    void frmAddMaterialsClick();
    void btnEditMaterialsClick();
    void btnLabourAddClick();
    void btnLabourEditClick();

    // --- the client page --------------------------------------------------------------------
    void btnSelectClientClick();
    void btnNewClientClick();
    void btnEditClientClick();

    // --- business setup, options, sales people, the first-run wizard --------------------------
    void mniBusinessSettingsClick();
    void mniSalesClick();
    void mniOptionsClick();
    void btnChangeTaxRateClick();
    void openStartupWizard();

    // --- the frame -------------------------------------------------------------------------
    // The first-run check: opens the wizard while it has not been finished.
    void FormActivate();
    // One of the program's dialogs has closed. When no other dialog is still up, the main
    // window is the program's active window again and the check runs; not when the wizard
    // itself (or a box over it) closes, so cancelling it never loops.
    void ownDialogClosed(QWidget *dialog);
    void mniAboutClick();
    // F1: the help topic of the region that has the focus.
    void showHelp();
    // The help topic of from's region, in a help window of from's own window, so that a modal
    // dialog's help can be read while the dialog is up.
    void showHelpFor(QWidget *from);
    HelpWindow *helpWindow() const { return m_help; }

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void queueFirstRunCheck();
    void createActions();
    void createMenu();
    void createToolBar();
    QAction *action(const QString &name, const QString &text, const QKeySequence &shortcut = {});
    void FormCreate();
    void FormClose();
    void writeSplitterPercent() noexcept;
    void applySplitterPercent();
    void showQuoteOrJobControls(const DocumentPage &document);
    void followHeader(const DocumentPage &document);
    void filterLines(const DocumentPage &document, bool browsingOnly);
    void saveCurrent();
    // Closing with a quote or job half edited asks whether to save it, give it up or stay; true
    // when the window may close.
    bool settleBeforeClosing();
    void SpeedButton3Click();
    // Inserts a new quote or job and lets its wizard complete it.
    void newHeader(const DocumentPage &document);
    void btnPrintClick();
    static void slidePanel(QWidget *panel, bool open, int openHeight);
    void deleteLine(TQVTable *line, const QString &failure);
    void connectLineCommands();
    void applySortOrder(const DocumentPage &document);

    TDM *m_dm;
    TQVDataSource *m_quoteSource;
    TQVDataSource *m_jobSource;
    TQVDataSource *m_materials;
    TQVDataSource *m_labour;
    TQVDataSource *m_clients;
    TQVDataSource *m_taxRates;
    TQVDataSource *m_sales;
    QSplitter *m_split;
    JobQuoteLists *m_lists;
    const DocumentPage m_quotes;
    const DocumentPage m_jobs;
    DetailPane *m_details;
    TQVStatusBar *m_statusBar;
    HelpWindow *m_help = nullptr;

    QAction *m_mniQuickSearch = nullptr;
    QAction *m_mniSortPriority = nullptr;
    QAction *m_btnSearch = nullptr;
    QAction *m_btnSortPrior = nullptr;

    int m_splitPercent = DefaultSplitterPercent;
    bool m_wizardOpen = false;
    bool m_shownOnce = false;
    bool m_checkQueued = false;
};

// The main window's menu and tool bar.
#include "FormMain.h"
#include "controls/window/Glyphs.h"
#include "controls/window/Hints.h"
#include "controls/window/CommandGuard.h"
#include "data/TQVTableSrc.h"
#include "documents/SummaryCommand.h"
#include "reference/FormHeadings.h"
#include "reference/FormMaterials.h"
#include "reference/FormPriceChange.h"
#include "reference/FormUnits.h"

#include <QAction>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include <type_traits>

using namespace Qt::StringLiterals;

QAction *TfrmMain::action(const QString &name, const QString &text, const QKeySequence &shortcut)
{
    auto *result = new QAction(text, this);
    result->setObjectName(name);
    result->setShortcut(shortcut);
    return result;
}

void TfrmMain::createActions()
{
    createMenu();
    createToolBar();
}

void TfrmMain::createMenu()
{
    QMenuBar *bar = menuBar();
    const auto menu = [](QMenu *parent, const QString &name, const QString &title) {
        QMenu *result = parent->addMenu(title);
        result->setObjectName(name);
        result->menuAction()->setObjectName(name);
        return result;
    };
    const auto item = [this](QMenu *parent, const QString &name, const QString &text,
                          const QKeySequence &shortcut, auto handler) {
        QAction *result = action(name, text, shortcut);
        parent->addAction(result);
        connect(result, &QAction::triggered, this, handler);
        return result;
    };

    QMenu *file = bar->addMenu(u"&File"_s);
    file->setObjectName(u"mnuFile"_s);
    QMenu *newMenu = menu(file, u"mniNew"_s, u"&New"_s);
    item(newMenu, u"mniNewQuote"_s, u"Quote"_s, Qt::CTRL | Qt::Key_Q, &TfrmMain::btnNewQuoteClick);
    item(newMenu, u"mniNewJob"_s, u"Job"_s, Qt::CTRL | Qt::Key_J, &TfrmMain::btnNewJobClick);
    file->addSeparator();
    item(file, u"mniStartupWizard"_s, u"Easy Startup Wizard"_s, {}, &TfrmMain::openStartupWizard);
    file->addSeparator();
    item(file, u"mniPrint"_s, u"&Print"_s, Qt::CTRL | Qt::Key_P, &TfrmMain::btnPrintClick);
    file->addSeparator();
    item(file, u"mniExit"_s, u"E&xit"_s, {}, &TfrmMain::close);

    QMenu *view = bar->addMenu(u"&View"_s);
    view->setObjectName(u"mnuView"_s);
    m_mniQuickSearch = item(
        view, u"mniQuickSearch"_s, u"Quick Search"_s, Qt::Key_F6, &TfrmMain::mniQuickSearchClick);
    m_mniQuickSearch->setCheckable(true);
    m_mniSortPriority = item(
        view, u"mniSortPriority"_s, u"Sort by Priority"_s, {}, &TfrmMain::mniSortPriorityClick);
    m_mniSortPriority->setCheckable(true);
    view->addSeparator();
    item(view, u"mniFinder"_s, u"Job-Quote Finder"_s, Qt::Key_F4, &TfrmMain::btnFindClick);
    view->addSeparator();
    item(view, u"mniPrevious"_s, u"Previous "_s, Qt::Key_F2, &TfrmMain::btnPrevClick);
    item(view, u"mniNext"_s, u"Next"_s, Qt::Key_F3, &TfrmMain::btnNextClick);

    QMenu *tools = bar->addMenu(u"&Tools"_s);
    tools->setObjectName(u"mnuTools"_s);
    item(tools, u"mniBusinessSettings"_s, u"Business Settings and Logo..."_s, {},
        &TfrmMain::mniBusinessSettingsClick);
    // Each reference window is made for its command and freed when it closes.
    const auto modal = [this]<typename Window>(std::type_identity<Window>) {
        return [this] {
            runGuarded(this, [this] {
                Window window(m_dm, this);
                window.exec();
            });
        };
    };
    item(tools, u"mniPriceListing"_s, u"Material and Labour Price Listing..."_s, {},
        modal(std::type_identity<TfrmPriceChange>()));
    tools->addSeparator();
    // The client list as the client page's Select opens it, for the header being edited.
    item(tools, u"mniClients"_s, u"Clients..."_s, {}, &TfrmMain::btnSelectClientClick);
    item(tools, u"mniMaterials"_s, u"Materials and Labour..."_s, {},
        modal(std::type_identity<TfrmMaterials>()));
    item(tools, u"mniHeadings"_s, u"Materials /  Labour Group Headings..."_s, {},
        modal(std::type_identity<TfrmHeadings>()));
    item(tools, u"mniSales"_s, u"Staff / Sales People..."_s, {}, &TfrmMain::mniSalesClick);
    item(tools, u"mniUnits"_s, u"Unit Descriptions..."_s, {},
        modal(std::type_identity<TfrmUnits>()));
    tools->addSeparator();
    item(tools, u"mniOptions"_s, u"Options"_s, Qt::CTRL | Qt::Key_O, &TfrmMain::mniOptionsClick);

    QMenu *reports = bar->addMenu(u"&Reports"_s);
    reports->setObjectName(u"mnuReports"_s);
    QMenu *summary = menu(reports, u"mniSummary"_s, u"Summary"_s);
    item(summary, u"mniSummaryQuotes"_s, u"Quotes"_s, {}, [this] { openQuoteSummary(m_dm, this); });
    item(summary, u"mniSummaryJobs"_s, u"Jobs"_s, {}, [this] { openJobSummary(m_dm, this); });

    QMenu *help = bar->addMenu(u"&Help"_s);
    help->setObjectName(u"mnuHelp"_s);
    item(help, u"mniAbout"_s, u"&About"_s, {}, &TfrmMain::mniAboutClick);
}

void TfrmMain::createToolBar()
{
    QToolBar *bar = addToolBar(u"Tools"_s);
    bar->setObjectName(u"ToolBar1"_s);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(20, 20));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);

    const auto button = [this, bar](const QString &name, const QString &hint, Glyphs::Glyph glyph,
                            auto handler) {
        QAction *result = action(name, hint);
        result->setIcon(Glyphs::icon(glyph));
        Hints::setHint(result, hint);
        bar->addAction(result);
        if (QWidget *widget = bar->widgetForAction(result))
            widget->setFixedSize(25, 25);
        connect(result, &QAction::triggered, this, handler);
        return result;
    };
    using Glyphs::Glyph;
    button(u"SpeedButton3"_s, u"New"_s, Glyph::New, &TfrmMain::SpeedButton3Click);
    // Ctrl+S is what a desktop program saves with; no menu item of the window takes it.
    button(u"btnSaveJobQuote"_s, u"Save"_s, Glyph::Save, &TfrmMain::btnSaveJobQuoteClick)
        ->setShortcut(QKeySequence::Save);
    button(u"btnPrint"_s, u"Print"_s, Glyph::Print, &TfrmMain::btnPrintClick);
    bar->addSeparator();
    button(u"btnPrev"_s, u"Previous"_s, Glyph::Previous, &TfrmMain::btnPrevClick);
    button(u"btnNext"_s, u"Next"_s, Glyph::Next, &TfrmMain::btnNextClick);
    bar->addSeparator();
    button(u"btnDelete"_s, u"Delete"_s, Glyph::Delete, &TfrmMain::btnDeleteClick);
    bar->addSeparator();
    button(u"btnFind"_s, u"Find"_s, Glyph::Find, &TfrmMain::btnFindClick);
    m_btnSearch =
        button(u"btnSearch"_s, u"Quick Search"_s, Glyph::QuickSearch, &TfrmMain::btnSearchClick);
    m_btnSearch->setCheckable(true);
    m_btnSortPrior = button(u"btnSortPrior"_s, u"Sort By Priority"_s, Glyph::SortPriority,
        &TfrmMain::btnSortPriorClick);
    m_btnSortPrior->setCheckable(true);
}

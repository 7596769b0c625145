#include "AppTests.h"
#include "MainWindowFixture.h"
#include "ModalDialogs.h"
#include "app/FormAbout.h"
#include "app/HelpWindow.h"
#include "app/Version.h"
#include "controls/dataaware/TQVDBGridSrc.h"
#include "controls/window/MessageAnswers.h"
#include "controls/window/TQVPageControl.h"
#include "controls/window/TQVRegistry.h"
#include "controls/window/TQVStatusBarSrc.h"
#include "documents/FormCJobQuote.h"
#include "documents/FormPrintPreview.h"
#include "reference/FormStartup.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// A menu as the user sees it: one entry per item, "text|shortcut|checkable", "-" for a separator
// and "text>" for a submenu.
QStringList entries(const QMenu *menu)
{
    QStringList result;
    for (const QAction *action : menu->actions()) {
        if (action->isSeparator())
            result << u"-"_s;
        else if (action->menu())
            result << action->text() + u'>';
        else
            result << action->text() + u'|' + action->shortcut().toString() + u'|'
                    + (action->isCheckable() ? u"check"_s : QString());
    }
    return result;
}

QMenu *menuTitled(QWidget *window, const QString &path)
{
    QList<QAction *> actions = window->findChild<QMenuBar *>()->actions();
    QMenu *menu = nullptr;
    for (const QString &title : path.split(u" > "_s)) {
        menu = nullptr;
        for (QAction *action : std::as_const(actions)) {
            if (action->text() == title && action->menu()) {
                menu = action->menu();
                break;
            }
        }
        if (!menu)
            return nullptr;
        actions = menu->actions();
    }
    return menu;
}

// Counts the first-run wizards that open, and cancels each.
int wizardsOpened = 0;

std::unique_ptr<QTimer> cancelEveryWizard()
{
    wizardsOpened = 0;
    return ModalDialogs::everyTime<TfrmWizStartup>([](TfrmWizStartup *wizard) {
        ++wizardsOpened;
        wizard->reject();
    });
}

int wizardRequests()
{
    return wizardsOpened;
}

} // namespace

class TestFrame : public QObject
{
    Q_OBJECT

private slots:
    void menu_data();
    void menu();
    void menuBarOrder();
    void toolBar();
    void splitterRead_data();
    void splitterRead();
    void splitterStoredAtClose();
    void placementStoredAtClose();
    void gridLayoutsOnUnopenedPages();
    void closingPostsNothing_data();
    void closingPostsNothing();
    void activation_data();
    void activation();
    void statusBarHint();
    void helpTopics_data();
    void helpTopics();
    void helpOnFocus();
    void helpWindowOnScreenAndEscCloses();
    void helpInDocumentWindows();
    void helpInReferenceWindows_data();
    void helpInReferenceWindows();
    void aboutBox();
    void memoryFigures_data();
    void memoryFigures();
    void versionLabels();
    void withoutData();
};

void TestFrame::menu_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("File") << u"&File"_s
                          << QStringList { u"&New>"_s, u"-"_s, u"Easy Startup Wizard||"_s, u"-"_s,
                                 u"&Print|Ctrl+P|"_s, u"-"_s, u"E&xit||"_s };
    QTest::newRow("File, New") << u"&File > &New"_s
                               << QStringList { u"Quote|Ctrl+Q|"_s, u"Job|Ctrl+J|"_s };
    QTest::newRow("View, with the trailing blank of Previous")
        << u"&View"_s
        << QStringList { u"Quick Search|F6|check"_s, u"Sort by Priority||check"_s, u"-"_s,
               u"Job-Quote Finder|F4|"_s, u"-"_s, u"Previous |F2|"_s, u"Next|F3|"_s };
    QTest::newRow("Tools, with the two blanks of the headings")
        << u"&Tools"_s
        << QStringList { u"Business Settings and Logo...||"_s,
               u"Material and Labour Price Listing...||"_s, u"-"_s, u"Clients...||"_s,
               u"Materials and Labour...||"_s, u"Materials /  Labour Group Headings...||"_s,
               u"Staff / Sales People...||"_s, u"Unit Descriptions...||"_s, u"-"_s,
               u"Options|Ctrl+O|"_s };
    QTest::newRow("Reports") << u"&Reports"_s << QStringList { u"Summary>"_s };
    QTest::newRow("Reports, Summary")
        << u"&Reports > Summary"_s << QStringList { u"Quotes||"_s, u"Jobs||"_s };
    QTest::newRow("Help") << u"&Help"_s << QStringList { u"&About||"_s };
}

void TestFrame::menu()
{
    QFETCH(QString, path);
    QFETCH(QStringList, expected);
    MainWindowFixture fixture;
    fixture.open();
    const QMenu *menu = menuTitled(fixture.window.get(), path);
    QVERIFY(menu);
    QCOMPARE(entries(menu), expected);
}

void TestFrame::menuBarOrder()
{
    MainWindowFixture fixture;
    fixture.open();
    QStringList titles;
    for (const QAction *action : fixture.window->findChild<QMenuBar *>()->actions())
        titles << action->text();
    QCOMPARE(
        titles, (QStringList { u"&File"_s, u"&View"_s, u"&Tools"_s, u"&Reports"_s, u"&Help"_s }));
    QCOMPARE(fixture.window->windowTitle(), u"Velbric Tessorin"_s);
}

void TestFrame::toolBar()
{
    MainWindowFixture fixture;
    fixture.open();
    const QToolBar *bar = fixture.window->findChild<QToolBar *>(u"ToolBar1"_s);
    QVERIFY(bar);
    QStringList seen;
    for (QAction *action : bar->actions()) {
        if (action->isSeparator()) {
            seen << u"-"_s;
            continue;
        }
        seen << action->toolTip() + (action->isCheckable() ? u" (toggle)"_s : QString());
        QCOMPARE(action->statusTip(), action->toolTip());
        QVERIFY(!action->icon().isNull());
        QCOMPARE(bar->widgetForAction(action)->size(), QSize(25, 25));
        QVERIFY(!action->isChecked());
    }
    const QStringList expected { u"New"_s, u"Save"_s, u"Print"_s, u"-"_s, u"Previous"_s, u"Next"_s,
        u"-"_s, u"Delete"_s, u"-"_s, u"Find"_s, u"Quick Search (toggle)"_s,
        u"Sort By Priority (toggle)"_s };
    QCOMPARE(seen, expected);
}

void TestFrame::splitterRead_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("percent");
    QTest::newRow("missing value gives 40") << QVariant() << 40;
    QTest::newRow("stored value is used") << QVariant(25) << 25;
    QTest::newRow("negative value gives 0") << QVariant(-5) << 0;
    QTest::newRow("more than the width gives all of it") << QVariant(250) << 100;
    QTest::newRow("a value of another type gives 40") << QVariant(u"wide"_s) << 40;
}

void TestFrame::splitterRead()
{
    QFETCH(QVariant, stored);
    QFETCH(int, percent);
    MainWindowFixture fixture;
    if (stored.isValid()) {
        TQVRegistry registry;
        QVERIFY(registry.openKey(u"\\Software\\Velbric\\SplitterTessorin\\"_s, true));
        if (stored.typeId() == QMetaType::Int)
            registry.writeInteger(u"Splitter"_s, stored.toInt());
        else
            registry.writeString(u"Splitter"_s, stored.toString());
    }
    QCOMPARE(TfrmMain::readSplitterPercent(), percent);
    fixture.open();
    fixture.window->resize(1000, 600);
    QTRY_COMPARE(fixture.window->splitterPercent(), percent);
}

void TestFrame::splitterStoredAtClose()
{
    MainWindowFixture fixture;
    fixture.open();
    fixture.window->resize(1000, 600);
    auto *split = fixture.find<QSplitter>(u"wmSplit"_s);
    QTRY_VERIFY(split->sizes().value(0) > 0);
    const int total = split->sizes().value(0) + split->sizes().value(1);
    split->setSizes({ total * 3 / 10, total - total * 3 / 10 });
    fixture.closeWindow();

    TQVRegistry registry;
    QVERIFY(registry.openKey(u"\\Software\\Velbric\\SplitterTessorin"_s, false));
    QCOMPARE(registry.readInteger(u"Splitter"_s), 30);
    // The key is formed the odd way round; nothing lands where it would be expected instead.
    QVERIFY(!registry.keyExists(u"\\Software\\Velbric\\Tessorin\\Splitter"_s));
    QCOMPARE(TfrmMain::readSplitterPercent(), 30);
}

void TestFrame::placementStoredAtClose()
{
    MainWindowFixture fixture;
    fixture.open();
    fixture.window->resize(700, 500);
    QTRY_COMPARE(fixture.window->size(), QSize(700, 500));
    {
        TQVRegistry registry;
        QVERIFY(!registry.keyExists(u"\\Software\\Velbric\\Tessorin"_s));
    }
    fixture.closeWindow();

    TQVRegistry registry;
    QVERIFY(registry.openKey(u"\\Software\\Velbric\\Tessorin"_s, false));
    QCOMPARE(registry.readInteger(u"WindowMaximised"_s), 0);
    QCOMPARE(registry.readInteger(u"Width"_s), 700);
    QCOMPARE(registry.readInteger(u"Height"_s), 500);
    QVERIFY(registry.valueExists(u"Top"_s));
    QVERIFY(registry.valueExists(u"Left"_s));
}

void TestFrame::gridLayoutsOnUnopenedPages()
{
    // The labour grid sits on a page the window does not open on; its stored layout is in place
    // all the same, and closing the window keeps it.
    MainWindowFixture fixture;
    fixture.addSampleData();
    const QString key = u"\\Software\\Velbric\\Tessorin\\Labour"_s;
    {
        TQVRegistry registry;
        QVERIFY(registry.openKey(key, true));
        registry.writeString(u"GridColumn0"_s, u"Hours,50"_s);
        registry.writeString(u"GridColumn1"_s, u"Description,0"_s);
        registry.writeString(u"GridColumn2"_s, u"Labour_Code,70"_s);
    }
    fixture.open();
    auto *grid = fixture.find<TQVDBGrid>(u"grdLabour"_s);
    QVERIFY(!grid->isVisible());
    const QList<GridColumn> columns = grid->columns();
    QCOMPARE(columns.value(0).fieldName, u"Hours"_s);
    QCOMPARE(columns.value(0).width, 50);
    QCOMPARE(columns.value(1).fieldName, u"Description"_s);
    QVERIFY(!columns.value(1).visible);
    QCOMPARE(columns.value(2).fieldName, u"Labour_Code"_s);
    QVERIFY(grid->columnMenu());
    fixture.closeWindow();

    TQVRegistry registry;
    QVERIFY(registry.openKey(key, false));
    QCOMPARE(registry.readString(u"GridColumn0"_s), u"Hours,50"_s);
    QCOMPARE(registry.readString(u"GridColumn1"_s), u"Description,0"_s);
    QCOMPARE(registry.readString(u"GridColumn2"_s), u"Labour_Code,70"_s);
}

void TestFrame::closingPostsNothing_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("closed");
    QTest::newRow("Yes saves") << QMessageBox::Yes << u"Typed"_s << true;
    QTest::newRow("No gives the edit up") << QMessageBox::No << u"Roof repair"_s << true;
    QTest::newRow("Cancel stays with the edit") << QMessageBox::Cancel << u"Roof repair"_s << false;
}

// Closing with a quote half edited asks, as a desktop program does: nothing is posted or lost
// unasked.
void TestFrame::closingPostsNothing()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QString, stored);
    QFETCH(bool, closed);
    MainWindowFixture fixture;
    fixture.addSampleData();
    fixture.open();
    auto *description = fixture.find<QLineEdit>(u"feDescription"_s);
    fixture.window->activateWindow();
    description->setFocus();
    QTRY_VERIFY(description->hasFocus());
    description->selectAll();
    QTest::keyClicks(description, u"Typed"_s);
    QCOMPARE(fixture.dm->tblQuotes->state(), DataSetState::Edit);
    MessageAnswers::clear();
    MessageAnswers::setNextAnswer(answer);
    QCOMPARE(fixture.window->close(), closed);
    QCOMPARE(MessageAnswers::lastText(), u"Save the changes to this Quote before closing?"_s);
    QCOMPARE(fixture.window->isVisible(), !closed);
    if (!closed) {
        QCOMPARE(fixture.dm->tblQuotes->state(), DataSetState::Edit);
        QCOMPARE(description->text(), u"Typed"_s);
        MessageAnswers::setNextAnswer(QMessageBox::No);
    }
    fixture.closeWindow();
    fixture.dm.reset();
    QCOMPARE(fixture.data.peek(
                 u"Quotes.DB"_s, u"SELECT QuoteDescription FROM data WHERE Quote_ID = 1"_s),
        QVariant(stored));
}

void TestFrame::activation_data()
{
    QTest::addColumn<QString>("flag");
    QTest::addColumn<bool>("asks");
    QTest::newRow("no flag asks for the wizard") << QString() << true;
    QTest::newRow("False asks for the wizard") << u"False"_s << true;
    QTest::newRow("another text asks for the wizard") << u"true"_s << true;
    QTest::newRow("True asks nothing") << u"True"_s << false;
}

void TestFrame::activation()
{
    QFETCH(QString, flag);
    QFETCH(bool, asks);
    MainWindowFixture fixture(false);
    if (!flag.isNull())
        fixture.data.exec(
            u"INI"_s, u"INSERT INTO data VALUES ('Startup', 'StartWiz', '%1')"_s.arg(flag));
    const auto watch = cancelEveryWizard();
    fixture.open();
    // Shown for the first time: the check has run.
    QTRY_COMPARE(wizardRequests(), asks ? 1 : 0);
    fixture.window->FormActivate();
    QCOMPARE(wizardRequests(), asks ? 2 : 0);
    // Every later check asks again while the wizard has not been finished.
    fixture.window->FormActivate();
    QCOMPARE(wizardRequests(), asks ? 3 : 0);

    fixture.dm->WriteSettingFlag(u"Startup"_s, u"StartWiz"_s, true);
    fixture.window->FormActivate();
    QCOMPARE(wizardRequests(), asks ? 3 : 0);
}

void TestFrame::statusBarHint()
{
    MainWindowFixture fixture;
    fixture.open();
    auto *bar = fixture.window->findChild<TQVStatusBar *>();
    QVERIFY(bar);
    QCOMPARE(bar->panelText(TQVStatusBar::HintPanel), u"Ready."_s);

    fixture.find<QAction>(u"SpeedButton3"_s)->showStatusText(fixture.window.get());
    QCOMPARE(bar->panelText(TQVStatusBar::HintPanel), u"New"_s);

    // A field's hint shows its long part, the text after "|".
    QWidget *date = fixture.find<QWidget>(u"feDate"_s);
    QStatusTipEvent tip(date->statusTip());
    QCoreApplication::sendEvent(date, &tip);
    QCOMPARE(bar->panelText(TQVStatusBar::HintPanel), u"Enter a date in the format d/MM/yy"_s);

    QStatusTipEvent none { QString() };
    QCoreApplication::sendEvent(date, &none);
    QCOMPARE(bar->panelText(TQVStatusBar::HintPanel), u"Ready."_s);
}

void TestFrame::helpTopics_data()
{
    QTest::addColumn<int>("context");
    for (int context : { 11, 12, 13, 14, 17, 19, 20, 24, 25, 1001, 1003, 1004, 1005 })
        QTest::addRow("topic %d", context) << context;
}

void TestFrame::helpTopics()
{
    QFETCH(int, context);
    const QUrl url = HelpWindow::topicUrl(context);
    QCOMPARE(url, QUrl(u"qrc:/help/topic%1.html"_s.arg(context)));
    QFile topic(u":/help/topic%1.html"_s.arg(context));
    QVERIFY(topic.open(QIODevice::ReadOnly));
    QVERIFY(topic.readAll().contains("<h2>"));
    QCOMPARE(HelpWindow::topicUrl(4242), QUrl(u"qrc:/help/index.html"_s));
}

void TestFrame::helpOnFocus()
{
    MainWindowFixture fixture;
    fixture.addSampleData();
    fixture.open();
    const std::pair<QString, int> regions[] = {
        { u"grdQuotes"_s, 14 },
        { u"grdMaterials"_s, 1004 },
        { u"feDate"_s, 1001 },
        { u"feDueDate"_s, 1001 },
        { u"feDiscount"_s, 13 },
        { u"memNotes"_s, 13 },
        { u"cboJobSearch"_s, 20 },
    };
    for (const auto &[name, context] : regions) {
        const QWidget *widget = fixture.find<QWidget>(name);
        QVERIFY(widget);
        QCOMPARE(HelpWindow::contextOf(widget), context);
    }
    fixture.window->activateWindow();
    fixture.find<QWidget>(u"grdQuotes"_s)->setFocus();
    QTest::keyClick(fixture.window.get(), Qt::Key_F1);
    QVERIFY(fixture.window->helpWindow());
    QCOMPARE(fixture.window->helpWindow()->currentTopic(), QUrl(u"qrc:/help/topic14.html"_s));
}

void TestFrame::helpWindowOnScreenAndEscCloses()
{
    MainWindowFixture fixture;
    fixture.addSampleData();
    fixture.open();
    // Low on the screen, the help still opens wholly on it.
    const QRect screen = fixture.window->screen()->availableGeometry();
    fixture.window->move(screen.right() - fixture.window->width() / 2,
        screen.bottom() - fixture.window->height() / 2);
    fixture.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(fixture.window.get()));
    QTest::keyClick(fixture.window.get(), Qt::Key_F1);
    HelpWindow *help = fixture.window->helpWindow();
    QVERIFY(help && help->isVisible());
    QVERIFY(screen.contains(help->frameGeometry()));
    QApplication::setActiveWindow(help);
    QTRY_VERIFY(help->isActiveWindow());
    QTest::keyClick(help, Qt::Key_Escape);
    QVERIFY(!help->isVisible());
}

void TestFrame::helpInDocumentWindows()
{
    MainWindowFixture fixture;
    fixture.addSampleData();
    fixture.open();
    // F1 in the print dialog, its grid focused, and in a preview over it: each window gets a help
    // window of its own, usable while the modal dialog is up.
    TfrmCJobQuotes dialog(fixture.dm.get(), fixture.window.get());
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QTRY_COMPARE(QApplication::activeWindow(), &dialog);
    dialog.findChild<QWidget *>(u"grdQuotes"_s)->setFocus();
    QTest::keyClick(&dialog, Qt::Key_F1);
    auto *help = dialog.findChild<HelpWindow *>();
    QVERIFY(help);
    QCOMPARE(help->currentTopic(), QUrl(u"qrc:/help/topic24.html"_s));

    // F1 in Printer Setup shows the topic of the window it came from.
    QUrl setupTopic;
    QVERIFY(ModalDialogs::whileOpen<QDialog>(
        [&] { dialog.findChild<QPushButton *>(u"btnPrinterSetup"_s)->click(); },
        [&](QDialog *setup) {
            QApplication::setActiveWindow(setup);
            QTest::keyClick(setup, Qt::Key_F1);
            if (auto *setupHelp = setup->findChild<HelpWindow *>())
                setupTopic = setupHelp->currentTopic();
        }));
    QCOMPARE(setupTopic, QUrl(u"qrc:/help/topic24.html"_s));

    auto *preview = new TfrmPrintPreview(&dialog);
    preview->show();
    QApplication::setActiveWindow(preview);
    QTRY_COMPARE(QApplication::activeWindow(), preview);
    QTest::keyClick(preview, Qt::Key_F1);
    auto *previewHelp = preview->findChild<HelpWindow *>();
    QVERIFY(previewHelp);
    QCOMPARE(previewHelp->currentTopic(), QUrl(u"qrc:/help/topic1005.html"_s));
    preview->close();
}

void TestFrame::helpInReferenceWindows_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("topic");
    QTest::newRow("client list") << u"mniClients"_s << u"qrc:/help/topic6.html"_s;
    QTest::newRow("finder") << u"mniFinder"_s << u"qrc:/help/topic20.html"_s;
    QTest::newRow("business settings") << u"mniBusinessSettings"_s << u"qrc:/help/index.html"_s;
    QTest::newRow("quote summary") << u"mniSummaryQuotes"_s << u"qrc:/help/topic25.html"_s;
    QTest::newRow("job summary") << u"mniSummaryJobs"_s << u"qrc:/help/topic25.html"_s;
}

void TestFrame::helpInReferenceWindows()
{
    // F1 in a window opened from the menu shows its topic in a help window of that window.
    QFETCH(QString, command);
    QFETCH(QString, topic);
    MainWindowFixture fixture;
    fixture.addSampleData();
    fixture.open();
    QUrl shown;
    ModalDialogs::whenShown<QDialog>([&](QDialog *dialog) {
        QApplication::setActiveWindow(dialog);
        QTest::keyClick(dialog, Qt::Key_F1);
        if (auto *help = dialog->findChild<HelpWindow *>())
            shown = help->currentTopic();
        dialog->reject();
    });
    fixture.find<QAction>(command)->trigger();
    QCOMPARE(shown, QUrl(topic));
}

void TestFrame::aboutBox()
{
    TfrmAbout about;
    QCOMPARE(about.windowTitle(), u"About Velbric Software"_s);
    QCOMPARE(about.findChild<QLabel *>(u"ProductName"_s)->text(), u"Velbric Tessorin"_s);
    QCOMPARE(about.findChild<QLabel *>(u"Version"_s)->text(), u"File Version: 1.0.1.3"_s);
    QCOMPARE(about.findChild<QLabel *>(u"CompileDate"_s)->text(), u"14-Feb-1999"_s);
    QVERIFY(about.findChild<QLabel *>(u"lblHomePage"_s)
                ->text()
                .contains(u"Velbric's Home Page On The Internet"_s));
    QVERIFY(about.findChild<QLabel *>(u"lblMemoryInUse"_s)->text().endsWith(u" %"_s));
    QVERIFY(about.findChild<QLabel *>(u"lblPhysicalMemory"_s)->text().endsWith(u" KB"_s));
}

void TestFrame::memoryFigures_data()
{
    QTest::addColumn<QByteArray>("memInfo");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<QString>("load");
    QTest::addColumn<QString>("physical");
    QTest::newRow("a quarter in use")
        << QByteArray("MemTotal:          65536 kB\nMemFree:  1000 kB\nMemAvailable:    49152 kB\n")
        << true << u"25 %"_s << u"65,536 KB"_s;
    QTest::newRow("whole percent, rounded down")
        << QByteArray("MemAvailable: 1 kB\nMemTotal: 16315804 kB\n") << true << u"99 %"_s
        << u"16,315,804 KB"_s;
    QTest::newRow("no available figure")
        << QByteArray("MemTotal: 1024 kB\n") << false << QString() << QString();
    QTest::newRow("garbage") << QByteArray("MemTotal: lots\nMemAvailable: some\n") << false
                             << QString() << QString();
}

void TestFrame::memoryFigures()
{
    QFETCH(QByteArray, memInfo);
    QFETCH(bool, readable);
    QFETCH(QString, load);
    QFETCH(QString, physical);
    const std::optional<TfrmAbout::Memory> memory = TfrmAbout::parseMemInfo(memInfo);
    QCOMPARE(memory.has_value(), readable);
    if (!memory)
        return;
    QCOMPARE(TfrmAbout::memoryLoadText(memory->loadPercent), load);
    QCOMPARE(TfrmAbout::physicalMemoryText(memory->totalKB), physical);
}

void TestFrame::versionLabels()
{
    QCOMPARE(Version::labelText(u"Version:"_s, u"ProductVersion"_s), u"Version: 1.0.1.3"_s);
    QCOMPARE(Version::labelText({}, u"InternalName"_s), u"Tessorin"_s);
    QCOMPARE(Version::labelText({}, u"Comments"_s), u"< No Version Info >"_s);
}

// A data directory that cannot be opened: the data module reports it, and the main window is
// still made and shown without touching the closed views, so the program can end cleanly.
void TestFrame::withoutData()
{
    TempDataDir registryFolder;
    TQVRegistry::setRootPath(registryFolder.path());
    TempDataDir empty;
    TDM dm;
    QString reported;
    bool terminated = false;
    dm.startupFailure = [&](const QString &text) { reported = text; };
    dm.requestTermination = [&] { terminated = true; };
    dm.DMCreate(empty.filePath(u"tessorin"_s));
    QVERIFY(!dm.isConnected());
    QVERIFY(reported.startsWith(
        u"Cannot Connect To Database. Please Check The Network Connection : "_s));
    QVERIFY(terminated);

    MessageAnswers::clear();
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
    {
        TfrmMain window(&dm);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.FormActivate();
        window.findChild<QAction *>(u"btnSortPrior"_s)->trigger();
        window.findChild<TQVPageControl *>(u"TBJobsQuotes"_s)->setCurrentIndex(1);
        window.close();
    }
    QCOMPARE(MessageAnswers::shown().size(), 0);
    TQVRegistry::setRootPath(QString());
}

int runFrameTests(int argc, char **argv)
{
    TestFrame test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_frame.moc"

#include "Commands.h"
#include "ModalDialogs.h"
#include "RecordValues.h"
#include "SetupFixture.h"
#include "SetupTests.h"
#include "app/FormAbout.h"
#include "app/FormMain.h"
#include "controls/TQVDBEdit.h"
#include "controls/TQVDBGridSrc.h"
#include "controls/TQVPageControl.h"
#include "controls/TableViewModel.h"
#include "engine/Field.h"
#include "reference/FormFinder.h"
#include "reference/FormOptions.h"
#include "reference/FormStartup.h"
#include "reference/LogoChooser.h"
#include "reference/RecordGridPage.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

void click(QWidget *window, const QString &name)
{
    auto *button = window->findChild<QAbstractButton *>(name);
    QVERIFY2(button, qPrintable(name));
    QVERIFY2(button->isEnabled(), qPrintable(name));
    button->click();
}

void typeInto(QWidget *window, const QString &name, const QString &text)
{
    auto *edit = window->findChild<QLineEdit *>(name);
    QVERIFY2(edit, qPrintable(name));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    // What leaving the field does (Enter would also press the dialog's default button).
    QVERIFY(static_cast<TQVDBEdit *>(edit)->applyChanges());
}

// Adds one row to a list page of the wizard as a user does: New, type into the cell, Save.
void addRow(TfrmWizStartup *wizard, RecordGridPage *page, const QString &suffix, const QString &text)
{
    click(wizard, u"btnNew"_s + suffix);
    QAbstractItemModel *model = page->grid()->model();
    QVERIFY(model->setData(model->index(page->grid()->tableModel()->currentRow(), 0), text));
    click(wizard, u"btnSave"_s + suffix);
}

std::unique_ptr<TfrmMain> openMainWindow(TDM *dm)
{
    auto window = std::make_unique<TfrmMain>(dm);
    window->show();
    // Exposed is enough: the wizard may take the activation at once.
    if (!QTest::qWaitForWindowExposed(window.get()))
        qWarning("the main window was not shown");
    return window;
}

} // namespace

class TestFirstRun : public QObject
{
    Q_OBJECT

private slots:
    void wholeProgram();
    void firstRunCheck();
    void wiring_data();
    void wiring();
};

// A new user's first run, through the windows: the wizard, a restart, the options, a quote and
// the finder.
void TestFirstRun::wholeProgram()
{
    SetupFixture fixture;
    TDM *dm = fixture.start();
    QVERIFY(dm->isConnected());
    const QString logo = fixture.writePicture(u"logo.png"_s, QSize(400, 200));

    int wizards = 0;
    auto watch = ModalDialogs::everyTime<TfrmWizStartup>([&](TfrmWizStartup *wizard) {
        if (++wizards > 1) {
            click(wizard, u"btnCancel"_s);
            return;
        }
        ModalDialogs::shoot(wizard, u"first-run-welcome"_s);
        click(wizard, u"btnNext"_s);
        typeInto(wizard, u"feCompanyName"_s, u"Harrowfinch Trade Services"_s);
        auto *address = wizard->findChild<QPlainTextEdit *>(u"feAddress"_s);
        address->setFocus();
        QTest::keyClicks(address, u"12 Kiln Street"_s);
        typeInto(wizard, u"fePhone"_s, u"03 9555 0100"_s);
        typeInto(wizard, u"feEmail"_s, u"office@harrowfinch.example"_s);
        ModalDialogs::shoot(wizard, u"first-run-business"_s);
        click(wizard, u"btnNext"_s);
        wizard->logoChooser()->chooseFile = [&](QWidget *) { return logo; };
        click(wizard, u"btnSelectLogo"_s);
        ModalDialogs::shoot(wizard, u"first-run-logo"_s);
        click(wizard, u"btnNext"_s);
        addRow(wizard, wizard->salesPage(), u"Sales"_s, u"Sunny Okafor"_s);
        addRow(wizard, wizard->salesPage(), u"Sales"_s, u"Kim Lee"_s);
        ModalDialogs::shoot(wizard, u"first-run-sales"_s);
        click(wizard, u"btnNext"_s);
        addRow(wizard, wizard->headingsPage(), u"Headings"_s, u"Roofing"_s);
        click(wizard, u"btnNext"_s);
        addRow(wizard, wizard->unitsPage(), u"Units"_s, u"each"_s);
        ModalDialogs::shoot(wizard, u"first-run-units"_s);
        click(wizard, u"btnNext"_s);
        click(wizard, u"btnFinish"_s);
    });

    auto window = openMainWindow(dm);
    QTRY_COMPARE(wizards, 1);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCoreApplication::processEvents();
    QCOMPARE(wizards, 1);
    QVERIFY(dm->ReadSettingFlag(u"Startup"_s, u"StartWiz"_s));
    dm->tblBusiness->first();
    QCOMPARE(text(dm->tblBusiness, u"Company_Name"), u"Harrowfinch Trade Services"_s);
    QCOMPARE(text(dm->tblBusiness, u"Address"), u"12 Kiln Street"_s);
    QCOMPARE(text(dm->tblBusiness, u"LogoPath"), logo);
    QVERIFY(!dm->tblBusiness->fieldByName(u"Logo"_s)->asBytes().isEmpty());
    QCOMPARE(dm->tblSales->recordCount(), 2);
    QCOMPARE(dm->tblHeadings->recordCount(), 1);
    QCOMPARE(dm->tblUnit->recordCount(), 1);

    // A restart: the wizard does not open again.
    window->close();
    window.reset();
    fixture.stop();
    dm = fixture.start();
    window = openMainWindow(dm);
    QCoreApplication::processEvents();
    QCOMPARE(wizards, 1);
    ModalDialogs::shoot(window.get(), u"first-run-main"_s);

    // Options: completed quotes hidden, quotes numbered from "Q-500".
    const double ann = fixture.addClient(u"Ann Archer"_s, u"Brunswick"_s);
    const double bob = fixture.addClient(u"Bob Baker"_s, u"Carlton"_s);
    fixture.addQuote(bob, u"Finished fence"_s, u"C"_s);
    ModalDialogs::whenShown<TfrmOptions>([](TfrmOptions *options) {
        options->findChild<QCheckBox *>(u"chkHideQuotes"_s)->setChecked(true);
        options->showPage(TfrmOptions::QuotePage);
        typeInto(options, u"edQuotePrefix"_s, u"Q-"_s);
        typeInto(options, u"edQuoteNo"_s, u"500"_s);
        ModalDialogs::shoot(options, u"first-run-options"_s);
        click(options, u"btnOK"_s);
    });
    window->findChild<QAction *>(u"mniOptions"_s)->trigger();
    QVERIFY(dm->tblQuotes->filtered());

    // The New Quote wizard is not built yet: the quotes are made through the data module.
    QCOMPARE(fixture.addQuote(ann, u"Roof repair"_s), u"Q-500"_s);
    QCOMPARE(fixture.addQuote(bob, u"Gutters"_s), u"Q-501"_s);
    QCOMPARE(dm->tblQuotes->recordCount(), 2); // the finished one is hidden
    QCOMPARE(text(dm->tblQuotes, u"Quote_No"), u"Q-501"_s);

    // The finder, by the client's suburb, hands the quote to the browser.
    fixture.addJob(bob, u"Gutter job"_s); // with no job at all the lists are not filtered
    int listed = 0;
    QString found;
    ModalDialogs::whenShown<TfrmFinder>([&](TfrmFinder *finder) {
        auto *by = finder->findChild<QComboBox *>(u"cboSearchBy"_s);
        by->setCurrentIndex(by->findText(u"Suburb"_s));
        auto *box = finder->findChild<QLineEdit *>(u"edtSearch"_s);
        box->setFocus();
        QTest::keyClicks(box, u"Bruns"_s);
        listed = dm->tblCriteriaQuotes->recordCount();
        found = text(dm->tblCriteriaQuotes, u"Quote_No");
        ModalDialogs::shoot(finder, u"first-run-finder"_s);
        finder->findChild<QToolButton *>(u"btnSelect"_s)->click();
    });
    window->findChild<QAction *>(u"btnFind"_s)->trigger();
    QCOMPARE(listed, 1);
    QCOMPARE(found, u"Q-500"_s);
    QVERIFY(!window->jobsPageActive());
    QCOMPARE(text(dm->tblQuotes, u"Quote_No"), u"Q-500"_s);
    auto *grid = window->findChild<TQVDBGrid *>(u"grdQuotes"_s);
    QCOMPARE(grid->currentIndex().row(), grid->tableModel()->currentRow());
    QCOMPARE(grid->rowValue(grid->currentIndex().row(), u"Quote_No"_s).toString(), u"Q-500"_s);
    ModalDialogs::shoot(window.get(), u"first-run-found"_s);
    window->close();
}

// The wizard opens when the window is first shown and whenever one of the program's own windows
// hands the focus back, until it is finished; never on its own closing, never on coming back
// from another program.
void TestFirstRun::firstRunCheck()
{
    SetupFixture fixture;
    TDM *dm = fixture.start();
    int wizards = 0;
    bool finish = false;
    auto watch = ModalDialogs::everyTime<TfrmWizStartup>([&](TfrmWizStartup *wizard) {
        ++wizards;
        if (!finish) {
            click(wizard, u"btnCancel"_s);
            return;
        }
        for (int i = 1; i < TfrmWizStartup::PageCount; ++i)
            click(wizard, u"btnNext"_s);
        click(wizard, u"btnFinish"_s);
    });
    auto window = openMainWindow(dm);
    QTRY_COMPARE(wizards, 1);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    // Its own closing does not bring it back.
    QCoreApplication::processEvents();
    QCOMPARE(wizards, 1);

    // Coming back from another program asks nothing.
    QApplication::setActiveWindow(nullptr);
    QCoreApplication::processEvents();
    QApplication::setActiveWindow(window.get());
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QCoreApplication::processEvents();
    QCOMPARE(wizards, 1);

    // A dialog of the program's own closes: the check runs, and the wizard opens again.
    const auto aboutCloses = [] {
        ModalDialogs::whenShown<TfrmAbout>([](TfrmAbout *about) { about->accept(); });
    };
    aboutCloses();
    trigger(window.get(), u"mniAbout"_s);
    QTRY_COMPARE(wizards, 2);
    QTRY_VERIFY(!QApplication::activeModalWidget());

    // Finished once, it stays away.
    finish = true;
    aboutCloses();
    trigger(window.get(), u"mniAbout"_s);
    QTRY_COMPARE(wizards, 3);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QVERIFY(dm->ReadSettingFlag(u"Startup"_s, u"StartWiz"_s));
    aboutCloses();
    trigger(window.get(), u"mniAbout"_s);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCoreApplication::processEvents();
    QCOMPARE(wizards, 3);
    window->close();
}

void TestFirstRun::wiring_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<int>("page");
    QTest::newRow("Business Settings and Logo...")
        << u"mniBusinessSettings"_s << u"TfrmSetupCompany"_s << -1;
    QTest::newRow("Staff / Sales People...") << u"mniSales"_s << u"TfrmSales"_s << -1;
    QTest::newRow("Add New Sales Person") << u"btnAddSalesPerson"_s << u"TfrmSales"_s << -1;
    QTest::newRow("Options") << u"mniOptions"_s << u"TfrmOptions"_s << 0;
    QTest::newRow("Add Tax Rates") << u"btnChangeTaxRate"_s << u"TfrmOptions"_s << 1;
    QTest::newRow("Easy Startup Wizard, though finished")
        << u"mniStartupWizard"_s << u"TfrmWizStartup"_s << -1;
    QTest::newRow("Job-Quote Finder") << u"mniFinder"_s << u"TfrmFinder"_s << 0;
    QTest::newRow("Find") << u"btnFind"_s << u"TfrmFinder"_s << 0;
}

void TestFirstRun::wiring()
{
    QFETCH(QString, command);
    QFETCH(QString, dialog);
    QFETCH(int, page);
    SetupFixture fixture;
    TDM *dm = fixture.start();
    dm->WriteSettingFlag(u"Startup"_s, u"StartWiz"_s, true);
    auto window = openMainWindow(dm);
    QCOMPARE(window->findChild<QAction *>(u"mniOptions"_s)->shortcut(),
        QKeySequence(Qt::CTRL | Qt::Key_O));

    QString shown;
    int shownPage = -1;
    ModalDialogs::whenShown<QDialog>([&](QDialog *opened) {
        shown = QString::fromLatin1(opened->metaObject()->className());
        if (auto *pages = opened->findChild<TQVPageControl *>())
            shownPage = pages->currentIndex();
        opened->reject();
    });
    if (auto *action = window->findChild<QAction *>(command))
        action->trigger();
    else
        window->findChild<QToolButton *>(command)->click();
    QTRY_COMPARE(shown, dialog);
    QCOMPARE(shownPage, page);
    QVERIFY(dm->ReadSettingFlag(u"Startup"_s, u"StartWiz"_s));
    window->close();
}

int runFirstRunTests(int argc, char **argv)
{
    TestFirstRun test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_firstrun.moc"

#include "AppTests.h"
#include "Commands.h"
#include "MainWindowFixture.h"
#include "ModalDialogs.h"
#include "RecordValues.h"
#include "app/FormNewQuoteWiz.h"
#include "app/FormNewWiz.h"
#include "app/HelpWindow.h"
#include "controls/dataaware/FieldComboBox.h"
#include "controls/dataaware/FieldLineEdit.h"
#include "controls/dataaware/FieldLookupComboBox.h"
#include "controls/dataaware/TQVDBGridSrc.h"
#include "controls/window/MessageAnswers.h"
#include "controls/window/TQVPageControl.h"
#include "engine/Field.h"
#include "reference/FormClientMoreInfo.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cstdlib>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

// The sample business with counters that give the next quote "Q-11", the next job "J-5" and keys
// above the sample's own.
void openWithCounters(MainWindowFixture &fixture, const QString &quotesChange = {})
{
    fixture.addSampleData();
    if (!quotesChange.isEmpty())
        fixture.data.exec(u"Quotes.DB"_s, quotesChange);
    fixture.data.exec(u"PKey.DB"_s, u"UPDATE data SET CurrentKey = 1000"_s);
    fixture.data.exec(u"NxtQuote.db"_s, u"INSERT INTO data VALUES (1, 'Q-', 11, '')"_s);
    fixture.data.exec(u"NxtJob.db"_s, u"INSERT INTO data VALUES (1, 'J-', 5, '')"_s);
    fixture.open();
}

double counter(MainWindowFixture &fixture, bool jobs)
{
    return jobs ? fixture.data.peek(u"NxtJob.db"_s, u"SELECT NextJob FROM data"_s).toDouble()
                : fixture.data.peek(u"NxtQuote.db"_s, u"SELECT NextQuote FROM data"_s).toDouble();
}

int headers(MainWindowFixture &fixture, bool jobs)
{
    return fixture.data.peek(jobs ? u"Jobs.DB"_s : u"Quotes.DB"_s, u"SELECT COUNT(*) FROM data"_s)
        .toInt();
}

template <typename T> T *child(QWidget *wizard, const QString &name)
{
    T *found = wizard->findChild<T *>(name);
    if (!found)
        qWarning("no %s named %s", T::staticMetaObject.className(), qPrintable(name));
    return found;
}

void click(QWidget *wizard, const QString &button)
{
    QTest::mouseClick(child<QPushButton>(wizard, button), Qt::LeftButton);
    QCoreApplication::processEvents();
}

int page(QWidget *wizard)
{
    return child<TQVPageControl>(wizard, u"pageWizard"_s)->currentIndex();
}

// Chooses a list entry from the keyboard, as a user does.
bool choose(QComboBox *box, const QString &text)
{
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Home);
    for (int i = 0; i < box->count() && box->currentText() != text; ++i)
        QTest::keyClick(box, Qt::Key_Down);
    return box->currentText() == text;
}

// Clicks the quote's row in the job wizard's quote list.
bool pickQuote(QWidget *wizard, const QString &number)
{
    auto *grid = child<TQVDBGrid>(wizard, u"grdBasedQuote"_s);
    int row = 0;
    while (row < grid->model()->rowCount()
        && grid->model()->index(row, 0).data().toString() != number)
        ++row;
    if (row == grid->model()->rowCount())
        return false;
    const QModelIndex cell = grid->model()->index(row, 0);
    grid->scrollTo(cell);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
    return true;
}

void retype(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

} // namespace

class TestWizards : public QObject
{
    Q_OBJECT

private slots:
    void newQuote();
    void cancelDiscards_data();
    void cancelDiscards();
    void buttonRules_data();
    void buttonRules();
    void jobFromQuote();
    void jobTakesQuoteChosenLast_data();
    void jobTakesQuoteChosenLast();
    void refusedPost();
    void refusedJobPostCopiesOnce();
    void closeBoxKeepsRecord();
    void enterPressesFocusedButton_data();
    void enterPressesFocusedButton();
    void newClientButton();
    void screenshots();
};

void TestWizards::newQuote()
{
    MainWindowFixture fixture;
    openWithCounters(fixture);
    QAction *newQuote = fixture.find<QAction>(u"mniNewQuote"_s);
    QCOMPARE(newQuote->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    const bool driven = ModalDialogs::whileOpen<TfrmWiz>([&] { newQuote->trigger(); },
        [&](TfrmWiz *wizard) {
            QCOMPARE(wizard->windowTitle(), u"New Quote Wizard"_s);
            QCOMPARE(page(wizard), 0);
            click(wizard, u"btnNext"_s);
            QCOMPARE(child<FieldLineEdit>(wizard, u"edtNumber"_s)->text(), u"Q-11"_s);
            QCOMPARE(child<FieldComboBox>(wizard, u"cboStatus"_s)->currentText(), u"In Progress"_s);
            retype(child<FieldLineEdit>(wizard, u"edtDescription"_s), u"Kitchen refit"_s);
            QVERIFY(choose(child<FieldComboBox>(wizard, u"cboPriority"_s), u"Urgent"_s));
            QVERIFY(choose(child<FieldComboBox>(wizard, u"cboStatus"_s), u"Pending"_s));
            click(wizard, u"btnNext"_s);
            QVERIFY(choose(child<FieldLookupComboBox>(wizard, u"lkpContact"_s), u"Ann Archer"_s));
            // The other list follows the client picked in one.
            QCOMPARE(child<FieldLookupComboBox>(wizard, u"lkpCompany"_s)->currentText(),
                u"Archer Roofing"_s);
            click(wizard, u"btnNext"_s);
            click(wizard, u"btnFinish"_s);
            QVERIFY2(!wizard->isVisible(), qPrintable(MessageAnswers::lastText()));
        });
    QVERIFY(driven);
    TQVTable *quotes = fixture.dm->tblQuotes;
    QCOMPARE(quotes->state(), DataSetState::Browse);
    QCOMPARE(fixture.currentQuote(), u"Q-11"_s);
    QCOMPARE(counter(fixture, false), 12.0);
    const QString stored = u"SELECT QuoteDescription || '|' || Status || '|' || Priority || '|' || "
                           "Client_ID FROM data WHERE Quote_No = 'Q-11'"_s;
    QCOMPARE(fixture.data.peek(u"Quotes.DB"_s, stored).toString(), u"Kitchen refit|P|3.0|1.0"_s);
}

void TestWizards::cancelDiscards_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("startOnJobs");
    QTest::addColumn<bool>("jobs");
    QTest::addColumn<bool>("escape");
    QTest::newRow("menu Quote from the Jobs page, Cancel")
        << u"mniNewQuote"_s << true << false << false;
    QTest::newRow("menu Job from the Quotes page, Esc") << u"mniNewJob"_s << false << true << true;
    QTest::newRow("tool-bar New on Jobs stays there, Cancel")
        << u"SpeedButton3"_s << true << true << false;
    QTest::newRow("tool-bar New on Quotes, Esc") << u"SpeedButton3"_s << false << false << true;
}

void TestWizards::cancelDiscards()
{
    QFETCH(QString, command);
    QFETCH(bool, startOnJobs);
    QFETCH(bool, jobs);
    QFETCH(bool, escape);
    MainWindowFixture fixture;
    openWithCounters(fixture);
    auto *lists = fixture.find<TQVPageControl>(u"TBJobsQuotes"_s);
    lists->setCurrentIndex(startOnJobs ? 1 : 0);
    QCoreApplication::processEvents();
    const int before = headers(fixture, jobs);
    const double next = counter(fixture, jobs);

    const bool driven =
        ModalDialogs::whileOpen<TfrmWiz>([&] { fixture.find<QAction>(command)->trigger(); },
            [&](TfrmWiz *wizard) {
                QCOMPARE(wizard->objectName(), jobs ? u"frmNewJobWiz"_s : u"frmNewQuoteWiz"_s);
                QCOMPARE(lists->currentIndex(), jobs ? 1 : 0);
                click(wizard, u"btnNext"_s);
                if (escape)
                    QTest::keyClick(wizard, Qt::Key_Escape);
                else
                    click(wizard, u"btnCancel"_s);
                QVERIFY(!wizard->isVisible());
            });
    QVERIFY(driven);
    TQVTable *header = jobs ? fixture.dm->tblJobs : fixture.dm->tblQuotes;
    QCOMPARE(header->state(), DataSetState::Browse);
    QCOMPARE(headers(fixture, jobs), before);
    QCOMPARE(header->recordCount(), before);
    QCOMPARE(counter(fixture, jobs), next);
}

void TestWizards::buttonRules_data()
{
    QTest::addColumn<bool>("jobs");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("helpTopic");
    QTest::newRow("quote") << false << 4 << u"topic10.html"_s;
    QTest::newRow("job") << true << 5 << u"topic15.html"_s;
}

void TestWizards::buttonRules()
{
    QFETCH(bool, jobs);
    QFETCH(int, pages);
    QFETCH(QString, helpTopic);
    MainWindowFixture fixture;
    openWithCounters(fixture);
    TQVTable *header = jobs ? fixture.dm->tblJobs : fixture.dm->tblQuotes;
    header->insert();
    std::unique_ptr<TfrmWiz> wizard;
    if (jobs)
        wizard = std::make_unique<TfrmNewJobWiz>(fixture.dm.get(), fixture.window.get());
    else
        wizard = std::make_unique<TfrmNewQuoteWiz>(fixture.dm.get(), fixture.window.get());
    wizard->show();
    QVERIFY(QTest::qWaitForWindowExposed(wizard.get()));
    auto *previous = child<QPushButton>(wizard.get(), u"btnPrevious"_s);
    auto *next = child<QPushButton>(wizard.get(), u"btnNext"_s);
    auto *finish = child<QPushButton>(wizard.get(), u"btnFinish"_s);
    const auto enabled = [&] {
        return QList<bool> { previous->isEnabled(), next->isEnabled(), finish->isEnabled() };
    };

    QCOMPARE(child<QPushButton>(wizard.get(), u"btnCancel"_s)->text(), u"&Cancel"_s);
    QVERIFY(next->isDefault());
    QCOMPARE(page(wizard.get()), 0);
    QCOMPARE(enabled(), (QList<bool> { false, true, false }));
    // A new header opens "In Progress".
    QCOMPARE(text(header, u"Status"), u"I"_s);
    for (int i = 1; i < pages - 1; ++i) {
        click(wizard.get(), u"btnNext"_s);
        QCOMPARE(page(wizard.get()), i);
        QCOMPARE(enabled(), (QList<bool> { true, true, false }));
    }
    click(wizard.get(), u"btnNext"_s);
    QCOMPARE(page(wizard.get()), pages - 1);
    QCOMPARE(enabled(), (QList<bool> { true, false, true }));
    // Finish, once on, stays on going back.
    for (int i = pages - 2; i >= 0; --i) {
        click(wizard.get(), u"btnPrevious"_s);
        QCOMPARE(page(wizard.get()), i);
        QCOMPARE(enabled(), (QList<bool> { i > 0, true, true }));
    }
    // F1 away from any field shows the wizard's own topic.
    child<QPushButton>(wizard.get(), u"btnNext"_s)->setFocus();
    QTest::keyClick(wizard.get(), Qt::Key_F1);
    auto *help = wizard->findChild<HelpWindow *>();
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->currentTopic().fileName(), helpTopic);
    click(wizard.get(), u"btnCancel"_s);
    QCOMPARE(header->state(), DataSetState::Browse);
}

void TestWizards::jobFromQuote()
{
    MainWindowFixture fixture;
    openWithCounters(fixture);
    const auto quoteLines = [&] {
        return fixture.data
            .peek(u"QMat.DB"_s,
                u"SELECT COUNT(*) || '/' || SUM(TotalCharge) FROM data WHERE Quote_No = 'Q-1'"_s)
            .toString();
    };
    const QString linesBefore = quoteLines();
    QCOMPARE(fixture.find<QAction>(u"mniNewJob"_s)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_J));

    const bool driven =
        ModalDialogs::whileOpen<TfrmWiz>([&] { fixture.find<QAction>(u"mniNewJob"_s)->trigger(); },
            [&](TfrmWiz *wizard) {
                click(wizard, u"btnNext"_s);
                auto *based = child<QCheckBox>(wizard, u"chkQuote"_s);
                auto *grid = child<TQVDBGrid>(wizard, u"grdBasedQuote"_s);
                QVERIFY(!based->isChecked());
                QVERIFY(grid->isHidden());
                QTest::mouseClick(based, Qt::LeftButton, {}, QPoint(5, based->height() / 2));
                QVERIFY(based->isChecked());
                QVERIFY(grid->isVisible() && grid->isEnabled());
                int row = 0;
                while (row < grid->model()->rowCount()
                    && grid->model()->index(row, 0).data().toString() != u"Q-1"_s)
                    ++row;
                QVERIFY(row < grid->model()->rowCount());
                const QModelIndex cell = grid->model()->index(row, 0);
                grid->scrollTo(cell);
                QTest::mouseClick(
                    grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
                QCOMPARE(fixture.currentQuote(), u"Q-1"_s);

                click(wizard, u"btnNext"_s);
                auto *description = child<FieldLineEdit>(wizard, u"edtDescription"_s);
                QCOMPARE(description->text(), u"Roof repair"_s);
                TQVTable *job = fixture.dm->tblJobs;
                QCOMPARE(text(job, u"Status"), u"P"_s);
                QCOMPARE(number(job, u"Priority"), 5.0);
                QCOMPARE(number(job, u"Client_ID"), 1.0);
                // Next with the box still checked takes the quote's description again.
                retype(description, u"Something else"_s);
                click(wizard, u"btnNext"_s);
                QCOMPARE(text(job, u"JobDescription"), u"Roof repair"_s);
                QCOMPARE(child<FieldLookupComboBox>(wizard, u"lkpContact"_s)->currentText(),
                    u"Ann Archer"_s);
                click(wizard, u"btnNext"_s);
                click(wizard, u"btnFinish"_s);
                QVERIFY(!wizard->isVisible());
            });
    QVERIFY(driven);
    QCOMPARE(fixture.find<TQVPageControl>(u"TBJobsQuotes"_s)->currentIndex(), 1);
    QCOMPARE(fixture.dm->tblJobs->state(), DataSetState::Browse);
    QCOMPARE(fixture.currentJob(), u"J-5"_s);
    // The main window's line grids follow the new job.
    QCOMPARE(fixture.find<TQVDBGrid>(u"grdMaterials"_s)->model()->rowCount(), 2);
    QCOMPARE(fixture.find<TQVDBGrid>(u"grdLabour"_s)->model()->rowCount(), 1);
    QCOMPARE(counter(fixture, true), 6.0);
    QCOMPARE(fixture.data
                 .peek(u"JobMat.db"_s,
                     u"SELECT group_concat(MaterialCode || '=' || TotalCharge, ',') FROM "
                     "(SELECT * FROM data WHERE Job_No = 'J-5' ORDER BY MaterialCode)"_s)
                 .toString(),
        u"NAIL=50.0,TILE=100.0"_s);
    QCOMPARE(fixture.data
                 .peek(u"JobLab.db"_s,
                     u"SELECT Labour_Code || '=' || Hours || '*' || Hourly_Rate || '=' || "
                     "TotalCharge FROM data WHERE Job_No = 'J-5'"_s)
                 .toString(),
        u"ROOF=2.0*40.0=80.0"_s);
    QCOMPARE(fixture.data
                 .peek(u"Jobs.DB"_s,
                     u"SELECT TotalMaterials || '/' || TotalLabour || '|' || JobDescription || "
                     "'|' || Client_ID FROM data WHERE Job_No = 'J-5'"_s)
                 .toString(),
        u"150.0/80.0|Roof repair|1.0"_s);
    QCOMPARE(quoteLines(), linesBefore);
}

void TestWizards::jobTakesQuoteChosenLast_data()
{
    QTest::addColumn<QString>("first"); // the quote chosen before going on
    QTest::newRow("the only quote chosen") << u"Q-2"_s;
    QTest::newRow("another chosen, then back to this one") << u"Q-1"_s;
}

// The job takes everything from the quote chosen last, priced as quoted: description, client,
// lines, tax rate, discount and sales person.
void TestWizards::jobTakesQuoteChosenLast()
{
    QFETCH(QString, first);
    MainWindowFixture fixture;
    openWithCounters(fixture,
        u"UPDATE data SET TaxRate = 12.5, Discount = 5, TotalSalesTax = 4.375, "
        "SalesPerson = 'Pat' WHERE Quote_No = 'Q-2'"_s);
    const bool driven =
        ModalDialogs::whileOpen<TfrmWiz>([&] { fixture.find<QAction>(u"mniNewJob"_s)->trigger(); },
            [&](TfrmWiz *wizard) {
                click(wizard, u"btnNext"_s);
                auto *based = child<QCheckBox>(wizard, u"chkQuote"_s);
                QTest::mouseClick(based, Qt::LeftButton, {}, QPoint(5, based->height() / 2));
                QVERIFY(pickQuote(wizard, first));
                for (int i = 0; i < 3; ++i)
                    click(wizard, u"btnNext"_s);
                if (first != u"Q-2"_s) {
                    for (int i = 0; i < 3; ++i)
                        click(wizard, u"btnPrevious"_s);
                    QVERIFY(pickQuote(wizard, u"Q-2"_s));
                }
                click(wizard, u"btnFinish"_s);
                QVERIFY(!wizard->isVisible());
            });
    QVERIFY(driven);
    QCOMPARE(fixture.data
                 .peek(u"Jobs.DB"_s,
                     u"SELECT JobDescription || '|' || Client_ID || '|' || TaxRate || '|' || "
                     "Discount || '|' || SalesPerson || '|' || TotalSalesTax || '|' || "
                     "(JobTotal - Discount + TotalSalesTax) FROM data WHERE Job_No = 'J-5'"_s)
                 .toString(),
        u"Gutter clean|2.0|12.5|5.0|Pat|4.375|39.375"_s);
    QCOMPARE(fixture.data
                 .peek(u"JobMat.db"_s,
                     u"SELECT group_concat(MaterialCode, ',') FROM data WHERE Job_No = 'J-5'"_s)
                 .toString(),
        u"BRUSH"_s);
}

void TestWizards::refusedPost()
{
    MainWindowFixture fixture;
    openWithCounters(fixture);
    TQVTable *quotes = fixture.dm->tblQuotes;
    quotes->insert();
    TfrmNewQuoteWiz wizard(fixture.dm.get(), fixture.window.get());
    wizard.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wizard));
    click(&wizard, u"btnNext"_s);
    retype(child<FieldLineEdit>(&wizard, u"edtNumber"_s), QString());
    retype(child<FieldLineEdit>(&wizard, u"edtDescription"_s), u"Kept text"_s);
    click(&wizard, u"btnNext"_s);
    click(&wizard, u"btnNext"_s);
    MessageAnswers::clear();
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
    click(&wizard, u"btnFinish"_s);

    QCOMPARE(MessageAnswers::shown().size(), 1);
    QCOMPARE(MessageAnswers::shown().constFirst().icon, QMessageBox::Critical);
    QVERIFY2(
        MessageAnswers::lastText().contains(u"number"_s), qPrintable(MessageAnswers::lastText()));
    QVERIFY(wizard.isVisible());
    QCOMPARE(page(&wizard), 3);
    QVERIFY(child<QPushButton>(&wizard, u"btnFinish"_s)->isEnabled());
    QCOMPARE(quotes->state(), DataSetState::Insert);
    QCOMPARE(text(quotes, u"QuoteDescription"), u"Kept text"_s);
    QCOMPARE(counter(fixture, false), 11.0);

    // Given a number, the same Finish stores the quote.
    click(&wizard, u"btnPrevious"_s);
    click(&wizard, u"btnPrevious"_s);
    retype(child<FieldLineEdit>(&wizard, u"edtNumber"_s), u"Q-77"_s);
    click(&wizard, u"btnNext"_s);
    click(&wizard, u"btnNext"_s);
    click(&wizard, u"btnFinish"_s);
    QVERIFY2(!wizard.isVisible(), qPrintable(MessageAnswers::lastText()));
    QCOMPARE(quotes->state(), DataSetState::Browse);
    QCOMPARE(
        fixture.data
            .peek(u"Quotes.DB"_s, u"SELECT QuoteDescription FROM data WHERE Quote_No = 'Q-77'"_s)
            .toString(),
        u"Kept text"_s);
}

void TestWizards::refusedJobPostCopiesOnce()
{
    MainWindowFixture fixture;
    openWithCounters(fixture);
    fixture.dm->tblQuotes->first(); // Q-1, with two material lines and one labour line
    QCOMPARE(fixture.currentQuote(), u"Q-1"_s);
    TQVTable *jobs = fixture.dm->tblJobs;
    jobs->insert();
    TfrmNewJobWiz wizard(fixture.dm.get(), fixture.window.get());
    wizard.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wizard));
    click(&wizard, u"btnNext"_s);
    QTest::mouseClick(child<QCheckBox>(&wizard, u"chkQuote"_s), Qt::LeftButton, {}, QPoint(5, 5));
    retype(child<FieldLineEdit>(&wizard, u"edtJobNo"_s), QString());
    for (int i = 0; i < 3; ++i)
        click(&wizard, u"btnNext"_s);
    MessageAnswers::clear();
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
    click(&wizard, u"btnFinish"_s);
    QVERIFY(wizard.isVisible());
    QVERIFY(MessageAnswers::lastText().contains(u"number"_s));
    QCOMPARE(jobs->state(), DataSetState::Insert);

    // Given a number, Finish copies the lines once, whatever the refused attempt left behind.
    click(&wizard, u"btnPrevious"_s);
    click(&wizard, u"btnPrevious"_s);
    retype(child<FieldLineEdit>(&wizard, u"edtNumber"_s), u"J-77"_s);
    click(&wizard, u"btnNext"_s);
    click(&wizard, u"btnNext"_s);
    click(&wizard, u"btnFinish"_s);
    QVERIFY2(!wizard.isVisible(), qPrintable(MessageAnswers::lastText()));
    const auto lines = [&](const QString &file) {
        return fixture.data
            .peek(file,
                u"SELECT COUNT(*) || '/' || TOTAL(TotalCharge) FROM data WHERE Job_No = 'J-77'"_s)
            .toString();
    };
    QCOMPARE(lines(u"JobMat.db"_s), u"2/150.0"_s);
    QCOMPARE(lines(u"JobLab.db"_s), u"1/80.0"_s);
    QCOMPARE(
        fixture.data.peek(u"JobMat.db"_s, u"SELECT COUNT(*) FROM data WHERE Job_No = ''"_s).toInt(),
        0);
    QCOMPARE(
        fixture.data
            .peek(u"Jobs.DB"_s,
                u"SELECT TotalMaterials || '/' || TotalLabour FROM data WHERE Job_No = 'J-77'"_s)
            .toString(),
        u"150.0/80.0"_s);
}

void TestWizards::closeBoxKeepsRecord()
{
    MainWindowFixture fixture;
    openWithCounters(fixture);
    TQVTable *quotes = fixture.dm->tblQuotes;
    quotes->insert();
    {
        TfrmNewQuoteWiz wizard(fixture.dm.get(), fixture.window.get());
        wizard.show();
        QVERIFY(QTest::qWaitForWindowExposed(&wizard));
        wizard.close();
        QVERIFY(!wizard.isVisible());
    }
    // The new quote waits, unsaved, for the main window's Save.
    QCOMPARE(quotes->state(), DataSetState::Insert);
    fixture.find<QAction>(u"btnSaveJobQuote"_s)->trigger();
    QCOMPARE(quotes->state(), DataSetState::Browse);
    QCOMPARE(fixture.currentQuote(), u"Q-11"_s);
    QCOMPARE(counter(fixture, false), 12.0);
}

void TestWizards::enterPressesFocusedButton_data()
{
    QTest::addColumn<int>("nexts");
    QTest::addColumn<QString>("focus"); // empty: where the wizard put it
    QTest::addColumn<QString>("after"); // a page, or how the wizard ended
    QTest::newRow("on Cancel cancels") << 1 << u"btnCancel"_s << u"cancelled"_s;
    QTest::newRow("on Previous goes back") << 2 << u"btnPrevious"_s << u"page 1"_s;
    QTest::newRow("in a field goes on") << 1 << u"edtDescription"_s << u"page 2"_s;
    QTest::newRow("on the last page finishes") << 3 << QString() << u"finished"_s;
    QTest::newRow("on the last page again finishes") << -3 << u"pageWizard"_s << u"finished"_s;
}

void TestWizards::enterPressesFocusedButton()
{
    QFETCH(int, nexts);
    QFETCH(QString, focus);
    QFETCH(QString, after);
    MainWindowFixture fixture;
    openWithCounters(fixture);
    fixture.dm->tblQuotes->insert();
    TfrmNewQuoteWiz wizard(fixture.dm.get(), fixture.window.get());
    wizard.show();
    QVERIFY(QTest::qWaitForWindowExposed(&wizard));
    for (int i = 0; i < std::abs(nexts); ++i)
        click(&wizard, u"btnNext"_s);
    if (nexts < 0) { // back from the last page and on to it again
        click(&wizard, u"btnPrevious"_s);
        click(&wizard, u"btnNext"_s);
    }
    if (!focus.isEmpty())
        child<QWidget>(&wizard, focus)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCoreApplication::processEvents();
    const QString ended = wizard.result() == QDialog::Accepted ? u"finished"_s : u"cancelled"_s;
    QCOMPARE(wizard.isVisible() ? u"page %1"_s.arg(page(&wizard)) : ended, after);
    QCOMPARE(fixture.dm->tblQuotes->state(),
        wizard.isVisible() ? DataSetState::Insert : DataSetState::Browse);
    QCOMPARE(headers(fixture, false), 4 + (after == u"finished"_s ? 1 : 0));
    if (wizard.isVisible())
        click(&wizard, u"btnCancel"_s);
}

void TestWizards::newClientButton()
{
    MainWindowFixture fixture;
    openWithCounters(fixture);
    fixture.dm->tblJobs->insert();
    TfrmNewJobWiz wizard(fixture.dm.get(), fixture.window.get());
    wizard.show();
    auto *add = child<QToolButton>(&wizard, u"btnAddClient"_s);
    QCOMPARE(add->text(), u"Add New Clients"_s);
    // The main window's command opens the client window on a new client, over the wizard.
    QWidget *clientOpener = nullptr;
    bool newClient = false;
    ModalDialogs::whenShown<TfrmClient>([&](TfrmClient *client) {
        clientOpener = client->parentWidget();
        newClient = fixture.dm->tblClients->state() == DataSetState::Insert;
        trigger(client, u"btnCancel"_s);
    });
    add->click();
    QCOMPARE(clientOpener, &wizard);
    QVERIFY(newClient);
    QCOMPARE(fixture.dm->tblJobs->state(), DataSetState::Insert);
    click(&wizard, u"btnCancel"_s);
}

// Not a check: with TESSORIN_SCREENSHOTS naming a folder, saves every page of both wizards as PNG
// files there for a person to look at.
void TestWizards::screenshots()
{
    const QString folder = qEnvironmentVariable("TESSORIN_SCREENSHOTS");
    if (folder.isEmpty())
        QSKIP("TESSORIN_SCREENSHOTS is not set");
    MainWindowFixture fixture;
    openWithCounters(fixture);
    for (const bool jobs : { false, true }) {
        TQVTable *header = jobs ? fixture.dm->tblJobs : fixture.dm->tblQuotes;
        header->insert();
        std::unique_ptr<TfrmWiz> wizard;
        if (jobs)
            wizard = std::make_unique<TfrmNewJobWiz>(fixture.dm.get(), fixture.window.get());
        else
            wizard = std::make_unique<TfrmNewQuoteWiz>(fixture.dm.get(), fixture.window.get());
        wizard->show();
        QTest::qWait(200);
        const int pages = wizard->pageWizard()->count();
        for (int i = 0; i < pages; ++i) {
            if (jobs && i == 1)
                child<QCheckBox>(wizard.get(), u"chkQuote"_s)->setChecked(true);
            QTest::qWait(100);
            QVERIFY(wizard->grab().save(
                folder + u"/%1-wizard-page%2.png"_s.arg(jobs ? u"job"_s : u"quote"_s).arg(i + 1)));
            click(wizard.get(), u"btnNext"_s);
        }
        click(wizard.get(), u"btnCancel"_s);
    }
}

int runWizardTests(int argc, char **argv)
{
    TestWizards test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_wizards.moc"

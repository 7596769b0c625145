#include "AppTests.h"
#include "DemoCommand.h"
#include "MainWindowFixture.h"
#include "ModalDialogs.h"
#include "RecordValues.h"
#include "app/FormAbout.h"
#include "app/FormSplash.h"
#include "app/JobQuoteLists.h"
#include "controls/dataaware/FieldLineEdit.h"
#include "controls/dataaware/FieldLookupComboBox.h"
#include "controls/dataaware/FieldSpinBox.h"
#include "controls/dataaware/TQVDBGridSrc.h"
#include "controls/dataaware/TQVDBRichEdit.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "controls/window/MessageAnswers.h"
#include "controls/window/TQVPageControl.h"
#include "engine/Field.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// What the detail pages must show for one quote or job.
struct Shown
{
    QString number;
    int materialLines;
    int labourLines;
    QString grandTotal;
    QString contact;
    QString salesPerson;
    QString notes;
    bool percentShown;
};

void showPage(MainWindowFixture &fixture, bool jobs)
{
    fixture.find<TQVPageControl>(u"TBJobsQuotes"_s)->setCurrentIndex(jobs ? 1 : 0);
    QCoreApplication::processEvents();
}

int rows(MainWindowFixture &fixture, const QString &grid)
{
    return fixture.find<TQVDBGrid>(grid)->model()->rowCount();
}

QString storedDescription(MainWindowFixture &fixture, const QString &number)
{
    return fixture.data
        .peek(u"Quotes.DB"_s,
            u"SELECT QuoteDescription FROM data WHERE Quote_No = '%1'"_s.arg(number))
        .toString();
}

} // namespace

class TestBrowser : public QObject
{
    Q_OBJECT

private slots:
    void pageSwitchFollowsEachHeader();
    void priorityOrder();
    void changedDescriptionIsPosted_data();
    void changedDescriptionIsPosted();
    void statusColours_data();
    void statusColours();
    void nextAndPreviousStopAtTheEnds();
    void searchBox_data();
    void searchBox();
    void finderChoice_data();
    void finderChoice();
    void linesStayWhileALineIsEdited();
    void slidingPanels();
    void deleteQuote_data();
    void deleteQuote();
    void deleteOnEmptyLists();
    void anotherCopysChangesAreShown();
    void deleteMaterialLine_data();
    void deleteMaterialLine();
    void currentLineStaysWhenAnotherQuoteIsSaved();
    void datesAndTotalsShowWhole_data();
    void keysLeaveTheLists_data();
    void keysLeaveTheLists();
    void printOpensOnTheDocumentShown_data();
    void printOpensOnTheDocumentShown();
    void datesAndTotalsShowWhole();
    void screenshots();

private:
    void checkShown(MainWindowFixture &fixture, const Shown &expected);
};

void TestBrowser::checkShown(MainWindowFixture &fixture, const Shown &expected)
{
    QCOMPARE(fixture.find<FieldLineEdit>(u"eNo"_s)->text(), expected.number);
    QCOMPARE(rows(fixture, u"grdMaterials"_s), expected.materialLines);
    QCOMPARE(rows(fixture, u"grdLabour"_s), expected.labourLines);
    QVERIFY2(fixture.find<QLabel>(u"lblGrandTotal"_s)->text().contains(expected.grandTotal),
        qPrintable(fixture.find<QLabel>(u"lblGrandTotal"_s)->text()));
    QVERIFY(fixture.find<QLabel>(u"lblGrandTotal2"_s)->text().contains(expected.grandTotal));
    QCOMPARE(fixture.find<FieldLineEdit>(u"feContact"_s)->text(), expected.contact);
    QCOMPARE(
        fixture.find<FieldLookupComboBox>(u"DBSalesPerson"_s)->currentText(), expected.salesPerson);
    QCOMPARE(fixture.find<TQVDBRichEdit>(u"memNotes"_s)->toPlainText(), expected.notes);
    QCOMPARE(fixture.find<QComboBox>(u"feTaxRate"_s)->currentText(), u"10"_s);
    QCOMPARE(!fixture.find<QWidget>(u"fePercent"_s)->isHidden(), expected.percentShown);
    QCOMPARE(!fixture.find<QWidget>(u"progProgress"_s)->isHidden(), expected.percentShown);
    QCOMPARE(!fixture.find<QWidget>(u"lblProgress"_s)->isHidden(), expected.percentShown);
    QCOMPARE(!fixture.find<QWidget>(u"cboJobSearch"_s)->isHidden(), expected.percentShown);
    QCOMPARE(fixture.find<QWidget>(u"cboQuoteSearch"_s)->isHidden(), expected.percentShown);
}

void TestBrowser::pageSwitchFollowsEachHeader()
{
    MainWindowFixture fixture;
    fixture.addSampleData();
    fixture.open();
    const Shown quote { u"Q-1"_s, 2, 1, u"245.00"_s, u"Ann Archer"_s, u"Sam"_s, u"Notes of Q-1"_s,
        false };
    const Shown job { u"J-1"_s, 1, 0, u"330.00"_s, u"Bob Baker"_s, u"Kim"_s, u"Notes of J-1"_s,
        true };
    checkShown(fixture, quote);
    showPage(fixture, true);
    checkShown(fixture, job);
    QCOMPARE(fixture.find<FieldSpinBox>(u"fePercent"_s)->value(), 30.0);
    showPage(fixture, false);
    checkShown(fixture, quote);
    QVERIFY(fixture.find<FieldSpinBox>(u"fePercent"_s)->dataField().isEmpty());

    // Moving in a list takes the pages with it.
    fixture.dm->tblQuotes->next();
    checkShown(fixture,
        { u"Q-2"_s, 1, 0, u"44.00"_s, u"Bob Baker"_s, u"Sam"_s, u"Notes of Q-2"_s, false });
}

void TestBrowser::priorityOrder()
{
    MainWindowFixture fixture;
    fixture.addSampleData();
    fixture.open();
    auto *menu = fixture.find<QAction>(u"mniSortPriority"_s);
    auto *toggle = fixture.find<QAction>(u"btnSortPrior"_s);
    TQVTable *quotes = fixture.dm->tblQuotes;
    TQVTable *jobs = fixture.dm->tblJobs;
    QVERIFY(!toggle->isChecked());
    QCOMPARE(quotes->indexName(), QString());

    fixture.dm->tblQuotes->next();
    menu->trigger();
    QVERIFY(menu->isChecked());
    QVERIFY(toggle->isChecked());
    QCOMPARE(quotes->indexName(), u"PriorQuoteNo"_s);
    QCOMPARE(fixture.currentQuote(), u"Q-2"_s); // the order changes, the record stays
    menu->trigger();
    QVERIFY(!menu->isChecked());
    QVERIFY(!toggle->isChecked());
    QCOMPARE(quotes->indexName(), QString());

    // The toggle alone leaves the menu's check mark as it was.
    toggle->trigger();
    QVERIFY(toggle->isChecked());
    QVERIFY(!menu->isChecked());
    QCOMPARE(quotes->indexName(), u"PriorQuoteNo"_s);
    quotes->first();
    QCOMPARE(fixture.currentQuote(), u"Q-10"_s);

    // The jobs take the order when their page shows; releasing it there leaves the quotes alone.
    showPage(fixture, true);
    QCOMPARE(jobs->indexName(), u"PriorJobNo"_s);
    jobs->first();
    QCOMPARE(fixture.currentJob(), u"J-2"_s);
    toggle->trigger();
    QCOMPARE(jobs->indexName(), QString());
    QCOMPARE(quotes->indexName(), u"PriorQuoteNo"_s);
    showPage(fixture, false);
    QCOMPARE(quotes->indexName(), QString());
}

void TestBrowser::changedDescriptionIsPosted_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("current");
    QTest::addColumn<int>("materialLines");
    QTest::newRow("scrolling to the next quote") << u"next"_s << u"Q-2"_s << 1;
    QTest::newRow("switching to Jobs and back") << u"pages"_s << u"Q-1"_s << 2;
    QTest::newRow("Save") << u"save"_s << u"Q-1"_s << 2;
    QTest::newRow("Ctrl+S") << u"ctrl+s"_s << u"Q-1"_s << 2;
}

void TestBrowser::changedDescriptionIsPosted()
{
    QFETCH(QString, how);
    QFETCH(QString, current);
    QFETCH(int, materialLines);
    MainWindowFixture fixture;
    fixture.addSampleData();
    fixture.open();
    auto *description = fixture.find<FieldLineEdit>(u"feDescription"_s);
    fixture.find<TQVPageControl>(u"pageDetails"_s)->setCurrentIndex(0);
    fixture.window->activateWindow();
    description->setFocus();
    QTRY_VERIFY(description->hasFocus());
    description->selectAll();
    QTest::keyClicks(description, u"New roof"_s);
    QCOMPARE(fixture.dm->tblQuotes->state(), DataSetState::Edit);

    if (how == u"next"_s) {
        fixture.trigger(u"btnNext"_s);
    } else if (how == u"pages"_s) {
        showPage(fixture, true);
        showPage(fixture, false);
    } else if (how == u"ctrl+s"_s) {
        QTest::keyClick(description, Qt::Key_S, Qt::ControlModifier);
    } else {
        fixture.trigger(u"btnSaveJobQuote"_s);
    }
    QCOMPARE(fixture.dm->tblQuotes->state(), DataSetState::Browse);
    QCOMPARE(storedDescription(fixture, u"Q-1"_s), u"New roof"_s);
    QCOMPARE(fixture.currentQuote(), current);
    QCOMPARE(rows(fixture, u"grdMaterials"_s), materialLines);
    QCOMPARE(MessageAnswers::shown().size(), 0);
}

void TestBrowser::statusColours_data()
{
    QTest::addColumn<QString>("status");
    QTest::addColumn<QColor>("colour");
    const QColor unchanged(0, 128, 0);
    QTest::newRow("in progress is blue") << u"I"_s << QColor(0, 0, 255);
    QTest::newRow("hold is purple") << u"H"_s << QColor(128, 0, 128);
    QTest::newRow("completed is black") << u"C"_s << QColor(0, 0, 0);
    QTest::newRow("pending is red") << u"P"_s << QColor(255, 0, 0);
    QTest::newRow("another letter keeps the column's colour") << u"X"_s << unchanged;
    QTest::newRow("no status keeps the column's colour") << QString() << unchanged;
}

void TestBrowser::statusColours()
{
    QFETCH(QString, status);
    QFETCH(QColor, colour);
    MainWindowFixture fixture;
    fixture.addSampleData();
    const QString value = status.isNull() ? u"NULL"_s : u"'%1'"_s.arg(status);
    fixture.data.exec(
        u"Quotes.DB"_s, u"UPDATE data SET Status = %1 WHERE Quote_No = 'Q-3'"_s.arg(value));
    fixture.data.exec(
        u"Jobs.DB"_s, u"UPDATE data SET Status = %1 WHERE Job_No = 'J-2'"_s.arg(value));
    fixture.open();
    for (const QString &name : { u"grdQuotes"_s, u"grdJobs"_s }) {
        auto *grid = fixture.find<TQVDBGrid>(name);
        // Every column of the row takes the colour.
        for (int column = 0; column < grid->model()->columnCount(); ++column) {
            FieldCell cell;
            cell.textColor = QColor(0, 128, 0);
            cell.background = Qt::white;
            grid->prepareCell(name == u"grdQuotes"_s ? 2 : 1, column, cell);
            QCOMPARE(cell.textColor, colour);
            QCOMPARE(cell.background, QColor(Qt::white));
        }
    }
}

void TestBrowser::nextAndPreviousStopAtTheEnds()
{
    MainWindowFixture fixture;
    fixture.addSampleData();
    fixture.open();
    fixture.trigger(u"btnPrev"_s);
    QCOMPARE(fixture.currentQuote(), u"Q-1"_s);
    fixture.trigger(u"btnNext"_s);
    QCOMPARE(fixture.currentQuote(), u"Q-2"_s);
    fixture.dm->tblQuotes->last();
    fixture.trigger(u"btnNext"_s);
    QCOMPARE(fixture.currentQuote(), u"Q-10"_s);
    QCOMPARE(rows(fixture, u"grdMaterials"_s), 0);
    fixture.find<QAction>(u"mniPrevious"_s)->trigger();
    QCOMPARE(fixture.currentQuote(), u"Q-3"_s);
    QCOMPARE(MessageAnswers::shown().size(), 0);
}

void TestBrowser::searchBox_data()
{
    QTest::addColumn<bool>("jobs");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("current");
    QTest::newRow("a whole number") << false << u"Q-3"_s << u"Q-3"_s;
    QTest::newRow("case aside") << false << u"q-2"_s << u"Q-2"_s;
    QTest::newRow("the first of several that start alike") << false << u"Q-1"_s << u"Q-1"_s;
    QTest::newRow("no match goes to the next number") << false << u"Q-15"_s << u"Q-2"_s;
    QTest::newRow("nothing after the text stays put") << false << u"Z"_s << u"Q-3"_s;
    QTest::newRow("jobs") << true << u"J-2"_s << u"J-2"_s;
}

void TestBrowser::searchBox()
{
    QFETCH(bool, jobs);
    QFETCH(QString, typed);
    QFETCH(QString, current);
    MainWindowFixture fixture;
    fixture.addSampleData();
    fixture.open();
    if (jobs)
        showPage(fixture, true);
    else
        fixture.dm->tblQuotes->findKey({ 3.0 }); // start on Q-3
    auto *box = fixture.find<QComboBox>(jobs ? u"cboJobSearch"_s : u"cboQuoteSearch"_s);
    QTest::keyClicks(box->lineEdit(), typed);
    QCOMPARE(jobs ? fixture.currentJob() : fixture.currentQuote(), current);
    QCOMPARE(MessageAnswers::shown().size(), 0);
}

void TestBrowser::finderChoice_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<double>("key");
    QTest::addColumn<bool>("sorted");
    QTest::addColumn<bool>("jobsPage");
    QTest::addColumn<QString>("current");
    QTest::newRow("a quote") << u"Quotes"_s << 2.0 << false << false << u"Q-2"_s;
    QTest::newRow("a job") << u"Jobs"_s << 22.0 << false << true << u"J-2"_s;
    QTest::newRow("closed without a choice goes to the jobs")
        << QString() << 0.0 << false << true << u"J-1"_s;
    QTest::newRow("a key that is not there stays")
        << u"Quotes"_s << 99.0 << false << false << u"Q-1"_s;
    QTest::newRow("priority order comes back") << u"Quotes"_s << 3.0 << true << false << u"Q-3"_s;
}

void TestBrowser::finderChoice()
{
    QFETCH(QString, kind);
    QFETCH(double, key);
    QFETCH(bool, sorted);
    QFETCH(bool, jobsPage);
    QFETCH(QString, current);
    MainWindowFixture fixture;
    fixture.addSampleData();
    fixture.open();
    if (sorted) {
        fixture.find<QAction>(u"btnSortPrior"_s)->trigger();
        fixture.dm->tblQuotes->first();
    } else if (!jobsPage) {
        showPage(fixture, true); // the finder brings the quotes back
    }
    fixture.window->FinderChoice(kind, key);
    QCOMPARE(fixture.window->jobsPageActive(), jobsPage);
    QCOMPARE(jobsPage ? fixture.currentJob() : fixture.currentQuote(), current);
    QCOMPARE(fixture.dm->tblQuotes->indexName(), sorted ? u"PriorQuoteNo"_s : QString());
    QCOMPARE(fixture.find<FieldLineEdit>(u"eNo"_s)->text(), current);
}

void TestBrowser::linesStayWhileALineIsEdited()
{
    MainWindowFixture fixture;
    fixture.addSampleData();
    fixture.open();
    // As a line dialog has it: the header and the line in edit.
    TQVTable *lines = fixture.dm->tblQuotesMaterial;
    fixture.dm->tblQuotes->edit();
    lines->edit();
    fixture.trigger(u"btnNext"_s);
    QCOMPARE(fixture.currentQuote(), u"Q-2"_s);
    QCOMPARE(lines->filter(), u"Quote_No = 'Q-1'"_s);
    QCOMPARE(rows(fixture, u"grdMaterials"_s), 2);
    QCOMPARE(lines->state(), DataSetState::Edit);
}

void TestBrowser::slidingPanels()
{
    MainWindowFixture fixture;
    fixture.open();
    auto *search = fixture.find<QWidget>(u"panSearch"_s);
    auto *summary = fixture.find<QWidget>(u"panSummary"_s);
    auto *menu = fixture.find<QAction>(u"mniQuickSearch"_s);
    auto *toggle = fixture.find<QAction>(u"btnSearch"_s);
    QCOMPARE(search->height(), 1);
    QCOMPARE(summary->height(), 1);

    menu->trigger();
    QCOMPARE(search->height(), 40);
    QVERIFY(toggle->isChecked());
    menu->trigger();
    QCOMPARE(search->height(), 0);
    QVERIFY(!toggle->isChecked());
    toggle->trigger();
    QCOMPARE(search->height(), 40);
    QVERIFY(!menu->isChecked());

    auto *summaryToggle = fixture.find<QToolButton>(u"btnSummary"_s);
    summaryToggle->click();
    QCOMPARE(summary->height(), 60);
    summaryToggle->click();
    QCOMPARE(summary->height(), 0);
}

void TestBrowser::deleteQuote_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("No deletes nothing") << false;
    QTest::newRow("Yes deletes the quote and all its lines") << true;
}

void TestBrowser::deleteQuote()
{
    QFETCH(bool, yes);
    MainWindowFixture fixture;
    fixture.addSampleData();
    fixture.open();
    MessageAnswers::setNextAnswer(yes ? QMessageBox::Yes : QMessageBox::No);
    fixture.trigger(u"btnDelete"_s);
    QCOMPARE(MessageAnswers::lastText(), u"Delete this Quote?"_s);
    const auto count = [&](const QString &file) {
        return fixture.data.peek(file, u"SELECT COUNT(*) FROM data WHERE Quote_No = 'Q-1'"_s)
            .toInt();
    };
    QCOMPARE(count(u"Quotes.DB"_s), yes ? 0 : 1);
    QCOMPARE(count(u"QMat.DB"_s), yes ? 0 : 2);
    QCOMPARE(count(u"QLab.db"_s), yes ? 0 : 1);
    QCOMPARE(fixture.currentQuote(), yes ? u"Q-2"_s : u"Q-1"_s);
    QCOMPARE(rows(fixture, u"grdMaterials"_s), yes ? 1 : 2);
}

void TestBrowser::deleteOnEmptyLists()
{
    // Nothing to delete: each command says so and nothing is stored.
    MainWindowFixture fixture;
    fixture.open();
    for (bool jobs : { false, true }) {
        showPage(fixture, jobs);
        MessageAnswers::clear();
        MessageAnswers::setDefaultAnswer(QMessageBox::Yes);
        fixture.trigger(u"btnDelete"_s);
        QCOMPARE(MessageAnswers::lastText(),
            jobs ? u"Jobs.DB: Cannot perform this operation on an empty dataset"_s
                 : u"Quotes.DB: Cannot perform this operation on an empty dataset"_s);
        fixture.trigger(u"btnDeleteMaterials"_s);
        QCOMPARE(MessageAnswers::lastText(),
            jobs ? u"There are no materials in this Job To Delete"_s
                 : u"There are no materials in this Quote to delete"_s);
        fixture.window->activeHeader()->cancel();
    }
    QCOMPARE(fixture.data.peek(u"Quotes.DB"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 0);
    QCOMPARE(fixture.data.peek(u"Jobs.DB"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 0);
}

void TestBrowser::anotherCopysChangesAreShown()
{
    MainWindowFixture fixture;
    fixture.addSampleData();
    fixture.open();
    QCOMPARE(fixture.currentQuote(), u"Q-1"_s);

    // Another copy changes the current quote, adds a line to it and deletes another quote.
    fixture.data.exec(u"Quotes.DB"_s,
        u"UPDATE data SET QuoteDescription = 'Changed elsewhere' WHERE Quote_No = 'Q-1'"_s);
    fixture.data.exec(u"QMat.DB"_s,
        u"INSERT INTO data (Quote_ID, Quote_No, MaterialCode, TotalCharge) "
        "VALUES (104, 'Q-1', 'GLUE', 5)"_s);
    fixture.data.exec(u"Quotes.DB"_s, u"DELETE FROM data WHERE Quote_No = 'Q-3'"_s);
    auto *description = fixture.find<FieldLineEdit>(u"feDescription"_s);
    QTRY_COMPARE_WITH_TIMEOUT(description->text(), u"Changed elsewhere"_s, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(rows(fixture, u"grdMaterials"_s), 3, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(rows(fixture, u"grdQuotes"_s), 3, 10000);
    QCOMPARE(fixture.currentQuote(), u"Q-1"_s);

    // Then it deletes the quote shown here: another one is shown, with its own lines.
    fixture.data.exec(u"QMat.DB"_s, u"DELETE FROM data WHERE Quote_No = 'Q-1'"_s);
    fixture.data.exec(u"QLab.db"_s, u"DELETE FROM data WHERE Quote_No = 'Q-1'"_s);
    fixture.data.exec(u"Quotes.DB"_s, u"DELETE FROM data WHERE Quote_No = 'Q-1'"_s);
    QTRY_COMPARE_WITH_TIMEOUT(rows(fixture, u"grdQuotes"_s), 2, 10000);
    QTRY_VERIFY_WITH_TIMEOUT(fixture.currentQuote() != u"Q-1"_s, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(
        fixture.find<FieldLineEdit>(u"eNo"_s)->text(), fixture.currentQuote(), 10000);
    const int expectedLines = fixture.currentQuote() == u"Q-2"_s ? 1 : 0;
    QTRY_COMPARE_WITH_TIMEOUT(rows(fixture, u"grdMaterials"_s), expectedLines, 10000);
    QCOMPARE(MessageAnswers::shown().size(), 0);
}

void TestBrowser::deleteMaterialLine_data()
{
    QTest::addColumn<QString>("quote");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<int>("linesLeft");
    QTest::newRow("one of two lines") << u"Q-1"_s << QString() << 1;
    QTest::newRow("a quote without lines")
        << u"Q-3"_s << u"There are no materials in this Quote to delete"_s << 0;
}

void TestBrowser::deleteMaterialLine()
{
    QFETCH(QString, quote);
    QFETCH(QString, warning);
    QFETCH(int, linesLeft);
    MainWindowFixture fixture;
    fixture.addSampleData();
    fixture.open();
    fixture.dm->tblQuotes->setIndexName(u"QuoteNo"_s);
    QVERIFY(fixture.dm->tblQuotes->findKey({ quote }));
    fixture.dm->tblQuotes->setIndexName(QString());
    MessageAnswers::clear();
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
    MessageAnswers::setNextAnswer(QMessageBox::Yes);
    fixture.trigger(u"btnDeleteMaterials"_s);
    QCOMPARE(MessageAnswers::shown().first().text, u"Delete this Material Item?"_s);
    QCOMPARE(rows(fixture, u"grdMaterials"_s), linesLeft);
    if (warning.isEmpty()) {
        QCOMPARE(MessageAnswers::shown().size(), 1);
        QCOMPARE(fixture.dm->tblQuotes->state(), DataSetState::Browse);
    } else {
        QCOMPARE(MessageAnswers::lastText(), warning);
        QCOMPARE(fixture.dm->tblQuotes->state(), DataSetState::Edit);
    }
}

// Another copy saving some other quote changes nothing about the lines shown here: the current
// line stays, and Delete removes the line the user is on.
void TestBrowser::currentLineStaysWhenAnotherQuoteIsSaved()
{
    MainWindowFixture fixture;
    fixture.addSampleData();
    fixture.open();
    QCOMPARE(fixture.currentQuote(), u"Q-1"_s);
    TQVTable *lines = fixture.dm->tblQuotesMaterial;
    lines->last();
    QCOMPARE(text(lines, u"MaterialCode"), u"NAIL"_s);
    auto *grid = fixture.find<TQVDBGrid>(u"grdMaterials"_s);
    QCOMPARE(grid->currentIndex().row(), 1);

    fixture.data.exec(u"Quotes.DB"_s,
        u"UPDATE data SET QuoteTotal = 777, TotalSalesTax = 0, "
        "QuoteDescription = 'Saved elsewhere' WHERE Quote_No = 'Q-2'"_s);
    auto *quotes = fixture.find<TQVDBGrid>(u"grdQuotes"_s);
    QTRY_VERIFY_WITH_TIMEOUT(
        quotes->model()->index(1, 3).data().toString().contains(u"777"_s), 10000);
    QCoreApplication::processEvents();
    QCOMPARE(fixture.currentQuote(), u"Q-1"_s);
    QCOMPARE(text(lines, u"MaterialCode"), u"NAIL"_s);
    QCOMPARE(grid->currentIndex().row(), 1);

    MessageAnswers::clear();
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
    MessageAnswers::setNextAnswer(QMessageBox::Yes);
    fixture.trigger(u"btnDeleteMaterials"_s);
    QCOMPARE(fixture.data
                 .peek(u"QMat.DB"_s,
                     u"SELECT group_concat(MaterialCode) FROM data WHERE Quote_No = 'Q-1'"_s)
                 .toString(),
        u"TILE"_s);
}

// Not a check: with TESSORIN_SCREENSHOTS naming a folder, saves the main window on the demo
// business, both lists, as PNG files there for a person to look at.
void TestBrowser::datesAndTotalsShowWhole_data()
{
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QString>("field");
    QTest::newRow("quote dates") << u"grdQuotes"_s << u"Date"_s;
    QTest::newRow("quote totals") << u"grdQuotes"_s << u"VQuoteTotal"_s;
    QTest::newRow("job dates") << u"grdJobs"_s << u"Date"_s;
    QTest::newRow("job totals") << u"grdJobs"_s << u"VTotalJob"_s;
}

// Every value of the column fits its cell, a six-figure total and a two-digit day included.
void TestBrowser::datesAndTotalsShowWhole()
{
    QFETCH(QString, grid);
    QFETCH(QString, field);
    MainWindowFixture fixture;
    fixture.addSampleData();
    fixture.data.exec(u"Quotes.DB"_s,
        u"UPDATE data SET Date = '2024-11-15', QuoteTotal = 162111.5 WHERE Quote_No = 'Q-1'"_s);
    fixture.data.exec(u"Jobs.DB"_s,
        u"UPDATE data SET Date = '2024-11-15', JobTotal = 162111.5 WHERE Job_No = 'J-1'"_s);
    fixture.open();
    showPage(fixture, grid == u"grdJobs"_s);
    auto *list = fixture.find<TQVDBGrid>(grid);
    const QList<GridColumn> columns = list->columns();
    const auto at = std::find_if(columns.begin(), columns.end(),
        [&](const GridColumn &c) { return c.fieldName == field; });
    QVERIFY(at != columns.end());
    const int column = list->horizontalHeader()->logicalIndex(int(at - columns.begin()));
    // A cell's text has the style's margin on either side.
    const int margins =
        2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1);
    const QAbstractItemModel *model = list->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QString shown = model->index(row, column).data().toString();
        QVERIFY2(list->fontMetrics().horizontalAdvance(shown) + margins <= list->columnWidth(column),
            qPrintable(shown));
    }
}

void TestBrowser::keysLeaveTheLists_data()
{
    QTest::addColumn<bool>("jobs");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("focusIn"); // empty: anywhere but the list
    QTest::newRow("Tab, quotes") << false << int(Qt::Key_Tab) << Qt::KeyboardModifiers() << QString();
    QTest::newRow("Shift+Tab, jobs")
        << true << int(Qt::Key_Backtab) << Qt::KeyboardModifiers(Qt::ShiftModifier) << QString();
    QTest::newRow("Ctrl+Tab, quotes")
        << false << int(Qt::Key_Tab) << Qt::KeyboardModifiers(Qt::ControlModifier) << QString();
    QTest::newRow("F6 into the quote search")
        << false << int(Qt::Key_F6) << Qt::KeyboardModifiers() << u"cboQuoteSearch"_s;
    QTest::newRow("F6 into the job search")
        << true << int(Qt::Key_F6) << Qt::KeyboardModifiers() << u"cboJobSearch"_s;
    QTest::newRow("Alt+3 into the materials")
        << false << int(Qt::Key_3) << Qt::KeyboardModifiers(Qt::AltModifier) << u"grdMaterials"_s;
}

// From the last cell of a list, keys take the focus elsewhere and leave its current record be.
void TestBrowser::keysLeaveTheLists()
{
    QFETCH(bool, jobs);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, focusIn);
    MainWindowFixture fixture;
    fixture.addSampleData();
    fixture.open();
    showPage(fixture, jobs);
    fixture.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(fixture.window.get()));
    auto *list = fixture.find<TQVDBGrid>(jobs ? u"grdJobs"_s : u"grdQuotes"_s);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_End, Qt::ControlModifier);
    const QAbstractItemModel *model = list->model();
    list->setCurrentIndex(model->index(model->rowCount() - 1,
        list->horizontalHeader()->logicalIndex(model->columnCount() - 1)));
    const QString current = jobs ? fixture.currentJob() : fixture.currentQuote();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
    QWidget *focus = QApplication::focusWidget();
    QVERIFY(focus);
    QVERIFY2(focus != list, qPrintable(focus->objectName()));
    if (!focusIn.isEmpty()) {
        QWidget *inside = focus;
        while (inside && inside->objectName() != focusIn)
            inside = inside->parentWidget();
        QVERIFY2(inside, qPrintable(focus->objectName()));
    }
    QCOMPARE(jobs ? fixture.currentJob() : fixture.currentQuote(), current);
}

void TestBrowser::printOpensOnTheDocumentShown_data()
{
    QTest::addColumn<bool>("jobs");
    QTest::addColumn<QString>("number");
    QTest::newRow("a job") << true << u"J-2"_s;
    QTest::newRow("a quote, not the first") << false << u"Q-3"_s;
}

// Ctrl+P opens the print dialog on the page of the document on screen, with that one chosen.
void TestBrowser::printOpensOnTheDocumentShown()
{
    QFETCH(bool, jobs);
    QFETCH(QString, number);
    MainWindowFixture fixture;
    fixture.addSampleData();
    fixture.open();
    showPage(fixture, jobs);
    TQVTable *header = jobs ? fixture.dm->tblJobs : fixture.dm->tblQuotes;
    header->first();
    while (text(header, jobs ? u"Job_No" : u"Quote_No") != number && !header->eof())
        header->next();
    QCOMPARE(text(header, jobs ? u"Job_No" : u"Quote_No"), number);
    fixture.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(fixture.window.get()));
    QString page;
    QString chosen;
    QVERIFY(ModalDialogs::whileOpen<QDialog>(
        [&] { QTest::keyClick(fixture.window.get(), Qt::Key_P, Qt::ControlModifier); },
        [&](QDialog *print) {
            auto *pages = print->findChild<TQVPageControl *>(u"pgcJobsQuotes"_s);
            page = pages->tabText(pages->currentIndex());
            TQVTable *listed = jobs ? fixture.dm->tblCriteriaJobs : fixture.dm->tblCriteriaQuotes;
            chosen = text(listed, jobs ? u"Job_No" : u"Quote_No");
        }));
    QCOMPARE(page, jobs ? u"Jobs"_s : u"Quotes"_s);
    QCOMPARE(chosen, number);
}

void TestBrowser::screenshots()
{
    const QString folder = qEnvironmentVariable("TESSORIN_SCREENSHOTS");
    if (folder.isEmpty())
        QSKIP("TESSORIN_SCREENSHOTS is not set");
    TfrmSplash splash;
    QVERIFY(splash.grab().save(folder + u"/splash.png"_s));
    TfrmAbout about;
    about.show();
    QTest::qWait(100);
    QVERIFY(about.grab().save(folder + u"/about.png"_s));
    about.close();

    MainWindowFixture fixture;
    fillDemoDirectory(fixture.data.dataDirectory());
    fixture.open();
    fixture.window->resize(1280, 760);
    QTest::qWait(300);
    QVERIFY(fixture.window->grab().save(folder + u"/main-quotes.png"_s));
    fixture.find<TQVPageControl>(u"pageDetails"_s)->setCurrentIndex(4);
    fixture.find<QToolButton>(u"btnSummary"_s)->click();
    fixture.find<QAction>(u"mniQuickSearch"_s)->trigger();
    QTest::qWait(100);
    QVERIFY(fixture.window->grab().save(folder + u"/main-quotes-summary.png"_s));
    showPage(fixture, true);
    fixture.find<TQVPageControl>(u"pageDetails"_s)->setCurrentIndex(0);
    QTest::qWait(300);
    QVERIFY(fixture.window->grab().save(folder + u"/main-jobs.png"_s));
    for (int page = 1; page < 4; ++page) {
        fixture.find<TQVPageControl>(u"pageDetails"_s)->setCurrentIndex(page);
        QTest::qWait(100);
        QVERIFY(fixture.window->grab().save(folder + u"/main-jobs-page%1.png"_s.arg(page)));
    }
}

int runBrowserTests(int argc, char **argv)
{
    TestBrowser test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_browser.moc"

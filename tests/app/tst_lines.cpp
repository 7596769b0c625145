#include "AppTests.h"
#include "MainWindowFixture.h"
#include "ModalDialogs.h"
#include "RecordValues.h"
#include "controls/window/MessageAnswers.h"
#include "controls/dataaware/TQVDBGridSrc.h"
#include "controls/dataaware/FieldLookupComboBox.h"
#include "controls/dataaware/FieldSpinBox.h"
#include "controls/dataaware/FieldLabel.h"
#include "controls/window/TQVPageControl.h"
#include "engine/Field.h"
#include "engine/TQVDatabase.h"
#include "reference/FormJobMatSelect.h"
#include "reference/FormMaterialSelection.h"
#include "reference/LabourSelect.h"

#include <QAction>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

void typeNumber(QWidget *dialog, const QString &text)
{
    auto *spin = dialog->findChild<FieldSpinBox *>();
    spin->selectAll();
    QTest::keyClicks(spin, text);
    QTest::keyClick(spin, Qt::Key_Return);
}

// What a line dialog saw when it opened, and what it did.
struct Visit
{
    bool opened = false;
    QString code; // the line's code as the dialog opened
    QString title;
};

// On the next line dialog: notes what it shows, optionally picks and types, then saves or cancels.
template <typename Dialog>
void onLineDialog(Visit &visit,
    const QString &codeField,
    const QString &item,
    const QString &quantity,
    bool save = true)
{
    ModalDialogs::whenShown<Dialog>([&visit, codeField, item, quantity, save](Dialog *dialog) {
        visit.opened = true;
        visit.title = dialog->windowTitle();
        visit.code = dialog->lineTable()->fieldByName(codeField)->asString();
        if (!item.isEmpty())
            choose(dialog, u"cboCode"_s, item);
        if (!quantity.isEmpty())
            typeNumber(dialog, quantity);
        dialog->template findChild<QAction *>(save ? u"btnSave"_s : u"btnCancel"_s)->trigger();
    });
}

void showDetails(MainWindowFixture &fixture, int page)
{
    fixture.find<TQVPageControl>(u"pageDetails"_s)->setCurrentIndex(page);
    QCoreApplication::processEvents();
}

double stored(MainWindowFixture &fixture, const QString &file, const QString &sql)
{
    return fixture.data.peek(file, sql).toDouble();
}

} // namespace

// The main window's Add and Edit of material and labour lines, through its buttons, a
// double-click and Enter on a line, with the totals shown following.
class TestLines : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void addThroughTheButtons_data();
    void addThroughTheButtons();
    void editActsOnTheLineOnScreen();
    void labourAddKeepsTheLineInProgress();
    void lineHeldByAnotherCopy();
    void lineCommandsOnAQuoteBeingInserted_data();
    void lineCommandsOnAQuoteBeingInserted();
    void deletingALineAnotherCopyHolds_data();
    void deletingALineAnotherCopyHolds();

private:
    std::unique_ptr<MainWindowFixture> m_f;
};

void TestLines::init()
{
    m_f = std::make_unique<MainWindowFixture>();
    m_f->addSampleData();
    m_f->data.exec(u"Headings.db"_s, u"INSERT INTO data VALUES (1, 'Roofing')"_s);
    m_f->data.exec(u"Material.DB"_s,
        u"INSERT INTO data (Material_ID, Material_Code, Description, SellingPrice, CostPrice, "
        "HeadingCode) VALUES (31, 'SLATE', 'Roof slate', 12.5, 8, 1)"_s);
    m_f->data.exec(u"Labour.db"_s,
        u"INSERT INTO data (Labour_ID, Labour_Code, Description, Hourly_Rate, Heading_Code) "
        "VALUES (41, 'TILER', 'Tiler', 45, 1)"_s);
    m_f->open();
}

void TestLines::cleanup()
{
    m_f.reset();
}

void TestLines::addThroughTheButtons_data()
{
    QTest::addColumn<bool>("job");
    QTest::addColumn<bool>("labour");
    QTest::addColumn<QString>("title");
    QTest::addColumn<double>("total");
    QTest::addColumn<QString>("shown");
    // Q-1 holds 150 of materials and 80 of labour, J-1 300 of materials; 10 % tax on materials.
    QTest::newRow("quote material")
        << false << false << u"Quote Material Selection"_s << 267.5 << u"$286.25"_s;
    QTest::newRow("job material")
        << true << false << u"Job Materials"_s << 337.5 << u"$371.25"_s;
    QTest::newRow("quote labour") << false << true << u"Select Labour"_s << 320.0 << u"$335.00"_s;
    QTest::newRow("job labour") << true << true << u"Select Labour"_s << 390.0 << u"$420.00"_s;
}

void TestLines::addThroughTheButtons()
{
    QFETCH(bool, job);
    QFETCH(bool, labour);
    QFETCH(QString, title);
    QFETCH(double, total);
    QFETCH(QString, shown);
    m_f->find<TQVPageControl>(u"TBJobsQuotes"_s)->setCurrentIndex(job ? 1 : 0);
    showDetails(*m_f, labour ? 3 : 2);
    const QString codeField = labour ? u"Labour_Code"_s : u"MaterialCode"_s;
    Visit visit;
    if (labour)
        onLineDialog<TfrmLabourSelect>(visit, codeField, u"TILER"_s, u"2"_s);
    else if (job)
        onLineDialog<TfrmJobMatSelect>(visit, codeField, u"SLATE"_s, u"3"_s);
    else
        onLineDialog<TfrmMaterialSelect>(visit, codeField, u"SLATE"_s, u"3"_s);
    const QString grid = labour ? u"grdLabour"_s : u"grdMaterials"_s;
    const int before = m_f->find<TQVDBGrid>(grid)->model()->rowCount();
    m_f->find<QToolButton>(labour ? u"btnLabourAdd"_s : u"frmAddMaterials"_s)->click();
    QVERIFY(visit.opened);
    QCOMPARE(visit.title, title);
    QVERIFY(visit.code.isEmpty());
    QCOMPARE(m_f->find<TQVDBGrid>(grid)->model()->rowCount(), before + 1);
    QCOMPARE(m_f->find<FieldLabel>(u"lblGrandTotal"_s)->text(), shown);

    const QString header = job ? u"Jobs.DB"_s : u"Quotes.DB"_s;
    const QString number = job ? u"Job_No = 'J-1'"_s : u"Quote_No = 'Q-1'"_s;
    const QString totalField = job ? u"JobTotal"_s : u"QuoteTotal"_s;
    QCOMPARE(stored(*m_f, header, u"SELECT %1 FROM data WHERE %2"_s.arg(totalField, number)), total);
    const double lines = stored(*m_f, job ? u"JobMat.db"_s : u"QMat.DB"_s,
                             u"SELECT SUM(TotalCharge) FROM data WHERE %1"_s.arg(number))
        + stored(*m_f, job ? u"JobLab.db"_s : u"QLab.db"_s,
            u"SELECT TOTAL(TotalCharge) FROM data WHERE %1"_s.arg(number));
    QCOMPARE(lines, total);
}

// Edit opens the line the user is on, also after another copy changed the list under it; a
// double-click and Enter reach it as the Edit button does.
void TestLines::editActsOnTheLineOnScreen()
{
    showDetails(*m_f, 2);
    auto *grid = m_f->find<TQVDBGrid>(u"grdMaterials"_s);
    m_f->data.exec(u"QMat.DB"_s,
        u"INSERT INTO data (Quote_ID, Quote_No, MaterialCode, CurrentPrice, Quantity, "
        "TotalCharge) VALUES (104, 'Q-1', 'GLUE', 5, 1, 5)"_s);
    m_f->data.exec(u"Quotes.DB"_s,
        u"UPDATE data SET TotalMaterials = 155, QuoteTotal = 235 WHERE Quote_No = 'Q-1'"_s);
    QTRY_COMPARE_WITH_TIMEOUT(grid->model()->rowCount(), 3, 10000);

    const auto rowOf = [&](const QString &code) {
        for (int row = 0; row < grid->model()->rowCount(); ++row) {
            if (grid->model()->index(row, 0).data().toString() == code)
                return row;
        }
        return -1;
    };
    const QRect glue = grid->visualRect(grid->model()->index(rowOf(u"GLUE"_s), 1));
    Visit visit;
    onLineDialog<TfrmMaterialSelect>(visit, u"MaterialCode"_s, {}, u"4"_s);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, glue.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, glue.center());
    QVERIFY(visit.opened);
    QCOMPARE(visit.code, u"GLUE"_s);
    QCOMPARE(stored(*m_f, u"QMat.DB"_s, u"SELECT TotalCharge FROM data WHERE Quote_ID = 104"_s),
        20.0);
    QCOMPARE(stored(*m_f, u"Quotes.DB"_s, u"SELECT QuoteTotal FROM data WHERE Quote_No = 'Q-1'"_s),
        250.0);

    visit = {};
    onLineDialog<TfrmMaterialSelect>(visit, u"MaterialCode"_s, {}, u"9"_s, false);
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(rowOf(u"NAIL"_s), 0));
    QTest::keyClick(grid, Qt::Key_Return);
    QVERIFY(visit.opened);
    QCOMPARE(visit.code, u"NAIL"_s);
    QCOMPARE(stored(*m_f, u"Quotes.DB"_s, u"SELECT QuoteTotal FROM data WHERE Quote_No = 'Q-1'"_s),
        250.0);

    visit = {};
    onLineDialog<TfrmMaterialSelect>(visit, u"MaterialCode"_s, {}, {}, false);
    m_f->find<QToolButton>(u"btnEditMaterials"_s)->click();
    QCOMPARE(visit.code, u"NAIL"_s);
    QCOMPARE(m_f->dm->tblQuotes->state(), DataSetState::Browse);
    QCOMPARE(MessageAnswers::shown().size(), 0);
}

void TestLines::labourAddKeepsTheLineInProgress()
{
    // A labour line already being inserted is the one Add opens on; no second line is made.
    TDM *dm = m_f->dm.get();
    dm->tblQuotes->edit();
    dm->tblQuoteLabour->insert();
    dm->tblQuoteLabour->fieldByName(u"Description"_s)->setAsString(u"Begun earlier"_s);
    QString description;
    ModalDialogs::whenShown<TfrmLabourSelect>([&](TfrmLabourSelect *dialog) {
        description = dialog->lineTable()->fieldByName(u"Description"_s)->asString();
        choose(dialog, u"cboCode"_s, u"TILER"_s);
        dialog->findChild<QAction *>(u"btnSave"_s)->trigger();
    });
    m_f->find<QToolButton>(u"btnLabourAdd"_s)->click();
    QCOMPARE(description, u"Begun earlier"_s);
    QCOMPARE(stored(*m_f, u"QLab.db"_s, u"SELECT COUNT(*) FROM data WHERE Quote_No = 'Q-1'"_s), 2.0);
    QCOMPARE(stored(*m_f, u"Quotes.DB"_s, u"SELECT TotalLabour FROM data WHERE Quote_No = 'Q-1'"_s),
        125.0);
}

// A line another copy holds is refused with its message; no dialog opens and the quote, put into
// edit for the line, is let go again.
void TestLines::lineHeldByAnotherCopy()
{
    showDetails(*m_f, 2);
    std::unique_ptr<TDM> other = m_f->data.start();
    TQVTable *lines = other->tblQuotesMaterial;
    const QString current = m_f->dm->tblQuotesMaterial->fieldByName(u"MaterialCode"_s)->asString();
    for (lines->first(); lines->fieldByName(u"MaterialCode"_s)->asString() != current;)
        lines->next();
    other->DB->acquireLock(lines->fileIndex(), lines->currentRowid());
    Visit visit;
    onLineDialog<TfrmMaterialSelect>(visit, u"MaterialCode"_s, {}, {}, false);
    MessageAnswers::clear();
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
    m_f->find<QToolButton>(u"btnEditMaterials"_s)->click();
    QCOMPARE(MessageAnswers::shown().size(), 1);
    QCOMPARE(MessageAnswers::shown().first().icon, QMessageBox::Critical);
    QVERIFY(!visit.opened);
    QCOMPARE(m_f->dm->tblQuotes->state(), DataSetState::Browse);
    QCOMPARE(m_f->dm->tblQuotesMaterial->state(), DataSetState::Browse);
    other->DB->releaseLock(lines->fileIndex(), lines->currentRowid());
    // Released, the same line opens in the dialog the watch above was waiting for.
    m_f->find<QToolButton>(u"btnEditMaterials"_s)->click();
    QVERIFY(visit.opened);
    QCOMPARE(visit.code, current);
}

void TestLines::lineCommandsOnAQuoteBeingInserted_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<double>("total");
    QTest::addColumn<QString>("printed");
    QTest::newRow("add") << u"btnLabourAdd"_s << 45.0 << u"TILER 45"_s;
    QTest::newRow("edit on the empty list") << u"btnLabourEdit"_s << 45.0 << u"TILER 45"_s;
    QTest::newRow("delete") << u"btnLabourDelete"_s << 0.0 << QString();
}

// The New Quote wizard closed with its close box leaves the quote being inserted: the labour
// page shows its lines (none), and the commands act on it alone, never on Q-1's line.
void TestLines::lineCommandsOnAQuoteBeingInserted()
{
    QFETCH(QString, command);
    QFETCH(double, total);
    QFETCH(QString, printed);
    m_f->data.exec(u"PKey.DB"_s, u"UPDATE data SET CurrentKey = 1000"_s);
    showDetails(*m_f, 3);
    QVERIFY(ModalDialogs::whileOpen<QDialog>(
        [&] { m_f->trigger(u"mniNewQuote"_s); }, [](QDialog *wizard) { wizard->close(); }));
    QCOMPARE(m_f->dm->tblQuotes->state(), DataSetState::Insert);
    const QString number = m_f->currentQuote();
    QCOMPARE(m_f->find<TQVDBGrid>(u"grdLabour"_s)->model()->rowCount(), 0);
    MessageAnswers::clear();
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
    const auto click = [&] { m_f->find<QToolButton>(command)->click(); };
    if (command == u"btnLabourDelete"_s) {
        MessageAnswers::setNextAnswer(QMessageBox::Yes);
        click();
        QCOMPARE(
            MessageAnswers::lastText(), u"There are no Labour Items in this Quote to delete"_s);
    } else {
        QString code;
        QVERIFY(ModalDialogs::whileOpen<TfrmLabourSelect>(click, [&](TfrmLabourSelect *dialog) {
            code = dialog->lineTable()->fieldByName(u"Labour_Code"_s)->asString();
            choose(dialog, u"cboCode"_s, u"TILER"_s);
            dialog->findChild<QAction *>(u"btnSave"_s)->trigger();
        }));
        QCOMPARE(code, QString());
        QVERIFY2(MessageAnswers::shown().isEmpty(), qPrintable(MessageAnswers::lastText()));
    }
    const QString quote = u"WHERE Quote_No = '%1'"_s;
    QCOMPARE(
        stored(*m_f, u"Quotes.DB"_s, u"SELECT QuoteTotal FROM data "_s + quote.arg(number)), total);
    QCOMPARE(m_f->data
                 .peek(u"RepQte.DB"_s,
                     u"SELECT group_concat(Code || ' ' || CAST(Total_Cost AS INTEGER)) FROM data "
                     "WHERE Number = '%1'"_s.arg(number))
                 .toString(),
        printed);
    QCOMPARE(
        stored(*m_f, u"QLab.db"_s, u"SELECT TOTAL(TotalCharge) FROM data "_s + quote.arg(u"Q-1"_s)),
        80.0);
    QCOMPARE(stored(*m_f, u"Quotes.DB"_s, u"SELECT QuoteTotal FROM data "_s + quote.arg(u"Q-1"_s)),
        230.0);
}

void TestLines::deletingALineAnotherCopyHolds_data()
{
    QTest::addColumn<bool>("labour");
    QTest::newRow("material") << false;
    QTest::newRow("labour") << true;
}

// Deleting a line another copy holds names the holder, and lets go of the quote the command put
// into edit, so that the other copy can go on with it.
void TestLines::deletingALineAnotherCopyHolds()
{
    QFETCH(bool, labour);
    showDetails(*m_f, labour ? 3 : 2);
    std::unique_ptr<TDM> other = m_f->data.start();
    TQVTable *lines = labour ? other->tblQuoteLabour : other->tblQuotesMaterial;
    TQVTable *mine = labour ? m_f->dm->tblQuoteLabour : m_f->dm->tblQuotesMaterial;
    const QString codeField = labour ? u"Labour_Code"_s : u"MaterialCode"_s;
    QVERIFY(moveTo(lines, codeField, text(mine, codeField)));
    other->DB->acquireLock(lines->fileIndex(), lines->currentRowid());
    MessageAnswers::clear();
    MessageAnswers::setNextAnswer(QMessageBox::Yes);
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
    m_f->find<QToolButton>(labour ? u"btnLabourDelete"_s : u"btnDeleteMaterials"_s)->click();
    QVERIFY2(MessageAnswers::lastText().contains(u"locked by"_s),
        qPrintable(MessageAnswers::lastText()));
    QCOMPARE(m_f->dm->tblQuotes->state(), DataSetState::Browse);
    QCOMPARE(stored(*m_f, labour ? u"QLab.db"_s : u"QMat.DB"_s,
                 u"SELECT COUNT(*) FROM data WHERE Quote_No = 'Q-1'"_s),
        labour ? 1.0 : 2.0);
    QVERIFY(moveTo(other->tblQuotes, u"Quote_No", u"Q-1"_s));
    other->tblQuotes->edit();
    other->tblQuotes->cancel();
    other->DB->releaseLock(lines->fileIndex(), lines->currentRowid());
}

int runLineTests(int argc, char **argv)
{
    TestLines test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_lines.moc"

#include "Commands.h"
#include "ExternalTool.h"
#include "MainWindowFixture.h"
#include "ModalDialogs.h"
#include "RecordValues.h"
#include "TestStore.h"
#include "app/FormMDWizard.h"
#include "controls/dataaware/FieldLineEdit.h"
#include "controls/dataaware/FieldLookupComboBox.h"
#include "controls/dataaware/FieldSpinBox.h"
#include "controls/dataaware/TQVDBGridSrc.h"
#include "controls/dataaware/TableViewModel.h"
#include "controls/window/MessageAnswers.h"
#include "controls/window/TQVPageControl.h"
#include "data/ConsistencyCheck.h"
#include "documents/FormCJobQuote.h"
#include "documents/QRQuote.h"
#include "engine/Field.h"
#include "reference/FormClientMoreInfo.h"
#include "reference/FormHeadings.h"
#include "reference/FormMaterialSelection.h"
#include "reference/FormMaterials.h"
#include "reference/FormOptions.h"
#include "reference/FormUnits.h"
#include "reference/LabourSelect.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// Types over the whole text of an edit field and leaves it, as a user tabbing on does.
void type(QWidget *window, const QString &name, const QString &text)
{
    auto *edit = window->findChild<QLineEdit *>(name);
    QVERIFY2(edit, qPrintable(name));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Tab);
}

// The stored fields of the document numbered number joined by "|", numbers with two decimals, read
// field by field so that either store gives the same text.
QString storedFields(const DataDirFixture &data,
    const QString &file,
    const QString &numberField,
    const QString &number,
    const QStringList &fields)
{
    QStringList values;
    for (const QString &field : fields) {
        const QVariant value = data.peek(
            file, u"SELECT %1 FROM data WHERE %2 = '%3'"_s.arg(field, numberField, number));
        bool number = false;
        const double amount = value.toDouble(&number);
        values << (number ? QString::number(amount, 'f', 2) : value.toString());
    }
    return values.join(u'|');
}

// Clicks the grid's row whose first column shows text.
void clickRow(TQVDBGrid *grid, const QString &text)
{
    QAbstractItemModel *model = grid->model();
    int row = 0;
    while (row < model->rowCount() && model->index(row, 0).data().toString() != text)
        ++row;
    QVERIFY2(row < model->rowCount(), qPrintable(text));
    const QModelIndex cell = model->index(row, 0);
    grid->scrollTo(cell);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
}

// The keyboard alone: keys go to whatever has the focus, as they do for a user.
QWidget *focused()
{
    QWidget *focus = QApplication::focusWidget();
    return focus ? focus : QApplication::activeWindow();
}

void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(focused(), Qt::Key(key), modifiers);
}

// Presses Tab until the control of that name (or one inside it) has the focus; false when Tab
// never reaches it.
bool tabTo(const QString &name)
{
    for (int presses = 0; presses < 40; ++presses) {
        for (QWidget *w = QApplication::focusWidget(); w && !w->isWindow(); w = w->parentWidget()) {
            if (w->objectName() == name)
                return true;
        }
        press(Qt::Key_Tab);
    }
    qWarning("Tab never reaches %s", qPrintable(name));
    return false;
}

// Picks an entry of the focused list with the arrow keys.
bool arrowTo(const QString &item)
{
    QWidget *w = focused();
    while (w && !qobject_cast<QComboBox *>(w))
        w = w->parentWidget();
    auto *list = qobject_cast<QComboBox *>(w);
    if (!list || list->findText(item) < 0)
        return false;
    const int target = list->findText(item);
    for (int i = 0; i < 2 * list->count() && list->currentIndex() != target; ++i)
        press(list->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
    return list->currentText() == item;
}

QString pdfText(const QString &path)
{
    QProcess process;
    process.start(u"pdftotext"_s, { u"-layout"_s, path, u"-"_s });
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

// A user's first morning: on an empty data directory, the price list and a client are made through
// their windows, a quote is built line by line and printed, and a job is made from it; the stored
// result is then checked as the data tool's check does. Everything goes through the windows'
// own menus, buttons and fields.
class TestWorkflow : public QObject
{
    Q_OBJECT

private slots:
    void quoteToJob();
    void quoteFromTheKeyboard();

private:
    void makePriceList();
    void startQuoteWithNewClient();
    void addLine(const QString &addButton, const QString &code, const QString &amount);
    void addTaxRate();

    std::unique_ptr<MainWindowFixture> m_f;
    TfrmMain *m_window = nullptr;
};

void TestWorkflow::makePriceList()
{
    QVERIFY(ModalDialogs::whileOpen<TfrmHeadings>([&] { trigger(m_window, u"mniHeadings"_s); },
        [](TfrmHeadings *headings) {
            trigger(headings, u"btnNew"_s);
            type(headings, u"feDescription"_s, u"Plumbing"_s);
            trigger(headings, u"btnSave"_s);
            trigger(headings, u"btnClose"_s);
        }));
    QVERIFY(ModalDialogs::whileOpen<TfrmUnits>([&] { trigger(m_window, u"mniUnits"_s); },
        [](TfrmUnits *units) {
            trigger(units, u"btnNew"_s);
            type(units, u"feDescription"_s, u"each"_s);
            trigger(units, u"btnSave"_s);
            trigger(units, u"btnClose"_s);
        }));
    QVERIFY(ModalDialogs::whileOpen<TfrmMaterials>([&] { trigger(m_window, u"mniMaterials"_s); },
        [](TfrmMaterials *prices) {
            const auto material = [prices](const QString &code, const QString &description,
                                      const QString &cost, const QString &selling) {
                trigger(prices, u"btnNew"_s);
                type(prices, u"feMaterialCode"_s, code);
                type(prices, u"feMaterialDescription"_s, description);
                type(prices, u"feCostPrice"_s, cost);
                type(prices, u"feSellingPrice"_s, selling);
                choose(prices, u"cboUnit"_s, u"each"_s);
                choose(prices, u"cboMaterialHeading"_s, u"Plumbing"_s);
                trigger(prices, u"btnSave"_s);
            };
            material(u"PIPE"_s, u"Copper pipe"_s, u"9.40"_s, u"13.50"_s);
            material(u"TAP"_s, u"Mixer tap"_s, u"64"_s, u"90"_s);
            prices->findChild<TQVPageControl *>(u"pgcMaterials"_s)->setCurrentIndex(1);
            QCoreApplication::processEvents();
            trigger(prices, u"btnNew"_s);
            type(prices, u"feLabourCode"_s, u"PLUMB"_s);
            type(prices, u"feLabourDescription"_s, u"Plumber"_s);
            type(prices, u"feHourlyRate"_s, u"92"_s);
            choose(prices, u"cboLabourHeading"_s, u"Plumbing"_s);
            trigger(prices, u"btnSave"_s);
            trigger(prices, u"btnClose"_s);
        }));
    QCOMPARE(MessageAnswers::shown().size(), 0);
    QCOMPARE(m_f->dm->tblMaterial->recordCount(), 2);
    QCOMPARE(m_f->dm->tblLabour->recordCount(), 1);
}

void TestWorkflow::startQuoteWithNewClient()
{
    QVERIFY(ModalDialogs::whileOpen<TfrmWiz>([&] { trigger(m_window, u"mniNewQuote"_s); },
        [](TfrmWiz *wizard) {
            trigger(wizard, u"btnNext"_s);
            type(wizard, u"edtDescription"_s, u"Bathroom taps"_s);
            trigger(wizard, u"btnNext"_s);
            QVERIFY(ModalDialogs::whileOpen<TfrmClient>([&] { trigger(wizard, u"btnAddClient"_s); },
                [](TfrmClient *client) {
                    type(client, u"feContact"_s, u"Cara Cole"_s);
                    type(client, u"feCompany"_s, u"Cole Bakery"_s);
                    trigger(client, u"btnSaveClose"_s);
                }));
            choose(wizard, u"lkpContact"_s, u"Cara Cole"_s);
            trigger(wizard, u"btnNext"_s);
            trigger(wizard, u"btnFinish"_s);
            QVERIFY2(!wizard->isVisible(), qPrintable(MessageAnswers::lastText()));
        }));
}

// Adds a line through its page's Add button: picks the code in the dialog, types the quantity or
// hours and saves.
void TestWorkflow::addLine(const QString &addButton, const QString &code, const QString &amount)
{
    QVERIFY(ModalDialogs::whileOpen<QDialog>([&] { trigger(m_window, addButton); },
        [&](QDialog *dialog) {
            choose(dialog, u"cboCode"_s, code);
            auto *spin = dialog->findChild<FieldSpinBox *>();
            QVERIFY(spin);
            spin->setFocus();
            spin->selectAll();
            QTest::keyClicks(spin, amount);
            QTest::keyClick(spin, Qt::Key_Tab);
            trigger(dialog, u"btnSave"_s);
            QVERIFY2(!dialog->isVisible(), qPrintable(MessageAnswers::lastText()));
        }));
}

void TestWorkflow::addTaxRate()
{
    QVERIFY(ModalDialogs::whileOpen<TfrmOptions>([&] { trigger(m_window, u"btnChangeTaxRate"_s); },
        [](TfrmOptions *options) {
            auto *grid = options->findChild<TQVDBGrid *>(u"grdTaxRates"_s);
            QVERIFY(grid && grid->isVisible());
            grid->setFocus();
            QTest::keyClick(grid, Qt::Key_Insert);
            QAbstractItemModel *model = grid->model();
            QVERIFY(model->setData(model->index(0, 0), u"10"_s));
            QVERIFY(model->setData(model->index(0, 1), u"Standard"_s));
            trigger(options, u"btnOK"_s);
        }));
}

void TestWorkflow::quoteToJob()
{
    m_f = std::make_unique<MainWindowFixture>();
    m_f->open();
    m_window = m_f->window.get();
    TDM *dm = m_f->dm.get();
    auto *details = m_f->find<TQVPageControl>(u"pageDetails"_s);

    makePriceList();
    startQuoteWithNewClient();
    const QString quoteNo = m_f->currentQuote();
    QVERIFY(!quoteNo.isEmpty());
    QCOMPARE(text(dm->tblQuotes, u"VClientDesc"), u"Cole Bakery"_s);

    details->setCurrentIndex(2); // Materials
    addLine(u"frmAddMaterials"_s, u"PIPE"_s, u"10"_s);
    addLine(u"frmAddMaterials"_s, u"TAP"_s, u"1"_s);
    details->setCurrentIndex(3); // Labour
    addLine(u"btnLabourAdd"_s, u"PLUMB"_s, u"3"_s);
    QCOMPARE(number(dm->tblQuotes, u"TotalMaterials"), 225.0);
    QCOMPARE(number(dm->tblQuotes, u"TotalLabour"), 276.0);

    // Twelve lengths of pipe, not ten; and no tap after all.
    details->setCurrentIndex(2);
    auto *materials = m_f->find<TQVDBGrid>(u"grdMaterials"_s);
    clickRow(materials, u"PIPE"_s);
    QVERIFY(ModalDialogs::whileOpen<QDialog>([&] { trigger(m_window, u"btnEditMaterials"_s); },
        [](QDialog *dialog) {
            auto *spin = dialog->findChild<FieldSpinBox *>();
            spin->setFocus();
            spin->selectAll();
            QTest::keyClicks(spin, u"12"_s);
            QTest::keyClick(spin, Qt::Key_Tab);
            trigger(dialog, u"btnSave"_s);
        }));
    clickRow(materials, u"TAP"_s);
    MessageAnswers::setNextAnswer(QMessageBox::Yes);
    trigger(m_window, u"btnDeleteMaterials"_s);
    QCOMPARE(MessageAnswers::lastText(), u"Delete this Material Item?"_s);
    QCOMPARE(dm->tblQuotesMaterial->recordCount(), 1);

    // 10 % tax and 12.00 off, then Save.
    details->setCurrentIndex(4); // Summary
    addTaxRate();
    choose(m_window, u"feTaxRate"_s, u"10"_s);
    type(m_window, u"feDiscount"_s, u"12"_s);
    trigger(m_window, u"btnSaveJobQuote"_s);
    QCOMPARE(dm->tblQuotes->state(), DataSetState::Browse);
    QCOMPARE(storedFields(m_f->data, u"Quotes.DB"_s, u"Quote_No"_s, quoteNo,
                 { u"TotalMaterials"_s, u"TotalLabour"_s, u"QuoteTotal"_s, u"Discount"_s,
                     u"TotalSalesTax"_s }),
        u"162.00|276.00|438.00|12.00|15.00"_s);
    const QString shown = m_f->find<QLabel>(u"lblGrandTotal"_s)->text();
    QVERIFY2(shown.endsWith(u"441.00"_s), qPrintable(shown));

    // Printed to a PDF through the print dialog.
    QTemporaryDir out;
    const QString pdf = out.filePath(u"quote.pdf"_s);
    QVERIFY(ModalDialogs::whileOpen<TfrmCJobQuotes>([&] { trigger(m_window, u"btnPrint"_s); },
        [&](TfrmCJobQuotes *print) {
            print->findChild<QComboBox *>(u"cboReportType"_s)->setCurrentIndex(1);
            QPrinter &printer = print->quoteReport().printer();
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            trigger(print, u"btnPrint"_s);
            trigger(print, u"btnClose"_s);
        }));
    REQUIRE_TOOL(u"pdftotext"_s);
    const QString printed = pdfText(pdf);
    for (const QString &expected : { quoteNo, u"Cara Cole"_s, u"Cole Bakery"_s, u"Copper pipe"_s,
             u"Plumber"_s, u"162.00"_s, u"276.00"_s, u"15.00"_s, u"441.00"_s }) {
        QVERIFY2(printed.contains(expected), qPrintable(expected + u" not in:\n"_s + printed));
    }
    QVERIFY(!printed.contains(u"Mixer tap"_s));

    // A job made from the quote has its lines and their totals.
    QVERIFY(ModalDialogs::whileOpen<TfrmWiz>([&] { trigger(m_window, u"mniNewJob"_s); },
        [&](TfrmWiz *wizard) {
            trigger(wizard, u"btnNext"_s);
            trigger(wizard, u"chkQuote"_s);
            clickRow(wizard->findChild<TQVDBGrid *>(u"grdBasedQuote"_s), quoteNo);
            trigger(wizard, u"btnNext"_s);
            trigger(wizard, u"btnNext"_s);
            trigger(wizard, u"btnNext"_s);
            trigger(wizard, u"btnFinish"_s);
            QVERIFY2(!wizard->isVisible(), qPrintable(MessageAnswers::lastText()));
        }));
    const QString jobNo = m_f->currentJob();
    QVERIFY(!jobNo.isEmpty());
    const auto lines = [&](const QString &file, const QString &numberField, const QString &number,
                           const QString &columns) {
        return m_f->data
            .peek(file,
                u"SELECT %1 FROM (SELECT %2 AS line FROM data WHERE %3 = '%4' "
                "ORDER BY 1) AS lines"_s.arg(TestStore::onServer()
                        ? u"string_agg(line, ';' ORDER BY line)"_s
                        : u"group_concat(line, ';')"_s,
                    columns, numberField, number))
            .toString();
    };
    const QString materialColumns = u"MaterialCode || ',' || Quantity || ',' || TotalCharge"_s;
    const QString labourColumns = u"Labour_Code || ',' || Hours || ',' || TotalCharge"_s;
    QCOMPARE(lines(u"JobMat.db"_s, u"Job_No"_s, jobNo, materialColumns),
        lines(u"QMat.DB"_s, u"Quote_No"_s, quoteNo, materialColumns));
    QCOMPARE(lines(u"JobLab.db"_s, u"Job_No"_s, jobNo, labourColumns),
        lines(u"QLab.db"_s, u"Quote_No"_s, quoteNo, labourColumns));
    QCOMPARE(storedFields(m_f->data, u"Jobs.DB"_s, u"Job_No"_s, jobNo,
                 { u"TotalMaterials"_s, u"TotalLabour"_s, u"JobTotal"_s }),
        u"162.00|276.00|438.00"_s);

    // What the data tool's check finds wrong: nothing.
    m_f->closeWindow();
    m_f->dm.reset();
    ConsistencyCheck check(m_f->data.dataDirectory());
    QCOMPARE(check.run(), QStringList());
    QCOMPARE(check.counts().quotes, 1);
    QCOMPARE(check.counts().jobs, 1);
    QCOMPARE(check.counts().lines, 4);
}

// A quote with its client and a material and a labour line, made without the mouse: the wizard
// steps on with Enter, the detail pages open with Alt and their number, the line buttons are
// reached with Tab or their Alt keys, and the line dialogs save with Alt+S or Enter on their
// button.
void TestWorkflow::quoteFromTheKeyboard()
{
    m_f = std::make_unique<MainWindowFixture>();
    MainWindowFixture &f = *m_f;
    f.data.exec(u"Clients.DB"_s,
        u"INSERT INTO data (Client_ID, Contact, Company_Name) VALUES (1, 'Ann Archer', 'Archer')"_s);
    f.data.exec(u"Material.DB"_s,
        u"INSERT INTO data (Material_ID, Material_Code, Description, SellingPrice, CostPrice) "
        "VALUES (1, 'PIPE', 'Copper pipe', 25.35, 20)"_s);
    f.data.exec(u"Labour.db"_s,
        u"INSERT INTO data (Labour_ID, Labour_Code, Description, Hourly_Rate) "
        "VALUES (1, 'PLUMB', 'Plumber', 92)"_s);
    f.open();
    m_window = f.window.get();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));

    QVERIFY(ModalDialogs::whileOpen<TfrmWiz>([] { press(Qt::Key_Q, Qt::ControlModifier); },
        [](TfrmWiz *wizard) {
            QTRY_VERIFY(wizard->isActiveWindow());
            press(Qt::Key_Return);
            QVERIFY(tabTo(u"edtDescription"_s));
            QTest::keyClicks(focused(), u"Kitchen tap"_s);
            press(Qt::Key_Return);
            QVERIFY(tabTo(u"lkpContact"_s));
            QVERIFY(arrowTo(u"Ann Archer"_s));
            press(Qt::Key_Return);
            press(Qt::Key_Return);
            QVERIFY2(!wizard->isVisible(), qPrintable(MessageAnswers::lastText()));
        }));
    const QString quoteNo = f.currentQuote();
    QVERIFY(!quoteNo.isEmpty());
    // The window system hands the activation back when a dialog closes; offscreen, the test does.
    const auto backToWindow = [this] {
        m_window->activateWindow();
        return QTest::qWaitForWindowActive(m_window);
    };

    QVERIFY(backToWindow());
    press(Qt::Key_3, Qt::AltModifier); // Materials
    // A button's key presses it as a click that shows, a moment later.
    bool added = false;
    QVERIFY(ModalDialogs::whileOpen<QDialog>(
        [&] {
            press(Qt::Key_A, Qt::AltModifier);
            QTRY_VERIFY(added);
        },
        [&](QDialog *dialog) {
            added = true;
            QTRY_VERIFY(dialog->isActiveWindow());
            QVERIFY(tabTo(u"cboCode"_s));
            QVERIFY(arrowTo(u"PIPE"_s));
            QVERIFY(tabTo(u"feQuantity"_s));
            QTest::keyClicks(focused(), u"6"_s);
            QCOMPARE(dialog->findChild<QLineEdit *>(u"fePrice"_s)->text(), u"25.35"_s);
            press(Qt::Key_S, Qt::AltModifier);
            QVERIFY2(!dialog->isVisible(), qPrintable(MessageAnswers::lastText()));
        }));
    QVERIFY(backToWindow());
    press(Qt::Key_4, Qt::AltModifier); // Labour
    QVERIFY(tabTo(u"btnLabourAdd"_s));
    QVERIFY(ModalDialogs::whileOpen<QDialog>([] { press(Qt::Key_Space); },
        [](QDialog *dialog) {
            QTRY_VERIFY(dialog->isActiveWindow());
            QVERIFY(tabTo(u"cboCode"_s));
            QVERIFY(arrowTo(u"PLUMB"_s));
            QVERIFY(tabTo(u"feHours"_s));
            QTest::keyClicks(focused(), u"3"_s);
            QVERIFY(tabTo(u"btnSave"_s));
            press(Qt::Key_Return);
            QVERIFY2(!dialog->isVisible(), qPrintable(MessageAnswers::lastText()));
        }));
    QVERIFY(backToWindow());
    press(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(f.dm->tblQuotes->state(), DataSetState::Browse);

    QCOMPARE(storedFields(f.data, u"Quotes.DB"_s, u"Quote_No"_s, quoteNo,
                 { u"QuoteDescription"_s, u"Client_ID"_s, u"TotalMaterials"_s, u"TotalLabour"_s }),
        u"Kitchen tap|1.00|152.10|276.00"_s);
    QCOMPARE(MessageAnswers::shown().size(), 0);
}

QTEST_MAIN(TestWorkflow)
#include "tst_workflow.moc"

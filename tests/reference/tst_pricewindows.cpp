#include "RecordValues.h"
#include "ReferenceFixture.h"
#include "ReferenceTests.h"
#include "controls/dataaware/FieldLineEdit.h"
#include "controls/dataaware/FieldLookupComboBox.h"
#include "controls/dataaware/TQVDBGridSrc.h"
#include "controls/dataaware/TableViewModel.h"
#include "controls/window/MessageAnswers.h"
#include "controls/window/TQVRegistry.h"
#include "data/PriceListExchange.h"
#include "engine/Field.h"
#include "reference/FormHeadings.h"
#include "reference/FormMaterials.h"
#include "reference/FormPriceChange.h"
#include "reference/FormUnits.h"
#include "reference/PriceListImportDialog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString materialHeadingMessage =
    u"A heading Code needs to be assigned to the Material\r\n\r\nTo add a heading code select "
    "the \"Add Heading\" button\r\nOR\r\nSelect it from the \"Material Group Heading\" List."_s;
const QString labourHeadingMessage =
    u"A heading Code needs to be assigned to the Labour Item\r\n\r\nTo add a heading code select "
    "the \"Add Heading\" button\r\nOR\r\nSelect one from the \"Labour Group Heading\" List."_s;

} // namespace

// The price-list windows: their refusals, what closing does with a pending change, the
// double-click from the price list into the materials window, the stored grid layouts, and
// import and export from the price-list window.
class TestPriceWindows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void captionsAndTitles();
    void materialsRefuseAndKeepTheRecord_data();
    void materialsRefuseAndKeepTheRecord();
    void headingsAndUnitsRefuseBlank_data();
    void headingsAndUnitsRefuseBlank();
    void escapeInHeadingsCancels();
    void enterInHeadings_data();
    void enterInHeadings();
    void closeWithPending_data();
    void closeWithPending();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void doubleClickOpensMatchingPage_data();
    void doubleClickOpensMatchingPage();
    void layoutKeysStoredAndRestored_data();
    void layoutKeysStoredAndRestored();
    void gridPriceChangeKeepsNoHistory();
    void anotherCopysChangesShowAndItsRecordIsRefused();
    void newMaterialWholeInTheGrid();
    void importAndExportFromWindow();
    void importPreviewShowsPricesAndHowTheFileWasRead();

private:
    std::unique_ptr<ReferenceFixture> m_f;
    double m_plumbing = 0;
};

void TestPriceWindows::init()
{
    m_f = std::make_unique<ReferenceFixture>();
    m_plumbing = m_f->addHeading(u"Plumbing"_s);
    m_f->addHeading(u"Electrical"_s);
    m_f->addUnit(u"each"_s);
    m_f->addMaterial(u"PIPE"_s, u"Copper pipe"_s, 9.4, 13.5, m_plumbing);
    m_f->addMaterial(u"TAP"_s, u"Mixer tap"_s, 64, 90, m_plumbing);
    m_f->addLabour(u"ELEC"_s, u"Electrician"_s, 96, m_plumbing);
    m_f->addLabour(u"PLUMB"_s, u"Plumber"_s, 92, m_plumbing);
}

void TestPriceWindows::cleanup()
{
    m_f.reset();
}

void TestPriceWindows::captionsAndTitles()
{
    TfrmMaterials materials(m_f->dm.get());
    QCOMPARE(materials.windowTitle(), u"Materials and Labour"_s);
    QCOMPARE(materials.page(), TfrmMaterials::Page::Materials);
    QCOMPARE(materials.findChild<FieldLookupComboBox *>(u"cboUnit"_s)->toolTip(), u"Unit Code"_s);
    QCOMPARE(materials.findChild<QPushButton *>(u"btnAddUnit"_s)->toolTip(),
        u"Add / Delete Unit Measure"_s);
    QCOMPARE(materials.findChild<FieldLookupComboBox *>(u"cboMaterialHeading"_s)->toolTip(),
        u"Select Heading Group that Material Item belongs too."_s);
    auto *grid = materials.findChild<TQVDBGrid *>(u"grdMaterials"_s);
    QCOMPARE(grid->registryKeyName(), u"Velbric\\Materials"_s);
    QCOMPARE(grid->tableModel()->titleAt(0), u"Material Code"_s);
    QCOMPARE(grid->tableModel()->titleAt(1), u"Description"_s);
    QCOMPARE(grid->tableModel()->titleAt(2), u"Cost Price"_s);
    QVERIFY(materials.findChild<TQVDBGrid *>(u"grdLabour"_s)->registryKeyName().isEmpty());

    TfrmPriceChange prices(m_f->dm.get());
    QCOMPARE(prices.windowTitle(), u"Material and Labour Price List"_s);
    const QStringList materialTitles { u"Material Code"_s, u"Description"_s, u"Cost Price"_s,
        u"Selling Price"_s, u"Unit Desc"_s, u"Heading Desc"_s };
    auto *matGrid = prices.findChild<TQVDBGrid *>(u"grdMatPriceChange"_s);
    for (int i = 0; i < materialTitles.size(); ++i)
        QCOMPARE(matGrid->tableModel()->titleAt(i), materialTitles.at(i));
    QCOMPARE(TfrmHeadings(m_f->dm.get()).windowTitle(), u"Group Headings"_s);
    QCOMPARE(TfrmUnits(m_f->dm.get()).windowTitle(), u"Unit Description"_s);
}

void TestPriceWindows::materialsRefuseAndKeepTheRecord_data()
{
    QTest::addColumn<bool>("labour");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("material without code") << false << QString() << u"Please enter a valid Material Code"_s;
    QTest::newRow("material without heading") << false << u"VALVE"_s << materialHeadingMessage;
    QTest::newRow("labour without code") << true << QString() << u"Please enter a valid Labour Code"_s;
    QTest::newRow("labour without heading") << true << u"TILER"_s << labourHeadingMessage;
}

void TestPriceWindows::materialsRefuseAndKeepTheRecord()
{
    QFETCH(bool, labour);
    QFETCH(QString, code);
    QFETCH(QString, message);
    TfrmMaterials window(m_f->dm.get(),
        labour ? TfrmMaterials::Page::Labour : TfrmMaterials::Page::Materials);
    window.show();
    TQVTable *table = labour ? m_f->dm->tblLabour : m_f->dm->tblMaterial;
    const int before = table->recordCount();
    trigger(&window, u"btnNew"_s);
    QCOMPARE(table->state(), DataSetState::Insert);
    type(&window, labour ? u"feLabourCode"_s : u"feMaterialCode"_s, code);
    type(&window, labour ? u"feLabourDescription"_s : u"feMaterialDescription"_s, u"New one"_s);
    trigger(&window, u"btnSave"_s);
    QCOMPARE(MessageAnswers::lastText(), message);
    QCOMPARE(table->state(), DataSetState::Insert);
    QCOMPARE(text(table, u"Description"), u"New one"_s);
    // Close saves first; refused, the window stays open with the record.
    trigger(&window, u"btnClose"_s);
    QVERIFY(window.isVisible());
    QCOMPARE(table->state(), DataSetState::Insert);

    type(&window, labour ? u"feLabourCode"_s : u"feMaterialCode"_s, u"NEW1"_s);
    choose(&window, labour ? u"cboLabourHeading"_s : u"cboMaterialHeading"_s, u"Electrical"_s);
    trigger(&window, u"btnSave"_s);
    QCOMPARE(table->state(), DataSetState::Browse);
    QCOMPARE(table->recordCount(), before + 1);
    QCOMPARE(text(table, u"VHeadDesc"), u"Electrical"_s);
}

void TestPriceWindows::headingsAndUnitsRefuseBlank_data()
{
    QTest::addColumn<bool>("units");
    QTest::newRow("headings") << false;
    QTest::newRow("units") << true;
}

void TestPriceWindows::headingsAndUnitsRefuseBlank()
{
    QFETCH(bool, units);
    std::unique_ptr<QDialog> window;
    if (units)
        window = std::make_unique<TfrmUnits>(m_f->dm.get());
    else
        window = std::make_unique<TfrmHeadings>(m_f->dm.get());
    window->show();
    TQVTable *table = units ? m_f->dm->tblUnit : m_f->dm->tblHeadings;
    const int before = table->recordCount();
    trigger(window.get(), u"btnNew"_s);
    type(window.get(), u"feDescription"_s, u"   "_s);
    trigger(window.get(), u"btnSave"_s);
    QCOMPARE(MessageAnswers::lastText(), u"Please enter a valid description."_s);
    QCOMPARE(table->state(), DataSetState::Insert);
    type(window.get(), u"feDescription"_s, u"Tiling"_s);
    trigger(window.get(), u"btnSave"_s);
    QCOMPARE(table->state(), DataSetState::Browse);
    QCOMPARE(table->recordCount(), before + 1);
    // The new entry is offered at once in the materials window's selectors.
    TfrmMaterials materials(m_f->dm.get());
    auto *combo =
        materials.findChild<FieldLookupComboBox *>(units ? u"cboUnit"_s : u"cboMaterialHeading"_s);
    combo->showPopup();
    combo->hidePopup();
    QVERIFY(combo->findText(u"Tiling"_s) >= 0);
}

void TestPriceWindows::escapeInHeadingsCancels()
{
    TfrmHeadings window(m_f->dm.get());
    window.show();
    trigger(&window, u"btnNew"_s);
    QCOMPARE(m_f->dm->tblHeadings->state(), DataSetState::Insert);
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(window.isVisible());
    QVERIFY(!m_f->dm->tblHeadings->isEditing());
    QCOMPARE(m_f->dm->tblHeadings->recordCount(), 2);
}

void TestPriceWindows::enterInHeadings_data()
{
    QTest::addColumn<QString>("typed"); // empty: nothing pending
    QTest::addColumn<int>("headings");
    QTest::addColumn<bool>("open");
    QTest::newRow("a new heading is stored") << u"Roofing"_s << 3 << true;
    QTest::newRow("nothing pending closes") << QString() << 2 << false;
}

void TestPriceWindows::enterInHeadings()
{
    QFETCH(QString, typed);
    QFETCH(int, headings);
    QFETCH(bool, open);
    TfrmHeadings window(m_f->dm.get());
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QWidget *at = window.findChild<QWidget *>(u"grdHeadings"_s);
    if (!typed.isEmpty()) {
        trigger(&window, u"btnNew"_s);
        at = window.findChild<QWidget *>(u"feDescription"_s);
        QTest::keyClicks(at, typed);
    }
    at->setFocus();
    QTest::keyClick(at, Qt::Key_Return);
    QCOMPARE(window.isVisible(), open);
    QCOMPARE(m_f->dm->tblHeadings->state(), DataSetState::Browse);
    QCOMPARE(m_f->dm->tblHeadings->recordCount(), headings);
}

void TestPriceWindows::closeWithPending_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("saved");
    QTest::newRow("materials window saves") << u"materials"_s << true;
    QTest::newRow("price list saves") << u"prices"_s << true;
    QTest::newRow("headings leave it pending") << u"headings"_s << false;
    QTest::newRow("units leave it pending") << u"units"_s << false;
}

void TestPriceWindows::closeWithPending()
{
    QFETCH(QString, window);
    QFETCH(bool, saved);
    TDM *dm = m_f->dm.get();
    TQVTable *table = window == u"headings"_s ? dm->tblHeadings
        : window == u"units"_s                ? dm->tblUnit
                                              : dm->tblMaterial;
    const QString field = table == dm->tblUnit ? u"Unit_Description"_s : u"Description"_s;
    std::unique_ptr<QDialog> dialog;
    if (window == u"materials"_s)
        dialog = std::make_unique<TfrmMaterials>(dm);
    else if (window == u"prices"_s)
        dialog = std::make_unique<TfrmPriceChange>(dm);
    else if (window == u"headings"_s)
        dialog = std::make_unique<TfrmHeadings>(dm);
    else
        dialog = std::make_unique<TfrmUnits>(dm);
    dialog->show();
    table->first();
    table->edit();
    setText(table, field, u"Changed"_s);
    trigger(dialog.get(), u"btnClose"_s);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(table->isEditing(), !saved);
    // What another copy reads is what was stored.
    std::unique_ptr<TDM> other = m_f->startAnother();
    TQVTable *otherTable = window == u"headings"_s ? other->tblHeadings
        : window == u"units"_s                     ? other->tblUnit
                                                   : other->tblMaterial;
    otherTable->first();
    QCOMPARE(text(otherTable, field) == u"Changed"_s, saved);
    table->cancel();
}

void TestPriceWindows::deleteAsksFirst_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("yes deletes") << int(QMessageBox::Yes);
    QTest::newRow("no keeps") << int(QMessageBox::No);
}

void TestPriceWindows::deleteAsksFirst()
{
    QFETCH(int, answer);
    TfrmPriceChange window(m_f->dm.get());
    window.show();
    MessageAnswers::setNextAnswer(QMessageBox::StandardButton(answer));
    trigger(&window, u"btnDelete"_s);
    QCOMPARE(MessageAnswers::lastText(), u"Delete this Record?"_s);
    QCOMPARE(m_f->dm->tblMaterial->recordCount(), answer == QMessageBox::Yes ? 1 : 2);
}

void TestPriceWindows::doubleClickOpensMatchingPage_data()
{
    QTest::addColumn<bool>("labour");
    QTest::newRow("materials grid") << false;
    QTest::newRow("labour grid") << true;
}

void TestPriceWindows::doubleClickOpensMatchingPage()
{
    QFETCH(bool, labour);
    TfrmPriceChange window(m_f->dm.get());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *pages = window.findChild<QTabWidget *>(u"pgcPriceChange"_s);
    pages->setCurrentIndex(labour ? 1 : 0);
    auto *grid = window.findChild<TQVDBGrid *>(
        labour ? u"grdLabPriceChange"_s : u"grdMatPriceChange"_s);
    TQVTable *table = labour ? m_f->dm->tblLabour : m_f->dm->tblMaterial;
    table->last();
    const QString code = text(table, labour ? u"Labour_Code"_s : u"Material_Code"_s);
    TfrmMaterials::Page shown = TfrmMaterials::Page::Materials;
    QString codeShown;
    bool opened = false;
    onNextModal([&](QWidget *modal) {
        auto *materials = qobject_cast<TfrmMaterials *>(modal);
        opened = materials != nullptr;
        if (!materials)
            return;
        shown = materials->page();
        codeShown = materials->findChild<FieldLineEdit *>(labour ? u"feLabourCode"_s : u"feMaterialCode"_s)->text();
    });
    const QRect cell = grid->visualRect(grid->model()->index(1, 1));
    // A double-click reaches a grid as a press and release, then the second press.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QVERIFY(opened);
    QCOMPARE(shown, labour ? TfrmMaterials::Page::Labour : TfrmMaterials::Page::Materials);
    QCOMPARE(codeShown, code);
    // A double-click opens the entry; it does not start editing the cell.
    QVERIFY(!table->isEditing());
}

void TestPriceWindows::layoutKeysStoredAndRestored_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("field");
    QTest::newRow("price list, materials") << u"prices"_s << u"grdMatPriceChange"_s
                                           << u"\\Software\\Velbric\\Tessorin\\grdMatPriceChange"_s
                                           << u"Description"_s;
    QTest::newRow("price list, labour") << u"prices"_s << u"grdLabPriceChange"_s
                                        << u"\\Software\\Velbric\\Tessorin\\grdLabPriceChange"_s
                                        << u"Description"_s;
    QTest::newRow("materials window") << u"materials"_s << u"grdMaterials"_s
                                      << u"\\Software\\Velbric\\Velbric\\Materials"_s
                                      << u"Description"_s;
    QTest::newRow("units, one key with a slash") << u"units"_s << u"grdUnits"_s
                                                 << u"\\Software\\Velbric\\Velbric/UnitDesc"_s
                                                 << u"Unit_Description"_s;
}

void TestPriceWindows::layoutKeysStoredAndRestored()
{
    QFETCH(QString, window);
    QFETCH(QString, grid);
    QFETCH(QString, key);
    QFETCH(QString, field);
    const auto open = [&]() -> std::unique_ptr<QDialog> {
        if (window == u"prices"_s)
            return std::make_unique<TfrmPriceChange>(m_f->dm.get());
        if (window == u"materials"_s)
            return std::make_unique<TfrmMaterials>(m_f->dm.get());
        return std::make_unique<TfrmUnits>(m_f->dm.get());
    };
    const int column = field == u"Unit_Description"_s ? 0 : 1;
    {
        std::unique_ptr<QDialog> dialog = open();
        auto *g = dialog->findChild<TQVDBGrid *>(grid);
        QVERIFY(g);
        g->setColumnWidth(column, 123);
    }
    TQVRegistry registry;
    QVERIFY(registry.openKey(key, false));
    QCOMPARE(registry.readString(u"GridColumn%1"_s.arg(column)), field + u",123"_s);
    std::unique_ptr<QDialog> again = open();
    QCOMPARE(again->findChild<TQVDBGrid *>(grid)->columnWidth(column), 123);
}

void TestPriceWindows::gridPriceChangeKeepsNoHistory()
{
    TfrmPriceChange window(m_f->dm.get());
    window.show();
    auto *grid = window.findChild<TQVDBGrid *>(u"grdMatPriceChange"_s);
    TQVTable *table = m_f->dm->tblMaterial;
    table->first();
    QVERIFY(grid->model()->setData(grid->model()->index(0, 3), u"14.25"_s));
    trigger(&window, u"btnSave"_s);
    QCOMPARE(table->state(), DataSetState::Browse);
    QCOMPARE(number(table, u"SellingPrice"), 14.25);
    QVERIFY(isBlank(table, u"PreviousPrice"));
    QVERIFY(isBlank(table, u"DatePriceChange"));
}

void TestPriceWindows::anotherCopysChangesShowAndItsRecordIsRefused()
{
    TfrmPriceChange window(m_f->dm.get());
    window.show();
    auto *grid = window.findChild<TQVDBGrid *>(u"grdMatPriceChange"_s);
    QCOMPARE(grid->model()->rowCount(), 2);
    std::unique_ptr<TDM> other = m_f->startAnother();
    other->tblMaterial->append();
    setText(other->tblMaterial, u"Material_Code", u"AAA"_s);
    setNumber(other->tblMaterial, u"HeadingCode", m_plumbing);
    other->tblMaterial->post();
    QTRY_COMPARE_WITH_TIMEOUT(grid->model()->rowCount(), 3, 10000);
    QCOMPARE(grid->model()->index(0, 0).data().toString(), u"AAA"_s);
    // The record the other copy is editing is refused here, with the holder named.
    other->tblMaterial->edit();
    m_f->dm->tblMaterial->first();
    QVERIFY(!grid->model()->setData(grid->model()->index(0, 1), u"Mine"_s));
    QVERIFY2(MessageAnswers::lastText().contains(u"locked by"_s),
        qPrintable(MessageAnswers::lastText()));
    QVERIFY(!m_f->dm->tblMaterial->isEditing());
    other->tblMaterial->cancel();
}

void TestPriceWindows::newMaterialWholeInTheGrid()
{
    TfrmPriceChange window(m_f->dm.get());
    window.show();
    auto *grid = window.findChild<TQVDBGrid *>(u"grdMatPriceChange"_s);
    QAbstractItemModel *model = grid->model();
    TQVTable *table = m_f->dm->tblMaterial;
    trigger(&window, u"btnNew"_s);
    QVERIFY(grid->hasFocus() || window.focusWidget() == grid);
    const int row = table->currentRow();
    QVERIFY(model->setData(model->index(row, 0), u"VALVE"_s));
    // The heading column offers the headings and stores the chosen one's key.
    QVERIFY(model->flags(model->index(row, 5)) & Qt::ItemIsEditable);
    QVERIFY(!model->setData(model->index(row, 5), u"Carpentry"_s));
    QCOMPARE(MessageAnswers::lastText(), u"'Carpentry' is not in the list of Heading Desc"_s);
    grid->setCurrentIndex(model->index(row, 5));
    grid->edit(model->index(row, 5));
    auto *choices = grid->viewport()->findChild<QComboBox *>();
    QVERIFY(choices);
    QCOMPARE(choices->count(), 3); // none, Plumbing, Electrical
    choices->setCurrentIndex(choices->findText(u"Electrical"_s));
    emit choices->activated(choices->currentIndex());
    QCOMPARE(text(table, u"VHeadDesc"), u"Electrical"_s);
    QVERIFY(model->setData(model->index(row, 4), u"each"_s));
    trigger(&window, u"btnSave"_s);
    QCOMPARE(table->state(), DataSetState::Browse);
    QVERIFY(table->findKey({ u"VALVE"_s }));
    QCOMPARE(text(table, u"VHeadDesc"), u"Electrical"_s);
    QCOMPARE(text(table, u"VUnitDesc"), u"each"_s);
}

void TestPriceWindows::importAndExportFromWindow()
{
    QTemporaryDir files;
    TfrmPriceChange window(m_f->dm.get());
    window.show();
    QString previewed;
    bool answer = true;
    window.confirmImport = [&](QWidget *, const PriceListPlan &plan) {
        previewed = plan.summary() + u'\n' + plan.refusalText();
        return answer;
    };
    const QString exported = files.filePath(u"out.csv"_s);
    window.chooseFile = [&](QWidget *, bool) { return exported; };
    trigger(&window, u"btnExport"_s);
    QFile file(exported);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray csv = file.readAll();
    file.close();
    QVERIFY(csv.contains("Material,TAP,Mixer tap,64,90,,,,,,Plumbing\r\n"));

    csv.replace("Mixer tap,64,90", "Mixer tap,64,99");
    csv += "Material,VALVE,Valve,5,9,,,,,,Plumbing\r\n";
    const QString changed = files.filePath(u"in.csv"_s);
    QFile in(changed);
    QVERIFY(in.open(QIODevice::WriteOnly));
    in.write(csv);
    in.close();
    window.chooseFile = [&](QWidget *, bool) { return changed; };
    answer = false; // the preview cancelled: nothing happens
    trigger(&window, u"btnImport"_s);
    QCOMPARE(previewed, u"1 to add, 1 to change, 3 unchanged; 0 new headings, 0 new units\n"_s);
    QCOMPARE(m_f->dm->tblMaterial->recordCount(), 2);
    answer = true;
    trigger(&window, u"btnImport"_s);
    QCOMPARE(m_f->dm->tblMaterial->recordCount(), 3);
    QVERIFY(m_f->dm->tblMaterial->findKey({ u"TAP"_s }));
    QCOMPARE(number(m_f->dm->tblMaterial, u"SellingPrice"), 99.0);

    // A file with a bad row shows it in the preview and imports nothing.
    QVERIFY(in.open(QIODevice::WriteOnly));
    in.write(csv + "Material,BAD,Bad,x,1,,,,,,Plumbing\r\n");
    in.close();
    trigger(&window, u"btnImport"_s);
    QVERIFY2(previewed.contains(u"Line 7: \"x\" is not a valid number for Cost Price"_s),
        qPrintable(previewed));
    QCOMPARE(m_f->dm->tblMaterial->recordCount(), 3);
}

void TestPriceWindows::importPreviewShowsPricesAndHowTheFileWasRead()
{
    const QByteArray file = "Type,Code,Description,Cost Price,Selling Price,Hourly Rate,Heading\r\n"
                            "Material,VALVE,Valve \x96 brass,5,9,,Plumbing\r\n"
                            "Labour,FIT,Fitter,,,80,Plumbing\r\n";
    const PriceListPlan plan = m_f->dm->planPriceListImport(file);
    PriceListImportDialog preview(plan);
    const auto *changes = preview.findChild<QTableView *>(u"grdImportChanges"_s);
    QVERIFY(changes);
    QStringList shown;
    for (int row = 0; row < changes->model()->rowCount(); ++row)
        shown << changes->model()->index(row, 4).data().toString();
    QCOMPARE(shown, (QStringList { u"Valve \u2013 brass; Cost Price 5; Selling Price 9"_s,
                        u"Fitter; Hourly Rate 80"_s }));
    const auto *encoding = preview.findChild<QLabel *>(u"lblEncoding"_s);
    QVERIFY(encoding);
    QCOMPARE(encoding->text(), plan.encodingNote);
}

int runPriceWindowTests(int argc, char **argv)
{
    TestPriceWindows test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pricewindows.moc"

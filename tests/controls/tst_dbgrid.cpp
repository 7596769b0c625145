#include "DataControlsTests.h"
#include "RecordValues.h"
#include "controls/MessageAnswers.h"
#include "controls/TQVDBGridSrc.h"
#include "controls/TQVDBText.h"
#include "controls/TQVDataSourceSrc.h"
#include "controls/TQVRegistry.h"
#include "controls/TableViewModel.h"
#include "engine/TableView.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString TaxRatesKey = u"Tessorin\\TaxRates"_s;
const QString SharedKey = u"Velbric/UnitDesc"_s;

QList<TQVDBGridColumn> taxColumns()
{
    return { { u"Tax_Rate"_s, u"Tax Rate (%)"_s, 70, true },
        { u"Description"_s, QString(), 150, true } };
}

QString stored(const QString &keyName, int position)
{
    TQVRegistry registry;
    if (!registry.openKey(TQVDBGrid::registryPath(keyName), false))
        return u"<no key>"_s;
    return registry.readString(u"GridColumn"_s + QString::number(position));
}

void store(const QString &keyName, const QStringList &values)
{
    TQVRegistry registry;
    QVERIFY(registry.openKey(TQVDBGrid::registryPath(keyName), true));
    for (int i = 0; i < values.size(); ++i)
        registry.writeString(u"GridColumn"_s + QString::number(i), values.at(i));
}

QAction *menuItem(TQVDBGrid &grid, const QString &title)
{
    const QList<QAction *> items =
        grid.columnMenu() ? grid.columnMenu()->actions() : QList<QAction *>();
    for (QAction *item : items) {
        if (item->text() == title)
            return item;
    }
    return nullptr;
}

} // namespace

class TestDBGrid : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void hiddenColumnIsSavedAsZeroAndComesBackHidden();
    void columnShownAgainIsFortyPixelsWide();
    void movedColumnsAreBoundByField();
    void gridsSharingAKeyKeepTheirOwnField();
    void emptyKeyNameTouchesNothing();
    void unusableSavedValuesLeaveTheDesign_data();
    void unusableSavedValuesLeaveTheDesign();
    void neverLoadedGridKeepsTheSavedLayout();
    void layoutIsSavedWhenTheLinkWentFirst();
    void layoutIsNotSavedWithoutAView();

    void currentRowFollowsTheView();
    void insertRowShowsWhileInserting();
    void refreshKeepsScrollPosition();
    void clickingARowMovesTheRecord();
    void refusedPostKeepsTheRecord();
    void drawHookSeesTheRowAndField();
    void switchingTheViewKeepsTheLayout();
    void editingInPlaceGoesThroughTheField();
    void datesAndAmountsAsShown_data();
    void datesAndAmountsAsShown();

private:
    std::unique_ptr<TQVDBGrid> openGrid(
        TableView *view, const QString &key, const QList<TQVDBGridColumn> &columns);

    std::unique_ptr<DataControlsFixture> m_fixture;
    std::unique_ptr<TQVDataSource> m_source;
};

void TestDBGrid::init()
{
    m_fixture = std::make_unique<DataControlsFixture>();
    QVERIFY(m_fixture->dm->isConnected());
    m_source = std::make_unique<TQVDataSource>();
}

void TestDBGrid::cleanup()
{
    m_source.reset();
    m_fixture.reset();
}

std::unique_ptr<TQVDBGrid> TestDBGrid::openGrid(
    TableView *view, const QString &key, const QList<TQVDBGridColumn> &columns)
{
    m_source->setDataSet(view);
    auto grid = std::make_unique<TQVDBGrid>();
    grid->setColumns(columns);
    grid->setDataSource(m_source.get());
    grid->setRegistryKeyName(key);
    grid->loaded();
    return grid;
}

void TestDBGrid::hiddenColumnIsSavedAsZeroAndComesBackHidden()
{
    auto grid = openGrid(m_fixture->dm->tblTaxRates, u"\\"_s + TaxRatesKey + u"\\"_s, taxColumns());
    QCOMPARE(grid->registryKeyName(), TaxRatesKey);
    QAction *description = menuItem(*grid, u"Description"_s);
    QVERIFY(description && description->isChecked());
    description->trigger();
    QVERIFY(grid->isColumnHidden(1));
    grid.reset();

    QCOMPARE(stored(TaxRatesKey, 0), u"Tax_Rate,70"_s);
    QCOMPARE(stored(TaxRatesKey, 1), u"Description,0"_s);

    grid = openGrid(m_fixture->dm->tblTaxRates, TaxRatesKey, taxColumns());
    QVERIFY(grid->isColumnHidden(1));
    QVERIFY(!menuItem(*grid, u"Description"_s)->isChecked());
    QVERIFY(menuItem(*grid, u"Tax Rate (%)"_s)->isChecked());
}

void TestDBGrid::columnShownAgainIsFortyPixelsWide()
{
    store(TaxRatesKey, { u"Tax_Rate,70"_s, u"Description,0"_s });
    auto grid = openGrid(m_fixture->dm->tblTaxRates, TaxRatesKey, taxColumns());
    QAction *description = menuItem(*grid, u"Description"_s);
    description->trigger();
    QVERIFY(description->isChecked());
    QVERIFY(!grid->isColumnHidden(1));
    QCOMPARE(grid->columnWidth(1), TQVDBGrid::ShownAgainWidth);
    grid.reset();
    QCOMPARE(stored(TaxRatesKey, 1), u"Description,40"_s);
}

void TestDBGrid::movedColumnsAreBoundByField()
{
    auto grid = openGrid(m_fixture->dm->tblTaxRates, TaxRatesKey, taxColumns());
    grid->horizontalHeader()->moveSection(1, 0);
    grid->setColumnWidth(1, 123);
    grid.reset();
    QCOMPARE(stored(TaxRatesKey, 0), u"Description,123"_s);
    QCOMPARE(stored(TaxRatesKey, 1), u"Tax_Rate,70"_s);

    grid = openGrid(m_fixture->dm->tblTaxRates, TaxRatesKey, taxColumns());
    const QList<TQVDBGridColumn> shown = grid->columns();
    QCOMPARE(shown.at(0).fieldName, u"Description"_s);
    QCOMPARE(shown.at(0).width, 123);
    QCOMPARE(shown.at(1).fieldName, u"Tax_Rate"_s);
    // Each heading stays over its own field.
    const int first = grid->horizontalHeader()->logicalIndex(0);
    QCOMPARE(grid->model()->headerData(first, Qt::Horizontal).toString(), u"Description"_s);
    QCOMPARE(grid->columnMenu()->actions().at(1)->text(), u"Tax Rate (%)"_s);
}

void TestDBGrid::gridsSharingAKeyKeepTheirOwnField()
{
    TQVDataSource sales;
    sales.setDataSet(m_fixture->dm->tblSales);
    const QList<TQVDBGridColumn> unitColumns { { u"Unit_Description"_s, u"Description"_s, 100,
        true } };
    const QList<TQVDBGridColumn> salesColumns { { u"Salesman"_s, u"Sales Person"_s, 110, true } };

    auto units = openGrid(m_fixture->dm->tblUnit, SharedKey, unitColumns);
    units->setColumnWidth(0, 120);
    units.reset();
    QCOMPARE(stored(SharedKey, 0), u"Unit_Description,120"_s);
    {
        TQVRegistry registry;
        QVERIFY(registry.keyExists(u"\\Software\\Velbric\\Velbric/UnitDesc"_s));
        QVERIFY(!registry.keyExists(u"\\Software\\Velbric\\Velbric\\UnitDesc"_s));
    }

    auto salesGrid = std::make_unique<TQVDBGrid>();
    salesGrid->setColumns(salesColumns);
    salesGrid->setDataSource(&sales);
    salesGrid->setRegistryKeyName(SharedKey);
    salesGrid->loaded();
    QCOMPARE(salesGrid->columns().at(0).fieldName, u"Salesman"_s);
    QCOMPARE(salesGrid->columnWidth(0), 110);
    salesGrid->setColumnWidth(0, 90);
    salesGrid.reset();
    QCOMPARE(stored(SharedKey, 0), u"Salesman,90"_s);

    units = openGrid(m_fixture->dm->tblUnit, SharedKey, unitColumns);
    QCOMPARE(units->columns().at(0).fieldName, u"Unit_Description"_s);
    QCOMPARE(units->columnWidth(0), 100);
}

void TestDBGrid::emptyKeyNameTouchesNothing()
{
    auto grid = openGrid(m_fixture->dm->tblTaxRates, QString(), taxColumns());
    QVERIFY(!grid->columnMenu());
    grid->setColumnWidth(0, 99);
    grid.reset();
    TQVRegistry registry;
    QVERIFY(!registry.keyExists(u"\\Software"_s));
}

void TestDBGrid::unusableSavedValuesLeaveTheDesign_data()
{
    QTest::addColumn<QString>("saved");
    QTest::newRow("no comma") << u"Tax_Rate 30"_s;
    QTest::newRow("empty field name") << u",30"_s;
    QTest::newRow("width not a number") << u"Tax_Rate,wide"_s;
    QTest::newRow("negative width") << u"Tax_Rate,-5"_s;
    QTest::newRow("width beyond any integer") << u"Tax_Rate,99999999999999999999"_s;
    QTest::newRow("field the view lacks") << u"Salesman,30"_s;
    QTest::newRow("empty text") << QString();
}

void TestDBGrid::unusableSavedValuesLeaveTheDesign()
{
    QFETCH(QString, saved);
    store(TaxRatesKey, { saved });
    auto grid = openGrid(m_fixture->dm->tblTaxRates, TaxRatesKey, taxColumns());
    const QList<TQVDBGridColumn> shown = grid->columns();
    QCOMPARE(shown.at(0).fieldName, u"Tax_Rate"_s);
    QCOMPARE(shown.at(0).width, 70);
    QCOMPARE(shown.at(1).fieldName, u"Description"_s);
}

void TestDBGrid::neverLoadedGridKeepsTheSavedLayout()
{
    // A grid on a page that was never shown must not write its design over the user's layout.
    store(TaxRatesKey, { u"Description,80"_s, u"Tax_Rate,0"_s });
    m_source->setDataSet(m_fixture->dm->tblTaxRates);
    auto grid = std::make_unique<TQVDBGrid>();
    grid->setColumns(taxColumns());
    grid->setDataSource(m_source.get());
    grid->setRegistryKeyName(TaxRatesKey);
    grid.reset();
    QCOMPARE(stored(TaxRatesKey, 0), u"Description,80"_s);
    QCOMPARE(stored(TaxRatesKey, 1), u"Tax_Rate,0"_s);
}

void TestDBGrid::layoutIsSavedWhenTheLinkWentFirst()
{
    auto grid = openGrid(m_fixture->dm->tblTaxRates, TaxRatesKey, taxColumns());
    grid->setColumnWidth(1, 77);
    m_source.reset();
    grid.reset();
    QCOMPARE(stored(TaxRatesKey, 1), u"Description,77"_s);
}

void TestDBGrid::layoutIsNotSavedWithoutAView()
{
    auto grid = openGrid(m_fixture->dm->tblTaxRates, TaxRatesKey, taxColumns());
    m_source->setDataSet(nullptr);
    grid.reset();
    QCOMPARE(stored(TaxRatesKey, 0), u"<no key>"_s);
}

void TestDBGrid::currentRowFollowsTheView()
{
    TableView *units = m_fixture->dm->tblUnit;
    m_fixture->addRecords(units, u"Unit_Description"_s, { u"Metre"_s, u"Hour"_s, u"Each"_s });
    auto grid = openGrid(units, QString(), { { u"Unit_Description"_s, QString(), 100, true } });
    QCOMPARE(grid->model()->rowCount(), 3);
    units->last();
    QCOMPARE(grid->currentIndex().row(), 2);
    units->setRecNo(1);
    QCOMPARE(grid->currentIndex().row(), 1);
    QCOMPARE(grid->model()->headerData(1, Qt::Vertical).toString(), QString(QChar(0x25B6)));
    units->edit();
    QCOMPARE(grid->model()->headerData(1, Qt::Vertical).toString(), u"I"_s);
    setText(units, u"Unit_Description", u"Hours"_s);
    QCOMPARE(grid->model()->index(1, 0).data().toString(), u"Hours"_s);
    units->cancel();
    QCOMPARE(grid->model()->index(1, 0).data().toString(), u"Hour"_s);
}

void TestDBGrid::insertRowShowsWhileInserting()
{
    TableView *units = m_fixture->dm->tblUnit;
    m_fixture->addRecords(units, u"Unit_Description"_s, { u"Metre"_s, u"Hour"_s });
    auto grid = openGrid(units, QString(), { { u"Unit_Description"_s, QString(), 100, true } });
    units->setRecNo(1);
    units->insert();
    QCOMPARE(grid->model()->rowCount(), 3);
    QCOMPARE(grid->currentIndex().row(), 1);
    QCOMPARE(grid->model()->headerData(1, Qt::Vertical).toString(), u"*"_s);
    QCOMPARE(grid->model()->index(1, 0).data().toString(), QString());
    QCOMPARE(grid->model()->index(2, 0).data().toString(), u"Hour"_s);
    units->cancel();
    QCOMPARE(grid->model()->rowCount(), 2);
    QCOMPARE(grid->model()->index(1, 0).data().toString(), u"Hour"_s);
}

void TestDBGrid::refreshKeepsScrollPosition()
{
    m_fixture->data.exec(u"Unit.db"_s,
        u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
        "INSERT INTO data (Unit_ID, Unit_Description) SELECT i, 'Unit ' || i FROM n"_s);
    TableView *units = m_fixture->dm->tblUnit;
    units->refresh();
    auto grid = openGrid(units, QString(), { { u"Unit_Description"_s, QString(), 100, true } });
    grid->resize(300, 200);
    grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
    QCOMPARE(grid->model()->rowCount(), 300);
    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum() / 2);
    const int position = grid->verticalScrollBar()->value();
    QVERIFY(position > 0);

    m_fixture->data.exec(
        u"Unit.db"_s, u"INSERT INTO data (Unit_ID, Unit_Description) VALUES (999, 'Zzz')"_s);
    units->refresh();
    QCOMPARE(grid->model()->rowCount(), 301);
    QCOMPARE(grid->verticalScrollBar()->value(), position);
}

void TestDBGrid::clickingARowMovesTheRecord()
{
    TableView *units = m_fixture->dm->tblUnit;
    m_fixture->addRecords(units, u"Unit_Description"_s, { u"Metre"_s, u"Hour"_s, u"Each"_s });
    auto grid = openGrid(units, QString(), { { u"Unit_Description"_s, QString(), 100, true } });
    grid->setRowSelect(true);
    grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
    const QRect row2 = grid->visualRect(grid->model()->index(2, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, row2.center());
    QCOMPARE(units->recNo(), 2);
    QCOMPARE(text(units, u"Unit_Description"), u"Each"_s);
}

void TestDBGrid::refusedPostKeepsTheRecord()
{
    TableView *units = m_fixture->dm->tblUnit;
    m_fixture->addRecords(units, u"Unit_Description"_s, { u"Metre"_s, u"Hour"_s, u"Each"_s });
    auto grid = openGrid(units, QString(), { { u"Unit_Description"_s, QString(), 100, true } });
    grid->show();
    QVERIFY(QTest::qWaitForWindowExposed(grid.get()));
    units->edit();
    setText(units, u"Unit_Description", QString());
    MessageAnswers::setNextAnswer(QMessageBox::Ok);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
        grid->visualRect(grid->model()->index(2, 0)).center());
    QCOMPARE(MessageAnswers::lastText(), u"Please enter a valid description."_s);
    QCOMPARE(units->recNo(), 0);
    QCOMPARE(units->state(), DataSetState::Edit);
    QCOMPARE(grid->currentIndex().row(), 0);
}

void TestDBGrid::drawHookSeesTheRowAndField()
{
    TableView *units = m_fixture->dm->tblUnit;
    m_fixture->addRecords(units, u"Unit_Description"_s, { u"Metre"_s, u"Hour"_s });
    auto grid = openGrid(units, QString(),
        { { u"Unit_ID"_s, QString(), 40, true }, { u"Unit_Description"_s, QString(), 100, true } });
    grid->OnDrawFieldCellEvent = [](TQVDBGrid &g, TQVDrawFieldCell &cell) {
        if (g.rowValue(cell.row, u"Unit_Description"_s).toString() == u"Hour"_s)
            cell.textColor = QColor(128, 0, 128);
    };
    TQVDrawFieldCell cell;
    cell.textColor = Qt::black;
    grid->prepareCell(1, 0, cell);
    QCOMPARE(cell.field->fieldName(), u"Unit_ID"_s);
    QCOMPARE(cell.textColor, QColor(128, 0, 128));
    cell.textColor = Qt::black;
    grid->prepareCell(0, 1, cell);
    QCOMPARE(cell.textColor, QColor(Qt::black));
}

void TestDBGrid::switchingTheViewKeepsTheLayout()
{
    // The line grids switch between quote and job views that share field names.
    TableView other;
    other.setDatabase(m_fixture->dm->DB);
    other.setTableName(u"TaxRates.db"_s);
    other.open();
    auto grid = openGrid(m_fixture->dm->tblTaxRates, TaxRatesKey, taxColumns());
    grid->horizontalHeader()->moveSection(1, 0);
    grid->setColumnWidth(0, 55);
    menuItem(*grid, u"Description"_s)->trigger();
    m_source->setDataSet(&other);
    const QList<TQVDBGridColumn> shown = grid->columns();
    QCOMPARE(shown.at(0).fieldName, u"Description"_s);
    QVERIFY(!shown.at(0).visible);
    QCOMPARE(shown.at(1).fieldName, u"Tax_Rate"_s);
    QCOMPARE(shown.at(1).width, 55);
    m_source->setDataSet(m_fixture->dm->tblTaxRates);
    grid.reset();
}

void TestDBGrid::editingInPlaceGoesThroughTheField()
{
    TableView *rates = m_fixture->dm->tblTaxRates;
    m_fixture->addRecords(rates, u"Tax_Rate"_s, { u"10"_s });
    auto grid = openGrid(rates, QString(), taxColumns());
    QAbstractItemModel *model = grid->model();
    QVERIFY(model->flags(model->index(0, 0)) & Qt::ItemIsEditable);
    QVERIFY(model->setData(model->index(0, 0), u"12.5"_s));
    QCOMPARE(rates->state(), DataSetState::Edit);
    QCOMPARE(number(rates, u"Tax_Rate"), 12.5);

    MessageAnswers::setNextAnswer(QMessageBox::Ok);
    QVERIFY(!model->setData(model->index(0, 0), u"lots"_s));
    QCOMPARE(MessageAnswers::lastText(), u"'lots' is not a valid floating point value"_s);
    QCOMPARE(number(rates, u"Tax_Rate"), 12.5);

    grid->setRowSelect(true);
    QVERIFY(!(model->flags(model->index(0, 0)) & Qt::ItemIsEditable));
}

void TestDBGrid::datesAndAmountsAsShown_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("total");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("amount");
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale german(QLocale::German, QLocale::Germany);
    QTest::newRow("no locale set: the short form the date hints promise")
        << QLocale::c() << 12.5 << u"19/06/26"_s << QLocale::c().toCurrencyString(12.5);
    QTest::newRow("the user's own short form") << us << 1234.5 << u"6/19/26"_s << u"$1,234.50"_s;
    QTest::newRow("another user's short form")
        << german << 1234.5 << u"19.06.26"_s << u"1.234,50\u00a0\u20ac"_s;
    QTest::newRow("a sum left by deleted lines shows zero")
        << us << -2.7755575615628914e-17 << u"6/19/26"_s << u"$0.00"_s;
    QTest::newRow("a real negative keeps its sign")
        << us << -5.0 << u"6/19/26"_s << us.toCurrencyString(-5.0);
}

// The grids and read-only totals show dates in a short form that fits the designed widths, and
// zero amounts as zero.
void TestDBGrid::datesAndAmountsAsShown()
{
    QFETCH(QLocale, locale);
    QFETCH(double, total);
    QFETCH(QString, date);
    QFETCH(QString, amount);
    const QLocale before;
    QLocale::setDefault(locale);
    const auto restore = qScopeGuard([&] { QLocale::setDefault(before); });
    m_fixture->data.exec(u"Quotes.DB"_s,
        u"INSERT INTO data (Quote_ID, Quote_No, Date, QuoteTotal) VALUES (1, 'Q1', '2026-06-19', %1)"_s
            .arg(total, 0, 'g', 17));
    TQVTable *quotes = m_fixture->dm->tblQuotes;
    quotes->refresh();
    quotes->first();
    auto grid = openGrid(quotes, QString(),
        { { u"Date"_s, QString(), 45, true }, { u"QuoteTotal"_s, QString(), 60, true } });
    QCOMPARE(grid->model()->index(0, 0).data().toString(), date);
    QCOMPARE(grid->model()->index(0, 1).data().toString(), amount);
    TQVDBText label;
    label.setDataSource(m_source.get());
    label.setDataField(u"QuoteTotal"_s);
    QCOMPARE(label.text(), amount);
}

int runGridTests(int argc, char **argv)
{
    TestDBGrid test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dbgrid.moc"

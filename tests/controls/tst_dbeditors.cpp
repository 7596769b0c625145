#include "DataControlsTests.h"
#include "RecordValues.h"
#include "controls/MessageAnswers.h"
#include "controls/TQVDBComboBox.h"
#include "controls/TQVDBDateEdit.h"
#include "controls/TQVDBEdit.h"
#include "controls/TQVDBLookupCombo.h"
#include "controls/TQVDBProgressBar.h"
#include "controls/TQVDBText.h"
#include "controls/TQVDataSourceSrc.h"
#include "engine/Exception.h"
#include "engine/TableView.h"

#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

class TestDBEditors : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void typingEditsAndLeavingApplies_data();
    void typingEditsAndLeavingApplies();
    void refusedTextLeavesTheRecord_data();
    void refusedTextLeavesTheRecord();
    void noEditWithoutAnOpenView();
    void twoDigitYears_data();
    void twoDigitYears();
    void emptyDateClearsTheField();
    void comboStoresValuesShowsTexts_data();
    void comboStoresValuesShowsTexts();
    void lookupSetsTheKeyField_data();
    void lookupSetsTheKeyField();
    void progressShowsThePercentage_data();
    void progressShowsThePercentage();

private:
    std::unique_ptr<DataControlsFixture> m_fixture;
    std::unique_ptr<TableView> m_jobs;
    std::unique_ptr<TQVDataSource> m_source;
};

void TestDBEditors::init()
{
    m_fixture = std::make_unique<DataControlsFixture>();
    QVERIFY(m_fixture->dm->isConnected());
    m_fixture->data.exec(u"Jobs.DB"_s,
        u"INSERT INTO data (Job_ID, Job_No, Status, Priority, TaxRate, SalesPerson, DueDate, "
        u"Notes) "
        "VALUES (1, 'J1', 'H', 3, 10, 'Alice', '2024-05-06', 'hello world')"_s);
    // A view of the job file without the data module's rules.
    m_jobs = m_fixture->rawView(u"Jobs.DB"_s);
    m_source = std::make_unique<TQVDataSource>();
    m_source->setDataSet(m_jobs.get());
}

void TestDBEditors::cleanup()
{
    m_source.reset();
    m_jobs.reset();
    m_fixture.reset();
}

void TestDBEditors::typingEditsAndLeavingApplies_data()
{
    QTest::addColumn<bool>("byEnter");
    QTest::newRow("leaving the field") << false;
    QTest::newRow("pressing Enter") << true;
    QTest::newRow("posting while still typing") << false;
}

void TestDBEditors::typingEditsAndLeavingApplies()
{
    QFETCH(bool, byEnter);
    TableView *units = m_fixture->dm->tblUnit;
    m_fixture->addRecords(units, u"Unit_Description"_s, { u"Metre"_s });
    int hookCalls = 0;
    units->fieldByName(u"Unit_Description"_s)->onSetText = [&hookCalls](
                                                               Field &field, const QString &text) {
        ++hookCalls;
        field.setValue(text.toUpper());
    };
    TQVDataSource source;
    source.setDataSet(units);
    Host host;
    auto *edit = host.add<TQVDBEdit>();
    edit->setDataSource(&source);
    edit->setDataField(u"Unit_Description"_s);
    QVERIFY(host.activate());
    QCOMPARE(edit->text(), u"Metre"_s);

    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClicks(edit, u"s"_s);
    QCOMPARE(units->state(), DataSetState::Edit);
    QCOMPARE(hookCalls, 0);
    if (QByteArray(QTest::currentDataTag()) == "posting while still typing")
        units->post(); // a save command that leaves the focus where it is
    else if (byEnter)
        QTest::keyClick(edit, Qt::Key_Return);
    else
        host.other->setFocus();
    QCOMPARE(hookCalls, 1);
    QCOMPARE(text(units, u"Unit_Description"), u"METRES"_s);
    QCOMPARE(edit->text(), u"METRES"_s);
    units->fieldByName(u"Unit_Description"_s)->onSetText = nullptr;
}

void TestDBEditors::refusedTextLeavesTheRecord_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("text that is no number")
        << u"TaxRate"_s << u"abc"_s << u"'abc' is not a valid floating point value"_s << u"10"_s;
    QTest::newRow("refused by the set-text hook")
        << u"Job_No"_s << u"J 2"_s << u"No spaces here"_s << u"J1"_s;
}

void TestDBEditors::refusedTextLeavesTheRecord()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, shown);
    m_jobs->fieldByName(u"Job_No"_s)->onSetText = [](Field &f, const QString &text) {
        if (text.contains(u' '))
            throw EConvertError(u"No spaces here"_s);
        f.setValue(text);
    };
    Host host;
    auto *edit = host.add<TQVDBEdit>();
    edit->setDataSource(m_source.get());
    edit->setDataField(field);
    QVERIFY(host.activate());
    QCOMPARE(edit->text(), shown);

    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, typed);
    MessageAnswers::setNextAnswer(QMessageBox::Ok);
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(MessageAnswers::lastText(), message);
    QCOMPARE(MessageAnswers::shown().last().icon, QMessageBox::Critical);
    QCOMPARE(edit->text(), shown);
    QCOMPARE(text(m_jobs, field), shown);
    QVERIFY(!m_jobs->modified());
}

void TestDBEditors::noEditWithoutAnOpenView()
{
    TQVDBEdit unbound;
    QVERIFY(unbound.isReadOnly());
    TQVDBEdit edit;
    edit.setDataSource(m_source.get());
    edit.setDataField(u"Job_No"_s);
    QVERIFY(!edit.isReadOnly());
    QCOMPARE(edit.maxLength(), 30);
    m_jobs->close();
    QVERIFY(edit.isReadOnly());
    QCOMPARE(edit.text(), QString());
    m_jobs->open();
    QCOMPARE(edit.text(), u"J1"_s);
    edit.setDataField(u"NoSuchField"_s);
    QVERIFY(edit.isReadOnly());
}

void TestDBEditors::twoDigitYears_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("recent year") << u"1/5/24"_s << QDate(2024, 1, 5);
    QTest::newRow("far past year") << u"1/5/80"_s << QDate(1980, 1, 5);
    QTest::newRow("near future year") << u"12/31/30"_s << QDate(2030, 12, 31);
    QTest::newRow("four-digit year") << u"2/29/2024"_s << QDate(2024, 2, 29);
    QTest::newRow("ISO form") << u"2024-02-29"_s << QDate(2024, 2, 29);
    QTest::newRow("no date") << u"13/45/24"_s << QDate();
}

void TestDBEditors::twoDigitYears()
{
    QFETCH(QString, typed);
    QFETCH(QDate, expected);
    QCOMPARE(TQVDBDateEdit::parseDate(typed, QDate(2025, 6, 1)), expected);
}

void TestDBEditors::emptyDateClearsTheField()
{
    Host host;
    auto *date = host.add<TQVDBDateEdit>();
    date->setDataSource(m_source.get());
    date->setDataField(u"DueDate"_s);
    QVERIFY(host.activate());
    QCOMPARE(date->text(), u"5/6/24"_s);
    date->setFocus();
    date->selectAll();
    QTest::keyClick(date, Qt::Key_Backspace);
    host.other->setFocus();
    QVERIFY(isBlank(m_jobs, u"DueDate"));
    QCOMPARE(m_jobs->state(), DataSetState::Edit);
}

void TestDBEditors::comboStoresValuesShowsTexts_data()
{
    const QStringList priorities { u"Life & Death"_s, u"Super Urgent"_s, u"Urgent"_s,
        u"Please Hurry"_s, u"Normal"_s, u"Inquiry"_s, u"Not Urgent"_s, u"When Free"_s,
        u"Whenever"_s, QString() };
    const QVariantList numbers { 1, 2, 3, 4, 5, 6, 7, 8, 9, QVariant() };
    const QStringList statuses { u"Completed"_s, u"Hold"_s, u"In Progress"_s, u"Pending"_s };
    const QVariantList letters { u"C"_s, u"H"_s, u"I"_s, u"P"_s };

    QTest::addColumn<QString>("field");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<QString>("shownText");
    QTest::addColumn<int>("chosen");
    QTest::addColumn<QVariant>("stored");
    QTest::newRow("priority word stores its number")
        << u"Priority"_s << priorities << numbers << u"Urgent"_s << 8 << QVariant(9.0);
    QTest::newRow("empty entry stores nothing")
        << u"Priority"_s << priorities << numbers << u"Urgent"_s << 9 << QVariant();
    QTest::newRow("status word stores its letter")
        << u"Status"_s << statuses << letters << u"Hold"_s << 0 << QVariant(u"C"_s);
}

void TestDBEditors::comboStoresValuesShowsTexts()
{
    QFETCH(QString, field);
    QFETCH(QStringList, texts);
    QFETCH(QVariantList, values);
    QFETCH(QString, shownText);
    QFETCH(int, chosen);
    QFETCH(QVariant, stored);
    TQVDBComboBox combo;
    combo.setItems(texts, values);
    combo.setDataSource(m_source.get());
    combo.setDataField(field);
    QCOMPARE(combo.currentText(), shownText);

    combo.setCurrentIndex(chosen);
    emit combo.activated(chosen);
    QCOMPARE(m_jobs->state(), DataSetState::Edit);
    QCOMPARE(m_jobs->fieldByName(field)->value(), stored);
    QCOMPARE(combo.currentIndex(), chosen);
    m_jobs->cancel();
    QCOMPARE(combo.currentText(), shownText);
}

void TestDBEditors::lookupSetsTheKeyField_data()
{
    QTest::addColumn<bool>("taxRates");
    QTest::addColumn<QString>("shownText");
    QTest::addColumn<QVariant>("stored");
    QTest::newRow("sales person by name") << false << u"Alice"_s << QVariant(u"Bob"_s);
    QTest::newRow("tax rate by its number") << true << u"10"_s << QVariant(12.5);
}

void TestDBEditors::lookupSetsTheKeyField()
{
    QFETCH(bool, taxRates);
    QFETCH(QString, shownText);
    QFETCH(QVariant, stored);
    TableView *list = taxRates ? m_fixture->dm->tblTaxRates : m_fixture->dm->tblSales;
    const QString key = taxRates ? u"Tax_Rate"_s : u"Salesman"_s;
    m_fixture->addRecords(list, key,
        taxRates ? QStringList { u"10"_s, u"12.5"_s } : QStringList { u"Alice"_s, u"Bob"_s });
    TQVDataSource listSource;
    listSource.setDataSet(list);

    TQVDBLookupCombo lookup;
    lookup.setListSource(&listSource);
    lookup.setKeyField(key);
    lookup.setListField(taxRates ? u"Tax_Rate;Description"_s : u"Salesman"_s);
    lookup.setDataSource(m_source.get());
    lookup.setDataField(taxRates ? u"TaxRate"_s : u"SalesPerson"_s);
    QCOMPARE(lookup.count(), 2);
    QCOMPARE(lookup.currentText(), shownText);

    emit lookup.activated(1);
    QCOMPARE(m_jobs->fieldByName(lookup.dataField())->value(), stored);
    QCOMPARE(lookup.currentIndex(), 1);
    QCOMPARE(list->recNo(), 0);

    // A record added to the list is offered at once.
    m_fixture->addRecords(list, key, { taxRates ? u"15"_s : u"Carol"_s });
    QCOMPARE(lookup.count(), 3);
}

void TestDBEditors::progressShowsThePercentage_data()
{
    QTest::addColumn<QVariant>("percent");
    QTest::addColumn<int>("shown");
    QTest::newRow("within range, rounded") << QVariant(42.6) << 43;
    QTest::newRow("above 100") << QVariant(150.0) << 100;
    QTest::newRow("below 0") << QVariant(-5.0) << 0;
    QTest::newRow("empty") << QVariant() << 0;
}

void TestDBEditors::progressShowsThePercentage()
{
    QFETCH(QVariant, percent);
    QFETCH(int, shown);
    TQVDBProgressBar bar;
    bar.setDataSource(m_source.get());
    bar.setDataField(u"PercentComplete"_s);
    TQVDBText total;
    total.setDataSource(m_source.get());
    total.setDataField(u"TotalMaterials"_s);
    m_jobs->edit();
    m_jobs->fieldByName(u"PercentComplete"_s)->setValue(percent);
    m_jobs->fieldByName(u"TotalMaterials"_s)->setValue(1234.5);
    QCOMPARE(bar.value(), shown);
    QCOMPARE(total.text(), u"$1,234.50"_s);
}

int runEditorTests(int argc, char **argv)
{
    TestDBEditors test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dbeditors.moc"

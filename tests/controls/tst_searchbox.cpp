#include "DataControlsTests.h"
#include "controls/dataaware/IncrementalSearchBox.h"
#include "engine/Field.h"
#include "engine/TableView.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

// The rule as typing meets it is tested through the main window's and the print dialog's boxes;
// here what they leave out: the view's filter, and the drop-down.
class TestSearchBox : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void typingPassesOverFilteredRecords_data();
    void typingPassesOverFilteredRecords();
    void dropDownListsFromTheTypedTextOn();

private:
    QString current() const { return m_jobs->fieldByName(u"Job_No"_s)->asString(); }

    std::unique_ptr<DataControlsFixture> m_fixture;
    std::unique_ptr<TableView> m_jobs;
};

void TestSearchBox::init()
{
    m_fixture = std::make_unique<DataControlsFixture>();
    QVERIFY(m_fixture->dm->isConnected());
    m_fixture->data.exec(u"Jobs.DB"_s,
        u"INSERT INTO data (Job_ID, Job_No, Status, JobDescription) VALUES "
        "(1, 'J-2', 'H', 'Fence'), (2, 'J-10', 'P', 'Gate'), (3, 'J-1', 'C', 'Shed'), "
        "(4, 'J-3', 'C', 'Deck')"_s);
    m_jobs = m_fixture->rawView(u"Jobs.DB"_s);
}

void TestSearchBox::cleanup()
{
    m_jobs.reset();
    m_fixture.reset();
}

void TestSearchBox::typingPassesOverFilteredRecords_data()
{
    QTest::addColumn<double>("start");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("current");
    QTest::newRow("a hidden match goes to the next shown") << 1.0 << u"J-1"_s << u"J-10"_s;
    QTest::newRow("a shown match") << 2.0 << u"j-2"_s << u"J-2"_s;
    QTest::newRow("only hidden ones after the text stays put") << 1.0 << u"J-3"_s << u"J-2"_s;
}

void TestSearchBox::typingPassesOverFilteredRecords()
{
    QFETCH(double, start);
    QFETCH(QString, typed);
    QFETCH(QString, current);
    m_jobs->setFilter(u"Status <> 'C'"_s);
    m_jobs->setFiltered(true);
    QVERIFY(m_jobs->findKey({ start }));
    IncrementalSearchBox box;
    box.setSearch(m_jobs.get(), u"Job_No; JobDescription"_s);
    const bool moves = current != this->current();
    QCOMPARE(box.search(typed), moves);
    QCOMPARE(this->current(), current);
}

void TestSearchBox::dropDownListsFromTheTypedTextOn()
{
    IncrementalSearchBox box;
    box.setSearch(m_jobs.get(), u"Job_No; JobDescription"_s);
    box.setShowColumnTitles(true);
    box.setDropDownWidth(370);
    box.show();
    QTest::keyClicks(box.lineEdit(), u"j-10"_s);
    box.showPopup();
    QCOMPARE(box.lineEdit()->text(), u"j-10"_s);
    auto *items = qobject_cast<QStandardItemModel *>(box.model());
    QCOMPARE(items->headerData(0, Qt::Horizontal).toString(), u"Job_No"_s);
    QCOMPARE(items->headerData(1, Qt::Horizontal).toString(), u"JobDescription"_s);
    QStringList listed;
    for (int row = 0; row < items->rowCount(); ++row)
        listed << items->item(row, 0)->text() + u' ' + items->item(row, 1)->text();
    QCOMPARE(listed, QStringList({ u"J-10 Gate"_s, u"J-2 Fence"_s, u"J-3 Deck"_s }));
    auto *list = qobject_cast<QTableView *>(box.view());
    QVERIFY(!list->horizontalHeader()->isHidden());
    QVERIFY(list->minimumWidth() >= 370);
    box.hidePopup();

    // Choosing a record goes there and shows its number.
    emit box.activated(2);
    QCOMPARE(current(), u"J-3"_s);
    QCOMPARE(box.lineEdit()->text(), u"J-3"_s);
}

int runSearchBoxTests(int argc, char **argv)
{
    TestSearchBox test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_searchbox.moc"

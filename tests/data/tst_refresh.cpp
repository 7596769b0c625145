// The auto-refreshing table view: another copy's changes show within about a check period while
// the user's own edit is kept, posted or cancelled as the refresh mode says; and the rules every
// view keeps: harmless post and cancel, the new-record code rule, the master posted first.
#include "FileStatement.h"
#include "RecordValues.h"
#include "TempDataDir.h"
#include "TestTables.h"
#include "data/Errors.h"
#include "data/TQVTableSrc.h"
#include "engine/DataSource.h"
#include "engine/Exception.h"
#include "engine/TQVDatabase.h"

#include <QProcess>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TRefreshMode)

class TestRefresh : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void otherCopysCustomerShows();
    void pendingEditOnRefresh_data();
    void pendingEditOnRefresh();
    void deletedCurrentRecordKeepsPlace();
    void postAndCancelWhileBrowsing();
    void newRecordCode_data();
    void newRecordCode();
    void numberKeyInAnyLocale_data();
    void numberKeyInAnyLocale();
    void detailInsertPostsMaster();
    void watchingAfterOpen_data();
    void watchingAfterOpen();
    void notificationsNeedOwnFormat();

private:
    std::unique_ptr<TQVTable> table(const QString &name, TQVDatabase *db = nullptr);
    void addCustomer(TQVDatabase &db, double id, const QString &name);
    QVariant stored(const QString &file, const QString &sql);

    std::unique_ptr<TempDataDir> m_dir;
    std::unique_ptr<TQVDatabase> m_db;
    std::unique_ptr<TQVDatabase> m_other; // another user of the same directory
};

void TestRefresh::init()
{
    m_dir = std::make_unique<TempDataDir>();
    createTestTables(m_dir->path());
    m_db = std::make_unique<TQVDatabase>();
    connectTestDatabase(*m_db, m_dir->path());
    m_other = std::make_unique<TQVDatabase>();
    connectTestDatabase(*m_other, m_dir->path());
}

void TestRefresh::cleanup()
{
    m_other.reset();
    m_db.reset();
    m_dir.reset();
}

std::unique_ptr<TQVTable> TestRefresh::table(const QString &name, TQVDatabase *db)
{
    auto view = std::make_unique<TQVTable>();
    view->setDatabase(db ? db : m_db.get());
    view->setTableName(name);
    view->open();
    return view;
}

void TestRefresh::addCustomer(TQVDatabase &db, double id, const QString &name)
{
    TableView customers;
    customers.setDatabase(&db);
    customers.setTableName(u"Cust.DB"_s);
    customers.open();
    customers.append();
    setNumber(customers, u"Client_ID", id);
    setText(customers, u"Name", name);
    customers.post();
}

QVariant TestRefresh::stored(const QString &file, const QString &sql)
{
    return runOnFile(m_dir->filePath(file), sql);
}

void TestRefresh::otherCopysCustomerShows()
{
    addCustomer(*m_db, 10, u"Ten"_s);
    addCustomer(*m_db, 20, u"Twenty"_s);
    QStringList events; // outlives the view, which repaints when it closes
    auto customers = table(u"Cust.DB"_s);
    QVERIFY(customers->isWatching());
    QCOMPARE(customers->recordCount(), 2);
    customers->last();

    customers->BeforeRefresh = [&events](TRefreshTable &view) {
        events << (view.controlsDisabled() ? u"before, controls off"_s : u"before, controls on"_s);
    };
    customers->AfterRefresh = [&events](TRefreshTable &view) {
        events << (view.controlsDisabled() ? u"after, controls off"_s : u"after, controls on"_s);
    };
    connect(customers.get(), &TableView::dataChanged, this, [&events, &customers] {
        events << (customers->controlsDisabled() ? u"repaint, controls off"_s : u"repaint"_s);
    });

    QProcess peer;
    peer.start(
        QStringLiteral(ENGINE_PEER), { m_dir->path(), u"add-customer"_s, u"5"_s, u"Five"_s });
    QVERIFY(peer.waitForFinished(30000));
    QCOMPARE(peer.exitCode(), 0);

    QTRY_COMPARE_WITH_TIMEOUT(customers->recordCount(), 3, 5000);
    QCOMPARE(
        events, QStringList({ u"before, controls off"_s, u"after, controls off"_s, u"repaint"_s }));
    QCOMPARE(text(customers, u"Name"), u"Twenty"_s);
    QCOMPARE(customers->recNo(), 2);
    customers->first();
    QCOMPARE(text(customers, u"Name"), u"Five"_s);
}

void TestRefresh::pendingEditOnRefresh_data()
{
    QTest::addColumn<TRefreshMode>("mode");
    QTest::addColumn<bool>("refreshed");
    QTest::addColumn<QString>("storedName");
    QTest::newRow("browse only: the edit goes on") << rmBrowseModeOnly << false << u"Edited"_s;
    QTest::newRow("do post: the edit is saved") << rmDoPost << true << u"Edited"_s;
    QTest::newRow("do cancel: the edit is dropped") << rmDoCancel << true << u"Ten"_s;
}

void TestRefresh::pendingEditOnRefresh()
{
    QFETCH(TRefreshMode, mode);
    QFETCH(bool, refreshed);
    QFETCH(QString, storedName);
    addCustomer(*m_db, 10, u"Ten"_s);
    auto customers = table(u"Cust.DB"_s);
    customers->SetAutoUpdateInterval(20);
    customers->SetRefreshMode(mode);
    int refreshes = 0;
    customers->AfterRefresh = [&refreshes](TRefreshTable &) { ++refreshes; };
    QCOMPARE(customers->recordCount(), 1);
    customers->edit();
    setText(customers, u"Name", u"Edited"_s);

    addCustomer(*m_other, 30, u"Thirty"_s);
    if (refreshed) {
        QTRY_COMPARE_WITH_TIMEOUT(refreshes, 1, 5000);
        QCOMPARE(customers->state(), DataSetState::Browse);
        QCOMPARE(customers->recordCount(), 2);
        QCOMPARE(text(customers, u"Name"), storedName);
    } else {
        QTest::qWait(500); // many check periods
        QCOMPARE(refreshes, 0);
        QCOMPARE(customers->state(), DataSetState::Edit);
        QCOMPARE(text(customers, u"Name"), u"Edited"_s);
        customers->post();
        QCOMPARE(customers->recordCount(), 2);
    }
    QCOMPARE(stored(u"Cust.DB"_s, u"SELECT Name FROM data WHERE Client_ID = 10"_s).toString(),
        storedName);
}

void TestRefresh::deletedCurrentRecordKeepsPlace()
{
    for (int id = 1; id <= 3; ++id)
        addCustomer(*m_db, id, u"C%1"_s.arg(id));
    auto customers = table(u"Cust.DB"_s);
    customers->SetAutoUpdateInterval(20);
    int refreshes = 0;
    customers->AfterRefresh = [&refreshes](TRefreshTable &) { ++refreshes; };
    customers->setRecNo(1);
    QCOMPARE(text(customers, u"Name"), u"C2"_s);

    auto theirs = table(u"Cust.DB"_s, m_other.get());
    theirs->setRecNo(1);
    theirs->deleteRecord();
    QTRY_COMPARE_WITH_TIMEOUT(refreshes, 1, 5000);
    QCOMPARE(customers->recordCount(), 2);
    QCOMPARE(customers->recNo(), 1);
    QCOMPARE(text(customers, u"Name"), u"C3"_s);
}

void TestRefresh::postAndCancelWhileBrowsing()
{
    addCustomer(*m_db, 10, u"Ten"_s);
    auto customers = table(u"Cust.DB"_s);
    customers->post();
    customers->cancel();
    QCOMPARE(customers->state(), DataSetState::Browse);
    QCOMPARE(text(customers, u"Name"), u"Ten"_s);
}

void TestRefresh::newRecordCode_data()
{
    QTest::addColumn<QString>("tableName");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("storedCode"); // empty when refused
    QTest::newRow("undo key with a blank is refused") << u"Global.DB"_s << u"Q 12"_s << QString();
    QTest::newRow("undo key is upper-cased") << u"Global.DB"_s << u"q-12"_s << u"Q-12"_s;
    QTest::newRow("settings section with a blank is refused")
        << u"INI"_s << u"My Section"_s << QString();
    QTest::newRow("settings section is kept as typed") << u"INI"_s << u"options"_s << u"options"_s;
    QTest::newRow("only the file named INI keeps its case")
        << u"Settings"_s << u"options"_s << u"OPTIONS"_s;
    QTest::newRow("a suburb may hold a blank")
        << u"Suburb.DB"_s << u"north rocks"_s << u"NORTH ROCKS"_s;
    QTest::newRow("number key stays as it is") << u"Head.DB"_s << u"12"_s << u"12"_s;
}

void TestRefresh::newRecordCode()
{
    QFETCH(QString, tableName);
    QFETCH(QString, typed);
    QFETCH(QString, storedCode);
    auto view = table(tableName);
    Field *code = view->fields().front().get();
    view->insert();
    code->setAsString(typed);
    if (view->fieldCount() > 1 && view->fields().at(1)->dataType() == FieldType::Alpha)
        view->fields().at(1)->setAsString(u"x"_s);
    if (storedCode.isEmpty()) {
        try {
            view->post();
            QFAIL("a code with a blank was posted");
        } catch (const EInvalidCode &error) {
            QCOMPARE(error.message(),
                u"The Code You Have Entered ("_s + typed
                    + u"). Contains a Space. Please Enter A Code That Does Not Contain A "
                      u"Space."_s);
        }
        QCOMPARE(view->state(), DataSetState::Insert);
        QCOMPARE(code->asString(), typed);
        view->cancel();
        QCOMPARE(view->recordCount(), 0);
        return;
    }
    view->post();
    QCOMPARE(code->asString(), storedCode);
    QCOMPARE(view->recordCount(), 1);
}

void TestRefresh::numberKeyInAnyLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("key");
    QTest::newRow("decimal comma") << QLocale(QLocale::German, QLocale::Germany) << 12.5;
    QTest::newRow("other digits") << QLocale(QLocale::Arabic, QLocale::Egypt) << 12.0;
}

// The code rule reads the first field as text; a number key must come back as the same number
// whatever the user's locale writes it as.
void TestRefresh::numberKeyInAnyLocale()
{
    QFETCH(QLocale, locale);
    QFETCH(double, key);
    const QLocale before;
    QLocale::setDefault(locale);
    auto restore = qScopeGuard([&before] { QLocale::setDefault(before); });
    auto heads = table(u"Head.DB"_s);
    heads->insert();
    setNumber(heads, u"ID", key);
    heads->post();
    QCOMPARE(number(heads, u"ID"), key);
    QCOMPARE(stored(u"Head.DB"_s, u"SELECT ID FROM data"_s).toDouble(), key);
}

void TestRefresh::detailInsertPostsMaster()
{
    auto customers = table(u"Cust.DB"_s);
    DataSource link;
    link.setDataSet(customers.get());
    TQVTable heads;
    heads.setDatabase(m_db.get());
    heads.setTableName(u"Head.DB"_s);
    heads.setMasterSource(&link);
    heads.setMasterFields(u"Client_ID"_s);
    heads.open();

    customers->insert();
    setNumber(customers, u"Client_ID", 40);
    setText(customers, u"Name", u"Forty"_s);
    heads.insert();
    QCOMPARE(customers->state(), DataSetState::Browse);
    QCOMPARE(stored(u"Cust.DB"_s, u"SELECT Name FROM data WHERE Client_ID = 40"_s).toString(),
        u"Forty"_s);
    setNumber(heads, u"ID", 1);
    setNumber(heads, u"Client_ID", 40);
    heads.post();
    QCOMPARE(heads.recordCount(), 1);
}

void TestRefresh::watchingAfterOpen_data()
{
    QTest::addColumn<QString>("tableName");
    QTest::addColumn<bool>("watching");
    QTest::newRow("own format by its extension") << u"Head.DB"_s << true;
    QTest::newRow("extension in any case") << u"head.db"_s << true;
    QTest::newRow("settings file without extension") << u"Settings"_s << false;
    QTest::newRow("INI") << u"INI"_s << false;
    QTest::newRow("extension left implied") << u"Cust"_s << false;
}

void TestRefresh::watchingAfterOpen()
{
    QFETCH(QString, tableName);
    QFETCH(bool, watching);
    auto view = table(tableName);
    QCOMPARE(view->isWatching(), watching);
    QCOMPARE(view->AutoUpdateEnabled(), watching);
    view->close();
    QVERIFY(!view->isWatching());
    // A view without extension watches when asked to: its file is in the engine's own format.
    view->open();
    view->SetAutoUpdateEnabled(true);
    QVERIFY(view->isWatching());
}

void TestRefresh::notificationsNeedOwnFormat()
{
    TQVTable view;
    view.setDatabase(m_db.get());
    view.setTableName(u"Head.DB"_s);
    view.setTableType(TableType::ASCII);
    view.open();
    QVERIFY(!view.isWatching());
    try {
        view.SetAutoUpdateEnabled(true);
        QFAIL("a view of a foreign table type started watching");
    } catch (const EDatabaseError &error) {
        QCOMPARE(
            error.message(), u"Table change notifications only work with Paradox table types"_s);
    }
    QVERIFY(!view.isWatching());
}

QTEST_GUILESS_MAIN(TestRefresh)
#include "tst_refresh.moc"

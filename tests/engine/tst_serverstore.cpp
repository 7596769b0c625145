// The data of a data directory on a PostgreSQL server: what the store refuses to open, the views'
// writes through it, others' commits heard at once, a commit the server undid, the backup into an
// embedded file, a connection lost while the program runs, and the record locks' reads and
// releases that ride on other statements' round trips.
#include "RecordValues.h"
#include "TempDataDir.h"
#include "TestServer.h"
#include "TestTables.h"
#include "engine/EmbeddedStore.h"
#include "engine/Exception.h"
#include "engine/RecordLocks.h"
#include "engine/ServerConnection.h"
#include "engine/ServerStore.h"
#include "engine/SqlDialect.h"
#include "engine/TQVDatabase.h"
#include "engine/TableView.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSysInfo>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(EDatabaseError::Kind)

class TestServerStore : public QObject
{
    Q_OBJECT

private slots:
    void openRefusesWhatItCannotUse_data();
    void openRefusesWhatItCannotUse();
    void viewsWriteThroughTheServer();
    void othersCommitsAreHeardOwnAreNot();
    void commitOfAFailedTransactionFails();
    void backupIsAnEmbeddedDatabase();
    void lostConnectionFailsThenReconnects();
    void twoCopiesAddingToOneRecordLoseNothing();
    void locksCheckedUnderTheWriteLock();
    void editReadsTheRecordAsStoredAtItsLock_data();
    void editReadsTheRecordAsStoredAtItsLock();
    void postLetsGoOfItsLockOnlyWhenItCommits();
    void firstWriteGoesWithTheTransactionsStart();
    void insertsSentAheadStoreAllOrNothing();
    void accountThatMayNotWriteIsRefused();
    void caseBlindSearchesMatchOnBothStores_data();
    void caseBlindSearchesMatchOnBothStores();
};

namespace {

// The test database's keywords with one of them ("dbname=other") given another value.
QString keywordsWith(const TestServer &server, const QString &changed = {})
{
    QString keywords = server.keywords();
    if (!changed.isEmpty()) {
        const QString keyword = changed.section(u'=', 0, 0);
        keywords.replace(QRegularExpression(u"\\b%1=\\S+"_s.arg(keyword)), changed);
    }
    return keywords;
}

ServerConnection connectionTo(const TestServer &server, const QString &changed = {})
{
    return ServerConnection::fromText(keywordsWith(server, changed), u"the test"_s);
}

// A data directory naming the test database.
void nameServer(const TempDataDir &dir, const TestServer &server)
{
    QFile file(dir.filePath(ServerConnection::fileName()));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(server.keywords().toUtf8());
}

QString refusalOf(const std::function<void()> &open)
{
    try {
        open();
    } catch (const EDatabaseError &error) {
        return error.message();
    }
    return u"(opened)"_s;
}

void insertCustomer(QSqlQuery &query, int id, const QString &name)
{
    query.prepare(u"INSERT INTO \"Cust.DB\" (\"Client_ID\", \"Name\") VALUES (?, ?)"_s);
    query.addBindValue(double(id));
    query.addBindValue(name);
    SqlStore::run(query, u"Cust.DB"_s);
}

// The customers named, with Client_ID 1, 2, ...
void insertCustomers(QSqlQuery &query, const QStringList &names)
{
    for (int i = 0; i < names.size(); ++i)
        insertCustomer(query, i + 1, names.at(i));
}

// The test tables on server holding the customers named, and dir naming it.
void serveCustomers(const TempDataDir &dir, const TestServer &server, const QStringList &names)
{
    ServerStore::create(connectionTo(server), testSchema(),
        [&names](QSqlQuery &query) { insertCustomers(query, names); });
    nameServer(dir, server);
}

// The customers named on the test server, and two copies of the program connected to them.
struct TwoCopies
{
    TwoCopies(const TestServer &server, const QStringList &names)
    {
        serveCustomers(dir, server, names);
        connectTestDatabase(mine, dir.path());
        connectTestDatabase(theirs, dir.path());
    }
    TempDataDir dir;
    TQVDatabase mine;
    TQVDatabase theirs;
};

QStringList customerNames(const QSqlDatabase &db)
{
    QSqlQuery query(db);
    query.exec(u"SELECT \"Name\" FROM \"Cust.DB\" ORDER BY \"Client_ID\""_s);
    QStringList names;
    while (query.next())
        names << query.value(0).toString();
    return names;
}

const QString terminateOthers = u"SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                                "WHERE datname = current_database() AND pid <> pg_backend_pid()"_s;

} // namespace

// Each refused with the server named and what is wrong, nothing made in the database.
void TestServerStore::openRefusesWhatItCannotUse_data()
{
    QTest::addColumn<bool>("ours"); // the tables made first
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("changed"); // a keyword of Tessorin.server
    QTest::addColumn<QString>("password"); // the user's, from the environment
    QTest::addColumn<bool>("embeddedToo");
    QTest::addColumn<QString>("expected");
    QTest::newRow("server down") << true << QString() << u"host=/nonexistent"_s << QString()
                                 << false << u"Cannot connect"_s;
    QTest::newRow("no database") << true << QString() << u"dbname=tessorin_none"_s << QString()
                                 << false << u"tessorin_none"_s;
    QTest::newRow("empty") << false << QString() << QString() << QString() << false
                           << u"holds no tables"_s;
    QTest::newRow("another program's")
        << false << u"CREATE TABLE invoices (id integer)"_s << QString() << QString() << false
        << u"is not a database of this program"_s;
    QTest::newRow("older format") << true << u"UPDATE \"TQVFormat\" SET \"FormatVersion\" = 3"_s
                                  << QString() << QString() << false << u"has format 3, not 4"_s;
    QTest::newRow("a table changed")
        << true << u"ALTER TABLE \"Cust.DB\" ADD COLUMN extra integer"_s << QString() << QString()
        << false << u"Cust.DB"_s;
    QTest::newRow("both files") << true << QString() << QString() << QString() << true
                                << u"holds both"_s;
    // The test cluster asks this role alone for its password (scripts/pg-test-cluster).
    QTest::newRow("wrong password")
        << true
        << u"DO $$ BEGIN IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = "
           "'tessorin_password') THEN CREATE ROLE tessorin_password LOGIN PASSWORD 'right'; "
           "END IF; END $$"_s
        << u"user=tessorin_password"_s << u"wrong"_s << false << u"password"_s;
}

void TestServerStore::openRefusesWhatItCannotUse()
{
    QFETCH(bool, ours);
    QFETCH(QString, setup);
    QFETCH(QString, changed);
    QFETCH(QString, password);
    QFETCH(bool, embeddedToo);
    QFETCH(QString, expected);
    if (!password.isEmpty())
        qputenv("PGPASSWORD", password.toUtf8());
    const auto forget = qScopeGuard([] { qunsetenv("PGPASSWORD"); });
    TestServer server;
    REQUIRE_SERVER(server);
    if (ours)
        ServerStore::create(connectionTo(server), testSchema());
    if (!setup.isEmpty())
        QCOMPARE(server.execute(setup), QString());
    TempDataDir dir;
    {
        QFile file(dir.filePath(ServerConnection::fileName()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(keywordsWith(server, changed).toUtf8());
    }
    if (embeddedToo)
        createTestTables(dir.path());
    const QString refusal = refusalOf([&] { SqlStore::connect(testSchema(), dir.path()); });
    QVERIFY2(refusal.contains(expected), qPrintable(refusal));
    if (!embeddedToo)
        QVERIFY2(refusal.contains(connectionTo(server, changed).serverName()), qPrintable(refusal));
    // Nothing made: an empty database stays empty.
    if (!ours)
        QCOMPARE(server.execute(u"DO $$ BEGIN IF EXISTS (SELECT 1 FROM pg_class WHERE relname "
                                "= 'TQVFormat') THEN RAISE 'made'; END IF; END $$"_s),
            QString());
}

// A post, an edit and a delete through a view of a database on the server, each stored and told
// to another copy at once.
void TestServerStore::viewsWriteThroughTheServer()
{
    TestServer server;
    REQUIRE_SERVER(server);
    TwoCopies copies(server, { u"Anna"_s });
    auto view = openView(copies.mine, u"Cust.DB"_s);
    // Another copy's view is told of the post without anyone asking.
    auto otherView = openView(copies.theirs, u"Cust.DB"_s);
    int told = 0;
    copies.theirs.setChangeNotice(otherView.get(), [&told] { ++told; });
    view->insert();
    fill(view, { { u"Client_ID", 2.0 }, { u"Name", u"Ben"_s } });
    view->post();
    QTRY_COMPARE(told, 1);
    QVERIFY(moveTo(view, u"Name", u"Anna"_s));
    view->edit();
    setText(view, u"Name", u"Anne"_s);
    view->post();
    QCOMPARE(customerNames(copies.mine.store().connection()), QStringList({ u"Anne"_s, u"Ben"_s }));
    QVERIFY(moveTo(view, u"Name", u"Ben"_s));
    view->deleteRecord();
    QCOMPARE(rows(view, { u"Client_ID", u"Name" }), Rows({ { 1.0, u"Anne"_s } }));
    QCOMPARE(customerNames(copies.mine.store().connection()), QStringList({ u"Anne"_s }));
}

// Another copy's commit is told at once, through the listener; a copy's own commits are not.
void TestServerStore::othersCommitsAreHeardOwnAreNot()
{
    TestServer server;
    REQUIRE_SERVER(server);
    ServerStore::create(connectionTo(server), testSchema());
    ServerStore writer(testSchema());
    writer.open(connectionTo(server));
    ServerStore reader(testSchema());
    reader.open(connectionTo(server));
    int told = 0;
    reader.setChangeListener([&told] { ++told; });

    writer.begin();
    QSqlQuery query(writer.connection());
    insertCustomer(query, 1, u"Anna"_s);
    writer.noteWritten(u"Cust.DB"_s);
    writer.commit();
    QTRY_COMPARE(told, 1);
    QCOMPARE(reader.changedTables(), QStringList({ u"CUST.DB"_s }));
    QCOMPARE(reader.changedTables(), QStringList());
    QTest::qWait(50);
    QCOMPARE(writer.changedTables(), QStringList());
    // A write from outside the program is heard too.
    QCOMPARE(server.execute(u"DELETE FROM \"Cust.DB\""_s), QString());
    QTRY_COMPARE(told, 2);
    QCOMPARE(reader.changedTables(), QStringList({ u"CUST.DB"_s }));
}

// A statement that failed inside the transaction makes the server undo all of it at COMMIT, as
// does a connection lost before it: the commit fails, and nothing is stored.
void TestServerStore::commitOfAFailedTransactionFails()
{
    TestServer server;
    REQUIRE_SERVER(server);
    ServerStore::create(connectionTo(server), testSchema());
    ServerStore store(testSchema());
    store.open(connectionTo(server));
    store.begin();
    QSqlQuery query(store.connection());
    insertCustomer(query, 1, u"Anna"_s);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, insertCustomer(query, 1, u"Anna again"_s));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, store.commit());
    QVERIFY(!store.inTransaction());
    QCOMPARE(customerNames(store.connection()), QStringList());
    // The next write is whole again.
    store.begin();
    insertCustomer(query, 2, u"Ben"_s);
    store.commit();
    QCOMPARE(customerNames(store.connection()), QStringList({ u"Ben"_s }));
    // A connection dropped inside the transaction: its commit fails as a lost connection, and
    // the next transaction runs on a new connection.
    store.begin();
    insertCustomer(query, 3, u"Cleo"_s);
    QCOMPARE(server.execute(terminateOthers), QString());
    try {
        store.commit();
        QFAIL("committed on a dropped connection");
    } catch (const EDatabaseError &error) {
        QCOMPARE(error.kind(), EDatabaseError::Kind::LostConnection);
    }
    QVERIFY(store.connectionLost());
    store.reconnect();
    QCOMPARE(customerNames(store.connection()), QStringList({ u"Ben"_s }));
}

// The backup is an embedded database of the same tables, holding the rows with their row ids;
// it reads one snapshot, as the store's own snapshots do.
void TestServerStore::backupIsAnEmbeddedDatabase()
{
    TestServer server;
    REQUIRE_SERVER(server);
    ServerStore::create(connectionTo(server), testSchema(), [](QSqlQuery &query) {
        insertCustomer(query, 1, u"Anna"_s);
        insertCustomer(query, 2, u"Ben"_s);
    });
    QCOMPARE(server.execute(u"DELETE FROM \"Cust.DB\" WHERE \"Client_ID\" = 1"_s), QString());
    ServerStore store(testSchema());
    store.open(connectionTo(server));
    TempDataDir dir;
    const QString path = dir.filePath(EmbeddedStore::databaseFileName());
    store.backup(path);
    QVERIFY(!QFile::exists(dir.filePath(u".Tessorin.db.partial"_s)));
    EmbeddedStore copy(testSchema());
    copy.open(dir.path());
    for (const TableDef &def : testSchema().tables)
        copy.validate(def);
    QSqlQuery query(copy.connection());
    QVERIFY(query.exec(u"SELECT rowid, \"Name\" FROM \"Cust.DB\""_s));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toLongLong(), 2);
    QCOMPARE(query.value(1).toString(), u"Ben"_s);
    QVERIFY(!query.next());
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, store.backup(path)); // never over a file
    // A snapshot reads the database as it was when it began, whatever others commit meanwhile.
    store.beginSnapshot();
    QCOMPARE(customerNames(store.connection()), QStringList({ u"Ben"_s }));
    QCOMPARE(server.execute(u"DELETE FROM \"Cust.DB\""_s), QString());
    QCOMPARE(customerNames(store.connection()), QStringList({ u"Ben"_s }));
    store.endSnapshot();
    QCOMPARE(customerNames(store.connection()), QStringList());
}

// A connection dropped by the server: the operation fails as a lost connection, the next one
// connects again; an edit whose lock went with the old session is not posted.
void TestServerStore::lostConnectionFailsThenReconnects()
{
    TestServer server;
    REQUIRE_SERVER(server);
    TempDataDir dir;
    serveCustomers(dir, server, { u"Anna"_s });
    TQVDatabase database;
    connectTestDatabase(database, dir.path());
    auto view = openView(database, u"Cust.DB"_s);
    view->first();
    // A post before the loss leaves its statements prepared in the session that goes.
    view->edit();
    setText(view, u"Name", u"Ann"_s);
    view->post();
    view->edit();
    setText(view, u"Name", u"Anne"_s);
    QCOMPARE(server.execute(terminateOthers), QString());
    try {
        view->post();
        QFAIL("posted on a dropped connection");
    } catch (const EDatabaseError &error) {
        QCOMPARE(error.kind(), EDatabaseError::Kind::LostConnection);
    }
    try {
        view->post();
        QFAIL("posted an edit whose lock went with the connection");
    } catch (const EDatabaseError &error) {
        QCOMPARE(error.kind(), EDatabaseError::Kind::LostConnection);
        QVERIFY2(error.message().contains(u"lock"_s), qPrintable(error.message()));
    }
    view->cancel();
    QCOMPARE(customerNames(database.store().connection()), QStringList({ u"Ann"_s }));
    // Connected again: edits go through, under a lock of the new session.
    view->edit();
    setText(view, u"Name", u"Anne"_s);
    view->post();
    QCOMPARE(customerNames(database.store().connection()), QStringList({ u"Anne"_s }));
}

// Two copies, each reading a header's total, adding to it and posting it, as a key counter is
// taken: every addition counts, none is lost to the other copy's.
void TestServerStore::twoCopiesAddingToOneRecordLoseNothing()
{
    TestServer server;
    REQUIRE_SERVER(server);
    ServerStore::create(connectionTo(server), testSchema(), [](QSqlQuery &query) {
        SqlStore::run(
            query, u"INSERT INTO \"Head.DB\" (\"ID\", \"Total\") VALUES (1, 0)"_s, u"Head.DB"_s);
    });
    TempDataDir dir;
    nameServer(dir, server);
    constexpr int additions = 40;
    QProcess copies[2];
    for (QProcess &copy : copies)
        copy.start(QStringLiteral(ENGINE_PEER),
            { dir.path(), u"add-total"_s, u"1"_s, u"1"_s, QString::number(additions) });
    for (QProcess &copy : copies) {
        QVERIFY(copy.waitForFinished(120000));
        QVERIFY2(copy.exitCode() == 0, copy.readAllStandardError().constData());
    }
    TQVDatabase database;
    connectTestDatabase(database, dir.path());
    auto heads = openView(database, u"Head.DB"_s);
    QCOMPARE(number(heads, u"Total"), 2.0 * additions);
}

// Under the write lock a lock is checked against what other copies held as the write began: a
// record or table another copy holds is refused naming it, a free record is not; a record
// another copy locks afterwards is refused when the lock is taken for good at the commit.
void TestServerStore::locksCheckedUnderTheWriteLock()
{
    TestServer server;
    REQUIRE_SERVER(server);
    TwoCopies copies(server, { u"Customer 1"_s, u"Customer 2"_s, u"Customer 3"_s });
    TQVDatabase &mine = copies.mine;
    TQVDatabase &theirs = copies.theirs;
    auto held = openView(theirs, u"Cust.DB"_s);
    held->first();
    held->edit(); // their lock on the first record
    auto view = openView(mine, u"Cust.DB"_s);
    const int file = view->fileIndex();
    const QString holder =
        RecordLocks::lockedBy(RecordLocks::accountName(), QSysInfo::machineHostName());
    {
        OperationScope operation(&mine, file);
        mine.writer(file);
        QCOMPARE(refusalOf([&] { mine.acquireLock(file, held->currentRowid()); }), holder);
        QCOMPARE(refusalOf([&] { mine.acquireTableLock(file, 0); }), holder);
        auto late = openView(theirs, u"Cust.DB"_s);
        late->last();
        QCOMPARE(
            refusalOf([&] { mine.acquireLock(file, held->currentRowid() + 1); }), u"(opened)"_s);
        QCOMPARE(refusalOf([&] { mine.acquireLock(file, late->currentRowid()); }), u"(opened)"_s);
        late->edit(); // after the write began
        mine.releaseLock(file, held->currentRowid() + 1);
        QCOMPARE(refusalOf([&] { operation.commit(); }), holder);
    }
    held->cancel();
}

// An operation's first write goes to the server in the round trip that starts its transaction:
// what it stores and returns is exactly what a view holds, and one the server refuses leaves
// nothing stored and no transaction open.
void TestServerStore::firstWriteGoesWithTheTransactionsStart()
{
    TestServer server;
    REQUIRE_SERVER(server);
    TwoCopies copies(server, {});
    auto heads = openView(copies.mine, u"Head.DB"_s);
    const QString awkward = u"it's \"?\" \u2014 100%, \\ $1"_s;
    const double first = 0.1 + 0.2;
    heads->insert();
    fill(heads,
        { { u"ID", 1.0 }, { u"No", u"Q?1"_s }, { u"Client_ID", first }, { u"Notes", awkward },
            { u"When", QDate(2026, 12, 9) } });
    heads->post();
    const QVariant sum = heads->addToField({ 1.0 }, u"Client_ID"_s, 1.0 / 3);
    QVERIFY(sum.toDouble() == first + 1.0 / 3);
    auto theirs = openView(copies.theirs, u"Head.DB"_s);
    QVERIFY(number(theirs, u"Client_ID") == first + 1.0 / 3);
    QCOMPARE(text(theirs, u"No"), u"Q?1"_s);
    QCOMPARE(text(theirs, u"Notes"), awkward);
    QCOMPARE(text(theirs, u"When"), text(heads, u"When"));

    heads->insert();
    fill(heads, { { u"ID", 1.0 }, { u"No", u"Q2"_s } });
    try {
        heads->post();
        QFAIL("stored a key twice");
    } catch (const EDatabaseError &error) {
        QCOMPARE(error.kind(), EDatabaseError::Kind::DuplicateKey);
        QCOMPARE(error.message(), u"Head.DB: Key violation"_s);
    }
    QVERIFY(!copies.mine.writing());
    QCOMPARE(server.execute(u"DO $$ BEGIN IF EXISTS (SELECT 1 FROM pg_stat_activity WHERE "
                            "datname = current_database() AND xact_start IS NOT NULL AND "
                            "pid <> pg_backend_pid()) THEN RAISE 'a transaction is open'; END IF; "
                            "END $$"_s),
        QString());
    QCOMPARE(heads->state(), DataSetState::Insert);
    fill(heads, { { u"ID", 2.0 } });
    heads->post();
    theirs->refresh();
    QCOMPARE(rows(theirs, { u"ID", u"No" }), Rows({ { 1.0, u"Q?1"_s }, { 2.0, u"Q2"_s } }));
}

// Inserts after an operation's first write go without waiting, under row ids taken ahead: they are
// stored as the views hold them, and one the server refuses fails the operation as a whole.
void TestServerStore::insertsSentAheadStoreAllOrNothing()
{
    TestServer server;
    REQUIRE_SERVER(server);
    TwoCopies copies(server, {});
    auto heads = openView(copies.mine, u"Head.DB"_s);
    const auto addHeads = [&heads](const QList<double> &ids) {
        OperationScope operation(heads->database(), heads->fileIndex());
        for (double id : ids) {
            heads->insert();
            fill(heads, { { u"ID", id }, { u"No", u"N%1"_s.arg(id) } });
            heads->post();
        }
        operation.commit();
    };
    addHeads({ 1.0, 2.0, 3.0, 4.0 });
    QCOMPARE(number(heads, u"ID"), 4.0);
    auto theirs = openView(copies.theirs, u"Head.DB"_s);
    QCOMPARE(rows(theirs, { u"ID", u"No" }),
        Rows({ { 1.0, u"N1"_s }, { 2.0, u"N2"_s }, { 3.0, u"N3"_s }, { 4.0, u"N4"_s } }));
    QVERIFY(theirs->findKey({ 4.0 }));
    QCOMPARE(theirs->currentRowid(), heads->currentRowid());

    try {
        addHeads({ 5.0, 6.0, 7.0, 2.0, 8.0 });
        QFAIL("stored a key twice");
    } catch (const EDatabaseError &error) {
        QCOMPARE(error.kind(), EDatabaseError::Kind::DuplicateKey);
        QCOMPARE(error.message(), u"Head.DB: Key violation"_s);
    }
    QVERIFY(!copies.mine.writing());
    theirs->refresh();
    QCOMPARE(theirs->recordCount(), 4);
    addHeads({ 5.0 });
    theirs->refresh();
    QCOMPARE(theirs->recordCount(), 5);
}

// An edit reads the record with its lock's take where it can: what another copy committed since
// this copy read it, and never what an outside transaction left unfinished or undid (the version
// read then carries that transaction's mark, and the record is read again).
void TestServerStore::editReadsTheRecordAsStoredAtItsLock_data()
{
    QTest::addColumn<QString>("outside"); // an update on a connection of its own
    QTest::addColumn<bool>("undone"); // rolled back before the edit, else left open
    QTest::newRow("another copy's post") << QString() << false;
    QTest::newRow("an outside update undone")
        << u"UPDATE \"Cust.DB\" SET \"Name\" = 'Undone'"_s << true;
    QTest::newRow("an outside update not committed")
        << u"UPDATE \"Cust.DB\" SET \"Name\" = 'Unfinished'"_s << false;
}

void TestServerStore::editReadsTheRecordAsStoredAtItsLock()
{
    QFETCH(QString, outside);
    QFETCH(bool, undone);
    TestServer server;
    REQUIRE_SERVER(server);
    TwoCopies copies(server, { u"Anna"_s });
    auto view = openView(copies.mine, u"Cust.DB"_s);
    QCOMPARE(text(view, u"Name"), u"Anna"_s); // read before the other copy's post
    auto their = openView(copies.theirs, u"Cust.DB"_s);
    their->edit();
    setText(their, u"Name", u"Anne"_s);
    their->post();
    TQVDatabase tool;
    connectTestDatabase(tool, copies.dir.path());
    QSqlQuery query(tool.store().connection());
    if (!outside.isEmpty()) {
        QVERIFY(query.exec(u"BEGIN"_s));
        QVERIFY(query.exec(outside));
        if (undone)
            QVERIFY(query.exec(u"ROLLBACK"_s));
    }
    view->edit();
    QCOMPARE(text(view, u"Name"), u"Anne"_s);
    view->cancel();
    if (!outside.isEmpty() && !undone)
        QVERIFY(query.exec(u"ROLLBACK"_s));
}

// The post's lock goes in its commit's round trip, and only with a commit that succeeded: a COMMIT
// the server refuses leaves the record locked and in edit, for the user to save again or cancel.
void TestServerStore::postLetsGoOfItsLockOnlyWhenItCommits()
{
    TestServer server;
    REQUIRE_SERVER(server);
    TwoCopies copies(server, { u"Anna"_s });
    TQVDatabase &theirs = copies.theirs;
    auto view = openView(copies.mine, u"Cust.DB"_s);
    const int file = view->fileIndex();
    const qint64 record = view->currentRowid();
    const QString holder =
        RecordLocks::lockedBy(RecordLocks::accountName(), QSysInfo::machineHostName());
    const auto theirTake = [&] {
        return refusalOf([&] {
            theirs.acquireTableLock(file, 0);
            theirs.releaseLock(file, RecordLocks::wholeTable);
        });
    };
    view->edit();
    setText(view, u"Name", u"Anne"_s);
    view->post();
    QCOMPARE(theirTake(), u"(opened)"_s);
    // A check that refuses at the commit, as a deferred constraint does.
    QCOMPARE(server.execute(u"CREATE FUNCTION refuse() RETURNS trigger LANGUAGE plpgsql AS "
                            "$$BEGIN RAISE EXCEPTION 'refused at the commit'; END$$"_s),
        QString());
    QCOMPARE(
        server.execute(u"CREATE CONSTRAINT TRIGGER refuse AFTER UPDATE ON \"Cust.DB\" "
                       "DEFERRABLE INITIALLY DEFERRED FOR EACH ROW EXECUTE FUNCTION refuse()"_s),
        QString());
    view->edit();
    setText(view, u"Name", u"Anna"_s);
    QVERIFY(refusalOf([&] { view->post(); }).contains(u"refused at the commit"_s));
    QVERIFY(view->isEditing());
    QCOMPARE(theirTake(), holder);
    QCOMPARE(customerNames(theirs.store().connection()), QStringList({ u"Anne"_s }));
    view->cancel();
    QCOMPARE(theirTake(), u"(opened)"_s);
    QCOMPARE(view->currentRowid(), record);
}

// An account that may read but not write is refused at the connection, not at its first save.
void TestServerStore::accountThatMayNotWriteIsRefused()
{
    TestServer server;
    REQUIRE_SERVER(server);
    ServerStore::create(connectionTo(server), testSchema());
    const QString role = server.databaseName() + u"_reader"_s;
    QCOMPARE(server.execute(u"CREATE ROLE %1 LOGIN; GRANT SELECT ON ALL TABLES IN SCHEMA public "
                            "TO %1"_s.arg(role)),
        QString());
    TempDataDir dir;
    {
        QFile file(dir.filePath(ServerConnection::fileName()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(keywordsWith(server, u"user="_s + role).toUtf8());
    }
    QString refusal;
    {
        TQVDatabase database;
        refusal = refusalOf([&] { connectTestDatabase(database, dir.path()); });
    }
    QCOMPARE(server.execute(u"DROP OWNED BY %1; DROP ROLE %1"_s.arg(role)), QString());
    QVERIFY2(refusal.contains(u"INSERT privilege"_s) && refusal.contains(role)
            && refusal.contains(connectionTo(server).serverName()),
        qPrintable(refusal));
}

// The searches' case-blind conditions and order, as each store's dialect spells them, find the
// same names in the same order.
void TestServerStore::caseBlindSearchesMatchOnBothStores_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("startingWith");
    QTest::addColumn<QStringList>("atOrAfter");
    QTest::newRow("lower case") << u"an"_s << QStringList { u"anna"_s, u"Anne"_s }
                                << QStringList { u"anna"_s, u"Anne"_s, u"axb"_s, u"Ben"_s,
                                       u"bert"_s };
    QTest::newRow("upper case") << u"B"_s << QStringList { u"Ben"_s, u"bert"_s }
                                << QStringList { u"Ben"_s, u"bert"_s };
    QTest::newRow("a wildcard typed")
        << u"a_"_s << QStringList { u"a_b"_s }
        << QStringList { u"a_b"_s, u"anna"_s, u"Anne"_s, u"axb"_s, u"Ben"_s, u"bert"_s };
}

void TestServerStore::caseBlindSearchesMatchOnBothStores()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, startingWith);
    QFETCH(QStringList, atOrAfter);
    TestServer server;
    REQUIRE_SERVER(server);
    const auto fill = [](QSqlQuery &query) {
        insertCustomers(query, { u"Ben"_s, u"anna"_s, u"a_b"_s, u"bert"_s, u"Anne"_s, u"axb"_s });
    };
    ServerStore::create(connectionTo(server), testSchema(), fill);
    TempDataDir dir;
    EmbeddedStore::create(dir.filePath(EmbeddedStore::databaseFileName()), testSchema(), fill);
    const auto names = [](const QSqlDatabase &db, const QString &where, const QString &value) {
        const SqlDialect dialect = SqlDialect::of(db);
        QSqlQuery query(db);
        query.prepare(u"SELECT \"Name\" FROM \"Cust.DB\" WHERE %1 ORDER BY %2"_s.arg(
            where, dialect.caseBlindOrder(u"\"Name\""_s)));
        query.addBindValue(value);
        SqlStore::run(query, u"Cust.DB"_s);
        QStringList found;
        while (query.next())
            found << query.value(0).toString();
        return found;
    };
    ServerStore onServer(testSchema());
    onServer.open(connectionTo(server));
    EmbeddedStore embedded(testSchema());
    embedded.open(dir.path());
    for (const QSqlDatabase &db : { onServer.connection(), embedded.connection() }) {
        const SqlDialect dialect = SqlDialect::of(db);
        QCOMPARE(names(db, dialect.startsWithCaseBlind(u"\"Name\""_s),
                     SqlDialect::startsWithPattern(typed)),
            startingWith);
        QCOMPARE(names(db, dialect.atOrAfterCaseBlind(u"\"Name\""_s), typed), atOrAfter);
    }
}

QTEST_MAIN(TestServerStore)
#include "tst_serverstore.moc"

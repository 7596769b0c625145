// The program's tables on a PostgreSQL server: made in an empty database, checked against the
// catalog (anything tampered with or brought in is named), writes from anyone counted and told
// through NOTIFY once a statement, and the server's refusals read as the engine's error kinds.
#include "TestServer.h"
#include "data/TableSchema.h"
#include "engine/Exception.h"
#include "engine/ServerConnection.h"
#include "engine/ServerErrors.h"
#include "engine/ServerRecordLocks.h"
#include "engine/ServerSchema.h"
#include "engine/ServerSchemaCheck.h"
#include "engine/SqlStore.h"

#include <QSignalSpy>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QUuid>

#include <optional>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(EDatabaseError::Kind)

class TestServerSchema : public QObject
{
    Q_OBJECT

private slots:
    void checkNamesWhatIsWrong_data();
    void checkNamesWhatIsWrong();
    void writesAreCountedAndNoticed_data();
    void writesAreCountedAndNoticed();
    void refusalsHaveTheirKind_data();
    void refusalsHaveTheirKind();
};

namespace {

// A QPSQL connection of its own to the test server's database, removed when it goes.
class Connection
{
public:
    explicit Connection(const TestServer &server)
        : m_name(u"schema-test-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces))
        , m_server(ServerConnection::fromText(server.keywords(), u"the test"_s))
    {
        m_db = m_server.open(m_name);
    }
    ~Connection()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    QSqlDatabase db() const { return m_db; }
    QString serverName() const { return m_server.serverName(); }
    QVariant value(const QString &sql) const
    {
        QSqlQuery query(m_db);
        if (!query.exec(sql) || !query.next())
            return query.lastError().text();
        return query.value(0);
    }

private:
    QString m_name;
    ServerConnection m_server;
    QSqlDatabase m_db;
};

QString makeSchema(const Connection &connection)
{
    try {
        ServerSchema::create(connection.db(), tessorinSchema(), connection.serverName());
        return {};
    } catch (const EDatabaseError &error) {
        return error.message();
    }
}

} // namespace

void TestServerSchema::checkNamesWhatIsWrong_data()
{
    QTest::addColumn<bool>("made"); // the schema made first
    QTest::addColumn<QStringList>("tampering"); // run as the superuser after
    QTest::addColumn<QString>("problem"); // a part of the problems found, or empty for none

    const auto row = [](const char *name, const QStringList &tampering, const QString &problem) {
        QTest::newRow(name) << true << tampering << problem;
    };
    QTest::newRow("an empty database") << false << QStringList() << u"is empty"_s;
    row("as made", {}, {});
    row("sessions table as the locks make it", { u"DROP TABLE \"TQVSessions\""_s }, {});
    row("marker missing", { u"DROP TABLE \"TQVFormat\""_s },
        u"is not a database of this program"_s);
    row("another program's marker", { u"UPDATE \"TQVFormat\" SET \"ApplicationId\" = 1"_s },
        u"is not a database of this program"_s);
    row("a marker of another kind",
        { u"DROP TABLE \"TQVFormat\""_s, u"CREATE TABLE \"TQVFormat\" (name text)"_s },
        u"is not a database of this program"_s);
    row("another format", { u"UPDATE \"TQVFormat\" SET \"FormatVersion\" = 2"_s },
        u"has format 2, not %1"_s.arg(SqlStore::formatVersion));
    row("a table missing", { u"DROP TABLE \"Quotes.DB\""_s },
        u"Table Quotes.DB does not exist in the database"_s);
    row("a field's type changed",
        { u"ALTER TABLE \"Quotes.DB\" ALTER COLUMN \"QuoteTotal\" TYPE double precision"_s },
        u"Table Quotes.DB in the database %1 is damaged: field QuoteTotal has type double "
        "precision, not money_real"_s);
    row("a text not compared by byte",
        { u"ALTER TABLE \"Quotes.DB\" ALTER COLUMN \"Quote_No\" TYPE varchar(30) "
          "COLLATE \"default\""_s },
        u"field Quote_No has type character varying(30) COLLATE \"default\""_s);
    row("a field refusing empty values",
        { u"ALTER TABLE \"Quotes.DB\" ALTER COLUMN \"Status\" SET NOT NULL"_s },
        u"field Status has type character varying(1) NOT NULL"_s);
    row("a domain redeclared",
        { u"ALTER DOMAIN money_real ADD CONSTRAINT positive CHECK (VALUE >= 0)"_s },
        u"the type money_real is missing or not double precision"_s);
    row("an index dropped", { u"DROP INDEX \"Quotes.DB/PriorQuoteNo\""_s },
        u"Table Quotes.DB in the database %1 is damaged: index PriorQuoteNo is missing or wrong"_s);
    row("the primary key dropped",
        { u"ALTER TABLE \"Quotes.DB\" DROP CONSTRAINT \"Quotes.DB/primary\""_s },
        u"its primary key is wrong"_s);
    row("the row id dropped", { u"ALTER TABLE \"Quotes.DB\" DROP COLUMN rowid"_s },
        u"its row id column is missing or wrong"_s);
    row("a counter row missing",
        { u"DELETE FROM \"TQVChanges\" WHERE \"TableName\" = 'QUOTES.DB'"_s },
        u"its change counter is missing"_s);
    row("change notices disabled",
        { u"ALTER TABLE \"Quotes.DB\" DISABLE TRIGGER tessorin_changes"_s },
        u"Table Quotes.DB in the database %1 is damaged: its change notices are missing"_s);
    row("the counting function replaced",
        { u"CREATE OR REPLACE FUNCTION tessorin_count_change() RETURNS trigger LANGUAGE plpgsql "
          "SET search_path FROM CURRENT AS $$BEGIN RETURN NULL; END$$"_s },
        u"the function tessorin_count_change that counts changes is missing or changed"_s);
    row("the counting function's search path widened",
        { u"ALTER FUNCTION tessorin_count_change() SET search_path = \"$user\", public"_s },
        u"the function tessorin_count_change that counts changes is missing or changed"_s);
    row("an extra trigger",
        { u"CREATE FUNCTION spy() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN RETURN NULL; END$$"_s,
            u"CREATE TRIGGER spy AFTER INSERT ON \"Quotes.DB\" FOR EACH ROW EXECUTE FUNCTION spy()"_s },
        u"The database %1 holds what this program does not declare: function \"spy\", "
        "trigger \"spy\" on \"Quotes.DB\""_s);
    row("an extra table and view",
        { u"CREATE TABLE \"Notes\" (a integer)"_s, u"CREATE VIEW seen AS SELECT 1 AS one"_s },
        u"table \"Notes\", view \"seen\""_s);
    row("an extra index", { u"CREATE INDEX quick ON \"Quotes.DB\" (\"Date\")"_s },
        u"index \"quick\" on \"Quotes.DB\""_s);
    row("a rule on a table",
        { u"CREATE RULE keep AS ON DELETE TO \"Quotes.DB\" DO INSTEAD NOTHING"_s },
        u"rule \"keep\" on \"Quotes.DB\""_s);
}

void TestServerSchema::checkNamesWhatIsWrong()
{
    QFETCH(bool, made);
    QFETCH(QStringList, tampering);
    QFETCH(QString, problem);
    TestServer server;
    REQUIRE_SERVER(server);
    Connection connection(server);
    if (made) {
        QCOMPARE(makeSchema(connection), QString());
        // A second making never goes over what is there.
        QVERIFY(makeSchema(connection).contains(u"it is not empty"_s));
    }
    for (const QString &sql : tampering)
        QCOMPARE(server.execute(sql), QString());
    // A running copy of the program registers with the locks (making their table if missing).
    std::optional<ServerRecordLocks> locks;
    if (made)
        locks.emplace(connection.db());

    const QStringList problems =
        ServerSchemaCheck::problems(connection.db(), tessorinSchema(), connection.serverName());
    if (problem.isEmpty()) {
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    } else {
        const QString all = problems.join(u'\n');
        QVERIFY2(all.contains(QString(problem).replace(u"%1"_s, connection.serverName()))
                && all.contains(connection.serverName()),
            qPrintable(all));
    }
}

void TestServerSchema::writesAreCountedAndNoticed_data()
{
    QTest::addColumn<QString>("statement"); // run by a plain connection of another program

    QTest::newRow("a row added") << u"INSERT INTO \"Quotes.DB\" (\"Quote_ID\") VALUES (9)"_s;
    QTest::newRow("rows changed at once") << u"UPDATE \"Quotes.DB\" SET \"Status\" = 'C'"_s;
    QTest::newRow("rows deleted at once") << u"DELETE FROM \"Quotes.DB\""_s;
    QTest::newRow("no row matched") << u"UPDATE \"Quotes.DB\" SET \"Status\" = 'C' WHERE false"_s;
    QTest::newRow("the table emptied") << u"TRUNCATE \"Quotes.DB\""_s;
}

void TestServerSchema::writesAreCountedAndNoticed()
{
    QFETCH(QString, statement);
    TestServer server;
    REQUIRE_SERVER(server);
    Connection connection(server);
    QCOMPARE(makeSchema(connection), QString());
    QCOMPARE(server.execute(u"INSERT INTO \"Quotes.DB\" (\"Quote_ID\", \"Status\") "
                            "VALUES (1, 'O'), (2, 'O'), (3, 'O')"_s),
        QString());
    const QString counter =
        u"SELECT \"Counter\" FROM \"TQVChanges\" WHERE \"TableName\" = 'QUOTES.DB'"_s;
    QCOMPARE(connection.value(counter).toLongLong(), 1); // the three rows in one statement

    QSqlDriver *driver = connection.db().driver();
    QSignalSpy notices(driver,
        qOverload<const QString &, QSqlDriver::NotificationSource, const QVariant &>(
            &QSqlDriver::notification));
    QVERIFY(driver->subscribeToNotification(ServerSchema::changesChannel()));
    QCOMPARE(server.execute(statement), QString());
    QVERIFY(notices.wait(20000));
    QCOMPARE(notices.first().at(0).toString(), ServerSchema::changesChannel());
    QCOMPARE(
        notices.first().at(1).value<QSqlDriver::NotificationSource>(), QSqlDriver::OtherSource);
    QCOMPARE(notices.first().at(2).toString(), u"QUOTES.DB"_s);
    QCOMPARE(connection.value(counter).toLongLong(), 2);
    QCOMPARE(notices.size(), 1);
    driver->unsubscribeFromNotification(ServerSchema::changesChannel());
}

void TestServerSchema::refusalsHaveTheirKind_data()
{
    QTest::addColumn<QStringList>("before"); // the refused connection's statements first
    QTest::addColumn<QStringList>("other"); // then another connection's; {pid}: the refused one
    QTest::addColumn<QStringList>("refused"); // each refused; the last one's kind is compared
    QTest::addColumn<EDatabaseError::Kind>("kind");

    using Kind = EDatabaseError::Kind;
    QTest::newRow("a key taken") << QStringList() << QStringList()
                                 << QStringList { u"INSERT INTO t VALUES (1)"_s }
                                 << Kind::DuplicateKey;
    QTest::newRow("a row another holds")
        << QStringList() << QStringList { u"BEGIN"_s, u"SELECT k FROM t FOR UPDATE"_s }
        << QStringList { u"SELECT k FROM t FOR UPDATE NOWAIT"_s } << Kind::Busy;
    QTest::newRow("a read-only session")
        << QStringList { u"SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY"_s }
        << QStringList() << QStringList { u"INSERT INTO t VALUES (2)"_s } << Kind::ReadOnly;
    QTest::newRow("the server process ended")
        << QStringList() << QStringList { u"SELECT pg_terminate_backend({pid}, 10000)"_s }
        << QStringList { u"SELECT 1"_s } << Kind::LostConnection;
    QTest::newRow("a statement after the connection went")
        << QStringList() << QStringList { u"SELECT pg_terminate_backend({pid}, 10000)"_s }
        << QStringList { u"SELECT 1"_s, u"SELECT 2"_s } << Kind::LostConnection;
    QTest::newRow("no such table") << QStringList() << QStringList()
                                   << QStringList { u"SELECT 1 FROM nowhere"_s } << Kind::Other;
}

void TestServerSchema::refusalsHaveTheirKind()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, other);
    QFETCH(QStringList, refused);
    QFETCH(EDatabaseError::Kind, kind);
    TestServer server;
    REQUIRE_SERVER(server);
    QCOMPARE(server.execute(u"CREATE TABLE t (k integer PRIMARY KEY)"_s), QString());
    QCOMPARE(server.execute(u"INSERT INTO t VALUES (1)"_s), QString());
    Connection victim(server);
    Connection holder(server);
    const QString pid = victim.value(u"SELECT pg_backend_pid()"_s).toString();
    QSqlQuery query(victim.db());
    for (const QString &sql : before)
        QVERIFY2(query.exec(sql), qPrintable(query.lastError().text()));
    QSqlQuery holding(holder.db());
    for (const QString &sql : other) {
        QVERIFY2(holding.exec(QString(sql).replace(u"{pid}"_s, pid)),
            qPrintable(holding.lastError().text()));
    }
    for (const QString &sql : refused)
        QVERIFY(!query.exec(sql));
    QCOMPARE(ServerErrors::kindOf(query), kind);
}

QTEST_GUILESS_MAIN(TestServerSchema)
#include "tst_serverschema.moc"

// A data directory's Tessorin.server: the connection keywords read and checked (never a password,
// nothing unknown, a malformed file refused naming it), and a connection opened with them, by
// host and database or by a service alone, or refused naming the server.
#include "TempDataDir.h"
#include "TestServer.h"
#include "engine/Exception.h"
#include "engine/ServerConnection.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

class TestServerConnection : public QObject
{
    Q_OBJECT

private slots:
    void keywordsReadAndChecked_data();
    void keywordsReadAndChecked();
    void opensTheNamedServer_data();
    void opensTheNamedServer();
};

namespace {

void writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

// The keywords read from directory's file as "keyword=value|...", or the refusal.
QString readFrom(const QString &directory)
{
    try {
        const ServerConnection connection = ServerConnection::fromDirectory(directory);
        QStringList read;
        for (const auto &[keyword, value] : connection.keywords())
            read << keyword + u'=' + value;
        return read.join(u'|');
    } catch (const EDatabaseError &error) {
        return error.message();
    }
}

} // namespace

void TestServerConnection::keywordsReadAndChecked_data()
{
    QTest::addColumn<QString>("text"); // the file, or null for none
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("expected"); // the keywords read, or a part of the refusal

    QTest::newRow("one a line, with comments")
        << u"# the office server\nhost=db.example.org\nport=5433\n  dbname = quotes\n"_s << true
        << u"host=db.example.org|port=5433|dbname=quotes"_s;
    QTest::newRow("quoted and escaped, on one line")
        << u"host='/run/our sockets' application_name='it\\'s ours' sslmode=verify-full"_s << true
        << u"host=/run/our sockets|application_name=it's ours|sslmode=verify-full"_s;
    QTest::newRow("a service alone") << u"service=office"_s << true << u"service=office"_s;
    QTest::newRow("no file") << QString() << false << u"Cannot read"_s;
    QTest::newRow("a password") << u"host=db password=secret"_s << false << u"holds a password"_s;
    QTest::newRow("a key's password")
        << u"sslpassword=secret"_s << false << u"holds a sslpassword"_s;
    QTest::newRow("an unknown keyword") << u"hots=db"_s << false << u"unknown keyword \"hots\""_s;
    QTest::newRow("a keyword without a value")
        << u"host"_s << false << u"\"host\" is not keyword=value"_s;
    QTest::newRow("a quote left open") << u"host='db"_s << false << u"no closing quote"_s;
    QTest::newRow("a keyword twice") << u"host=a host=b"_s << false << u"host is given twice"_s;
    QTest::newRow("nothing but comments") << u"\n# none yet\n"_s << false << u"names no server"_s;
    QTest::newRow("a value with a semicolon")
        << u"options='-c a=b;c'"_s << false << u"a character a connection cannot pass on"_s;
}

void TestServerConnection::keywordsReadAndChecked()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(QString, expected);
    TempDataDir dir;
    const QString path = dir.filePath(ServerConnection::fileName());
    if (!text.isNull())
        writeFile(path, text);
    const QString read = readFrom(dir.path());
    if (accepted)
        QCOMPARE(read, expected);
    else
        QVERIFY2(read.contains(expected) && read.contains(QDir::toNativeSeparators(path)),
            qPrintable(read));
}

void TestServerConnection::opensTheNamedServer_data()
{
    QTest::addColumn<QString>("keywords"); // {host}: the test server's socket, {db}: its database
    QTest::addColumn<QString>("refusal"); // a part of it, or empty when the connection opens

    QTest::newRow("host and database") << u"host='{host}' dbname={db} user=postgres"_s << QString();
    QTest::newRow("a service alone") << u"service=tessorin-test"_s << QString();
    QTest::newRow("no server there")
        << u"host=/nonexistent dbname={db} user=postgres connect_timeout=5"_s
        << u"Cannot connect to {db} on /nonexistent (named in "_s;
}

void TestServerConnection::opensTheNamedServer()
{
    QFETCH(QString, keywords);
    QFETCH(QString, refusal);
    TestServer server;
    REQUIRE_SERVER(server);
    const auto filledIn = [&server](QString text) {
        return text.replace(u"{host}"_s, server.socketDirectory())
            .replace(u"{db}"_s, server.databaseName());
    };
    TempDataDir dir;
    writeFile(dir.filePath(ServerConnection::fileName()), filledIn(keywords));
    // The service file as each user's ~/.pg_service.conf would hold it.
    writeFile(dir.filePath(u"services.conf"_s),
        u"[tessorin-test]\nhost=%1\ndbname=%2\nuser=postgres\n"_s.arg(
            server.socketDirectory(), server.databaseName()));
    qputenv("PGSERVICEFILE", QFile::encodeName(dir.filePath(u"services.conf"_s)));

    const QString name = u"opened"_s;
    QString failure;
    QString database;
    try {
        const QSqlDatabase db = ServerConnection::fromDirectory(dir.path()).open(name);
        QSqlQuery query(db);
        if (query.exec(u"SELECT current_database()"_s) && query.next())
            database = query.value(0).toString();
    } catch (const EDatabaseError &error) {
        failure = error.message();
    }
    QSqlDatabase::removeDatabase(name);
    qunsetenv("PGSERVICEFILE");
    if (refusal.isEmpty()) {
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        QCOMPARE(database, server.databaseName());
    } else {
        QVERIFY2(
            failure.contains(filledIn(refusal)) && failure.contains(ServerConnection::fileName()),
            qPrintable(failure));
    }
}

QTEST_GUILESS_MAIN(TestServerConnection)
#include "tst_serverconnection.moc"

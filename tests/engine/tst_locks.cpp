// The record locks between copies: which locks keep which out, counted locks, the holder named
// so that the refused user knows whom to ask, a lock file damaged by a crash, and copies of the
// previous version that keep their locks elsewhere. The rules of the locks run on both keepers:
// the lock file of a data directory and a server's session locks.
#include "PreviousVersionCopy.h"
#include "TempDataDir.h"
#include "TestServer.h"
#include "data/TableSchema.h"
#include "engine/Exception.h"
#include "engine/FileRecordLocks.h"
#include "engine/LockSessions.h"
#include "engine/PreviousVersionLocks.h"
#include "engine/RecordLocks.h"
#include "engine/ServerConnection.h"
#include "engine/ServerRecordLocks.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSysInfo>
#include <QTest>

#include <fcntl.h>
#include <memory>
#include <pwd.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

class TestLocks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void holderNamedFromAccount_data();
    void holderNamedFromAccount();
    void locksKeepOthersOut_data();
    void locksKeepOthersOut();
    void declaredTablesHaveRangesOfTheirOwn();
    void damagedLockFileKeepsLiveLocks_data();
    void damagedLockFileKeepsLiveLocks();
    void previousVersionNeverShares_data();
    void previousVersionNeverShares();
    void serverLocksGoWithTheirProcess_data();
    void serverLocksGoWithTheirProcess();
    void lostConnectionLosesLocks_data();
    void lostConnectionLosesLocks();
    void goneSessionsClearedByTheNextCopy();

private:
    std::unique_ptr<TestServer> m_server;
};

namespace {

// "Q7" is record 7 of Quotes.DB, "Q*" the whole table; L is Lines.DB.
std::pair<QString, qint64> lockOf(QStringView token)
{
    const QString table = token.at(0) == u'Q' ? u"Quotes.DB"_s : u"Lines.DB"_s;
    const QStringView record = token.mid(1);
    return { table, record == u"*" ? RecordLocks::wholeTable : record.toLongLong() };
}

// The refusal another copy meets taking token, or empty when it may take it; check and acquire
// must agree, and a lock taken is let go of again.
QString refusalFor(RecordLocks &locks, QStringView token)
{
    const auto [table, record] = lockOf(token);
    QString checked;
    try {
        locks.check(table, record);
    } catch (const EDatabaseError &error) {
        checked = error.message();
    }
    try {
        locks.acquire(table, record);
    } catch (const EDatabaseError &error) {
        return error.message() == checked ? error.message() : u"check said: "_s + checked;
    }
    locks.release(table, record);
    return checked.isEmpty() ? QString() : u"check refused what acquire took: "_s + checked;
}

// One copy's locks on the keeper under test: the lock file of a directory, or a server connection
// of the copy's own (its session keeps its locks).
class LockCopy
{
public:
    LockCopy(const QString &directory, const TestServer *server)
    {
        if (!server) {
            m_locks = RecordLocks::open(directory);
            return;
        }
        static int copies = 0;
        m_connection = u"copy-%1"_s.arg(++copies);
        const QSqlDatabase db =
            ServerConnection::fromText(server->keywords(), u"test"_s).open(m_connection);
        m_locks = RecordLocks::openOnServer(db);
    }
    ~LockCopy()
    {
        m_locks.reset();
        if (!m_connection.isEmpty()) {
            QSqlDatabase::database(m_connection, false).close();
            QSqlDatabase::removeDatabase(m_connection);
        }
    }
    RecordLocks *operator->() const { return m_locks.get(); }
    RecordLocks &operator*() const { return *m_locks; }
    QSqlDatabase connection() const { return QSqlDatabase::database(m_connection, false); }
    // The first column of what sql gives on this copy's connection.
    QVariant queried(const QString &sql) const
    {
        QSqlQuery query(connection());
        return query.exec(sql) && query.next() ? query.value(0) : query.lastError().text();
    }

private:
    QString m_connection;
    std::unique_ptr<RecordLocks> m_locks;
};

// Adds the rows of a lock rule once for each keeper, named "file: ..." and "server: ...", with
// the keeper in the first column, "server".
template <typename AddRows> void onBothKeepers(AddRows addRows)
{
    for (const bool server : { false, true }) {
        addRows([server](const char *name) -> QTestData & {
            return QTest::addRow("%s: %s", server ? "server" : "file", name) << server;
        });
    }
}


} // namespace

void TestLocks::initTestCase()
{
    m_server = std::make_unique<TestServer>();
}

void TestLocks::cleanupTestCase()
{
    m_server.reset();
}

void TestLocks::holderNamedFromAccount_data()
{
    QTest::addColumn<bool>("server");
    QTest::addColumn<QByteArray>("user");
    onBothKeepers([](auto row) {
        row("no USER in the environment") << QByteArray();
        row("USER says something else") << QByteArray("somebody-else");
    });
}

void TestLocks::holderNamedFromAccount()
{
    QFETCH(bool, server);
    QFETCH(QByteArray, user);
    if (server)
        REQUIRE_SERVER(*m_server);
    const struct passwd *account = ::getpwuid(::geteuid());
    if (!account)
        QSKIP("this account has no entry in the system's user list");
    const QString expected = QString::fromLocal8Bit(account->pw_name);

    const QByteArray savedUser = qgetenv("USER");
    const QByteArray savedUserName = qgetenv("USERNAME");
    qunsetenv("USERNAME");
    if (user.isEmpty())
        qunsetenv("USER");
    else
        qputenv("USER", user);

    TempDataDir dir;
    LockCopy mine(dir.path(), server ? m_server.get() : nullptr);
    LockCopy theirs(dir.path(), server ? m_server.get() : nullptr);
    qputenv("USER", savedUser);
    if (!savedUserName.isEmpty())
        qputenv("USERNAME", savedUserName);

    QCOMPARE(mine->userName(), expected);
    mine->acquire(u"Quotes.DB"_s, 7);
    try {
        theirs->acquire(u"Quotes.DB"_s, 7);
        QFAIL("a record held by another copy was taken");
    } catch (const EDatabaseError &error) {
        QVERIFY2(error.message().contains(expected), qPrintable(error.message()));
        QVERIFY2(!error.message().contains(u"unknown user"_s), qPrintable(error.message()));
    }
    mine->release(u"Quotes.DB"_s, 7);
}

void TestLocks::locksKeepOthersOut_data()
{
    QTest::addColumn<bool>("server");
    QTest::addColumn<QString>("mine"); // taken (+) and let go of (-) by one copy, in order
    QTest::addColumn<QString>("refused"); // what another copy is then refused
    QTest::addColumn<QString>("free"); // what it may then take
    onBothKeepers([](auto row) {
        row("record") << u"+Q7"_s << u"Q7 Q*"_s << u"Q8 L7 L*"_s;
        row("whole table") << u"+Q*"_s << u"Q* Q7 Q0"_s << u"L7 L*"_s;
        row("ids past 31 and 32 bits")
            << u"+Q4294967296 +Q-5 +Q2147483648"_s << u"Q4294967296 Q-5 Q2147483648"_s
            << u"Q4294967297 Q-4 L-5 Q2147483647 Q0"_s;
        row("taken twice, let go of once") << u"+Q7 +Q7 -Q7"_s << u"Q7 Q*"_s << u"Q8"_s;
        row("taken twice, let go of twice") << u"+Q7 +Q7 -Q7 -Q7"_s << QString() << u"Q7 Q*"_s;
        row("table, then a record let go of") << u"+Q* +Q7 -Q7"_s << u"Q* Q7 Q8"_s << u"L7"_s;
        row("record, then the table let go of") << u"+Q7 +Q* -Q*"_s << u"Q7 Q*"_s << u"Q8"_s;
        row("all let go of") << u"+Q7 +Q* +Q8 -Q7 -Q* -Q8"_s << QString() << u"Q* Q7 Q8"_s;
    });
}

void TestLocks::locksKeepOthersOut()
{
    QFETCH(bool, server);
    QFETCH(QString, mine);
    QFETCH(QString, refused);
    QFETCH(QString, free);
    if (server)
        REQUIRE_SERVER(*m_server);
    TempDataDir dir;
    const LockCopy holder(dir.path(), server ? m_server.get() : nullptr);
    const LockCopy other(dir.path(), server ? m_server.get() : nullptr);
    for (const QString &step : mine.split(u' ')) {
        const auto [table, record] = lockOf(QStringView(step).mid(1));
        if (step.startsWith(u'+'))
            holder->acquire(table, record);
        else
            holder->release(table, record);
    }
    const QString byHolder = RecordLocks::lockedBy(holder->userName(), holder->hostName());
    for (const QString &token : refused.split(u' ', Qt::SkipEmptyParts))
        QVERIFY2(refusalFor(*other, token) == byHolder,
            qPrintable(token + u": "_s + refusalFor(*other, token)));
    for (const QString &token : free.split(u' ', Qt::SkipEmptyParts))
        QVERIFY2(refusalFor(*other, token).isEmpty(),
            qPrintable(token + u": "_s + refusalFor(*other, token)));
}

// Tables whose ranges met would keep each other out for good.
void TestLocks::declaredTablesHaveRangesOfTheirOwn()
{
    QSet<int> ranges;
    for (const TableDef &table : tessorinSchema().tables)
        ranges.insert(FileRecordLocks::tableRange(table.fileName));
    QCOMPARE(ranges.size(), tessorinSchema().tables.size());
}

void TestLocks::damagedLockFileKeepsLiveLocks_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<qint64>("size"); // what is left of the file, or -1 to keep its length
    QTest::addColumn<QByteArray>("written"); // written over its start

    const QString locks = FileRecordLocks::lockFileName();
    const QString previous = PreviousVersionLocks::controlFileName();
    QTest::newRow("lock file truncated") << locks << qint64(0) << QByteArray();
    QTest::newRow("lock file cut inside a record") << locks << qint64(700) << QByteArray();
    QTest::newRow("lock file torn") << locks << qint64(-1) << QByteArray(2048, '\x5a');
    QTest::newRow("previous version's database torn")
        << previous << qint64(-1) << QByteArray(4096, '\x5a');
}

// After a power cut the next copy starts, finds a live copy's locks still held, and learns again
// whose they are once that copy has written its record anew.
void TestLocks::damagedLockFileKeepsLiveLocks()
{
    QFETCH(QString, file);
    QFETCH(qint64, size);
    QFETCH(QByteArray, written);
    TempDataDir dir;
    const auto earlier = RecordLocks::open(dir.path()); // takes the first slot
    const auto live = RecordLocks::open(dir.path());
    live->acquire(u"Quotes.DB"_s, 7);
    live->acquire(u"Lines.DB"_s, RecordLocks::wholeTable);

    QFile damaged(dir.filePath(file));
    QVERIFY(damaged.open(QIODevice::ReadWrite));
    if (size >= 0)
        QVERIFY(damaged.resize(size));
    if (!written.isEmpty())
        QVERIFY(damaged.write(written) == written.size());
    damaged.close();

    std::unique_ptr<RecordLocks> next;
    try {
        next = RecordLocks::open(dir.path());
    } catch (const EDatabaseError &error) {
        QFAIL(qPrintable(error.message()));
    }
    QVERIFY(!refusalFor(*next, u"Q7").isEmpty());
    QVERIFY(!refusalFor(*next, u"L3").isEmpty());
    QVERIFY(refusalFor(*next, u"Q8").isEmpty());
    const QString byLive = RecordLocks::lockedBy(live->userName(), live->hostName());
    QTRY_COMPARE_WITH_TIMEOUT(refusalFor(*next, u"Q7"), byLive, 10000);
    QCOMPARE(refusalFor(*next, u"L*"), byLive);
}

void TestLocks::previousVersionNeverShares_data()
{
    QTest::addColumn<bool>("oldDatabase"); // a copy of the previous version once used the directory
    QTest::addColumn<bool>("oldCopyRuns"); // and still runs

    QTest::newRow("never used by the previous version") << false << false;
    QTest::newRow("previous version gone") << true << false;
    QTest::newRow("previous version still running") << true << true;
}

void TestLocks::previousVersionNeverShares()
{
    QFETCH(bool, oldDatabase);
    QFETCH(bool, oldCopyRuns);
    TempDataDir dir;
    PreviousVersionCopy old(dir.path());
    if (oldDatabase) {
        QCOMPARE(old.registerSession(3), QString());
        if (oldCopyRuns)
            old.holdSlot(3);
    }
    try {
        const auto locks = RecordLocks::open(dir.path());
        QVERIFY2(!oldCopyRuns, "started beside a running copy of the previous version");
    } catch (const EDatabaseError &error) {
        QVERIFY2(oldCopyRuns, qPrintable(error.message()));
        QVERIFY2(error.message().contains(u"previous version"_s)
                && error.message().contains(u"old-user on old-pc"_s),
            qPrintable(error.message()));
        return;
    }
    // A copy of the previous version started now is told why it cannot lock.
    const QString refusal = old.registerSession(4);
    QVERIFY2(refusal.contains(u"newer version"_s), qPrintable(refusal));
}

void TestLocks::serverLocksGoWithTheirProcess_data()
{
    QTest::addColumn<bool>("kill");
    QTest::newRow("holder lets go") << false;
    QTest::newRow("holder killed with kill -9") << true;
}

// Another copy, a process of its own, holds a record and a table; this one is refused, told who
// holds them, until that copy lets go or dies: then the server lets go of its locks at once.
void TestLocks::serverLocksGoWithTheirProcess()
{
    QFETCH(bool, kill);
    REQUIRE_SERVER(*m_server);
    QProcess holder;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"USER"_s, u"peer-holder"_s); // a lock names the account, not this
    holder.setProcessEnvironment(environment);
    holder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    holder.start(
        QStringLiteral(LOCK_PEER), { m_server->keywords(), u"Quotes.DB:7"_s, u"Lines.DB:*"_s });
    while (!holder.canReadLine() && holder.waitForReadyRead(30000)) { }
    QCOMPARE(QString::fromUtf8(holder.readLine()).trimmed(), u"held"_s);

    TempDataDir dir;
    LockCopy mine(dir.path(), m_server.get());
    const QString byHolder =
        RecordLocks::lockedBy(RecordLocks::accountName(), QSysInfo::machineHostName());
    QCOMPARE(refusalFor(*mine, u"Q7"), byHolder);
    QCOMPARE(refusalFor(*mine, u"L3"), byHolder);
    QCOMPARE(refusalFor(*mine, u"Q8"), QString());

    if (kill)
        holder.kill();
    else
        holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(30000));
    QCOMPARE(holder.exitStatus() == QProcess::NormalExit && holder.exitCode() == 0, !kill);
    QElapsedTimer clock;
    clock.start();
    QTRY_VERIFY_WITH_TIMEOUT(
        refusalFor(*mine, u"Q7").isEmpty() && refusalFor(*mine, u"L3").isEmpty(), 1000);
    qInfo("taken %lld ms after the holder ended", clock.elapsed());
}

void TestLocks::lostConnectionLosesLocks_data()
{
    QTest::addColumn<QString>("loss");
    QTest::newRow("connection kept") << QString();
    QTest::newRow("server process ended") << u"terminated"_s;
    QTest::newRow("connection closed and opened again") << u"reopened"_s;
}

// A copy whose connection dropped has lost its locks with it: other copies take them at once.
// (That it posts no edit whose lock went: tst_serverstore.)
void TestLocks::lostConnectionLosesLocks()
{
    QFETCH(QString, loss);
    REQUIRE_SERVER(*m_server);
    TempDataDir dir;
    const LockCopy mine(dir.path(), m_server.get());
    const LockCopy other(dir.path(), m_server.get());
    mine->acquire(u"Quotes.DB"_s, 7);
    mine->acquire(u"Lines.DB"_s, RecordLocks::wholeTable);
    if (loss == u"terminated"_s) {
        const QString pid = mine.queried(u"SELECT pg_backend_pid()"_s).toString();
        QCOMPARE(
            m_server->execute(u"SELECT pg_terminate_backend(%1, 10000)"_s.arg(pid)), QString());
    } else if (loss == u"reopened"_s) {
        QSqlDatabase db = mine.connection();
        db.close();
        QVERIFY(db.open());
    }
    const bool kept = loss.isEmpty();
    QCOMPARE(refusalFor(*other, u"Q7").isEmpty(), !kept);
    QCOMPARE(refusalFor(*other, u"L3").isEmpty(), !kept);
}

// Rows of copies whose server process is gone are cleared by the next copy; live ones stay.
void TestLocks::goneSessionsClearedByTheNextCopy()
{
    REQUIRE_SERVER(*m_server);
    TempDataDir dir;
    const LockCopy live(dir.path(), m_server.get());
    QCOMPARE(
        m_server->execute(u"INSERT INTO \"%1\" VALUES (2147483000, 'gone', 'nowhere', now())"_s.arg(
            ServerRecordLocks::sessionsTable())),
        QString());
    const LockCopy next(dir.path(), m_server.get());
    QCOMPARE(next.queried(u"SELECT string_agg(user_name, ' ') FROM \"%1\""_s.arg(
                 ServerRecordLocks::sessionsTable())),
        QVariant(RecordLocks::accountName() + u' ' + RecordLocks::accountName()));
}

QTEST_GUILESS_MAIN(TestLocks)
#include "tst_locks.moc"

// Several copies of the program on one data directory, as real processes: record locks between
// them and after one is killed, no lost updates, and files that still agree after kills at random
// moments of multi-file saves.
#include "FileStatement.h"
#include "RecordValues.h"
#include "TempDataDir.h"
#include "TestStore.h"
#include "TestTables.h"
#include "engine/EmbeddedStore.h"
#include "engine/Exception.h"
#include "engine/PreviousVersionLocks.h"
#include "engine/RecordLocks.h"
#include "engine/TQVDatabase.h"
#include "engine/TableView.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QThread>
#include <QUrl>

#include <memory>
#include <pwd.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// The peer's environment names someone else; a lock names the account the system knows.
const QString peerUser = u"peer-holder"_s;

QString accountName()
{
    const struct passwd *account = ::getpwuid(::geteuid());
    return account ? QString::fromLocal8Bit(account->pw_name) : QString();
}

// How many kills the crash loop makes at most, and for how long it may go on; a slow
// (sanitizer) build makes fewer kills within the time.
int crashKills()
{
    bool ok = false;
    const int kills = qEnvironmentVariableIntValue("TESSORIN_CRASH_KILLS", &ok);
    return ok && kills > 0 ? kills : 250;
}
constexpr int crashLoopSeconds = 100;
constexpr int crashLoopMinimumKills = 20;

// Reads a copy's stdout line by line.
class Peer
{
public:
    Peer(const QString &directory, const QStringList &args)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"USER"_s, peerUser);
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(ENGINE_PEER), QStringList { directory } + args);
    }
    ~Peer()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(10000);
        }
    }

    // The next line, or an empty one when the copy ends or is silent for timeoutMs.
    QString nextLine(int timeoutMs = 30000)
    {
        QElapsedTimer clock;
        clock.start();
        while (!m_process.canReadLine()) {
            if (m_process.state() == QProcess::NotRunning || clock.elapsed() > timeoutMs)
                return {};
            m_process.waitForReadyRead(100);
        }
        const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
        m_transcript << line;
        return line;
    }
    // The last lines read, for failure messages.
    QByteArray transcript() const
    {
        const qsizetype from = std::max<qsizetype>(0, m_transcript.size() - 5);
        return m_transcript.mid(from).join(u" | "_s).toUtf8();
    }
    bool waitFor(const QString &line)
    {
        for (QString read = nextLine(); !read.isNull(); read = nextLine()) {
            if (read == line)
                return true;
        }
        return false;
    }
    int finish()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(60000))
            return -1;
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }
    void kill()
    {
        m_process.kill();
        m_process.waitForFinished(10000);
    }

private:
    QProcess m_process;
    QStringList m_transcript;
};

} // namespace

class TestMultiProcess : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void heldRecordRefusedUntilHolderGoes_data();
    void heldRecordRefusedUntilHolderGoes();
    void refusedCopyNamesHolder();
    void concurrentAddsLoseNothing();
    void killsDuringSavesLeaveFilesAgreeing();

private:
    std::unique_ptr<TableView> view(TQVDatabase &db, const QString &table);
    void addHeads(int count);
    bool tryEditTotal(TableView &heads, double value, QString *refusal);
    QVariant stored(const QString &file, const QString &sql);
    QString integrity(const QString &file);

    std::unique_ptr<TempDataDir> m_dir;
};

void TestMultiProcess::init()
{
    m_dir = std::make_unique<TempDataDir>();
    createTestTables(m_dir->path());
}

void TestMultiProcess::cleanup()
{
    m_dir.reset();
}

std::unique_ptr<TableView> TestMultiProcess::view(TQVDatabase &db, const QString &table)
{
    auto v = std::make_unique<TableView>();
    v->setDatabase(&db);
    v->setTableName(table);
    v->open();
    return v;
}

void TestMultiProcess::addHeads(int count)
{
    TQVDatabase db;
    connectTestDatabase(db, m_dir->path());
    auto heads = view(db, u"Head.DB"_s);
    for (int id = 1; id <= count; ++id) {
        heads->append();
        setNumber(heads, u"ID", id);
        setText(heads, u"No", u"H%1"_s.arg(id));
        heads->post();
    }
    auto keys = view(db, u"Keys.DB"_s);
    keys->append();
    setNumber(keys, u"K", 1);
    setNumber(keys, u"Current", 0);
    keys->post();
}

bool TestMultiProcess::tryEditTotal(TableView &heads, double value, QString *refusal)
{
    try {
        heads.findKey({ 1.0 });
        heads.edit();
    } catch (const EDatabaseError &error) {
        if (refusal)
            *refusal = error.message();
        return false;
    }
    setNumber(heads, u"Total", value);
    heads.post();
    return true;
}

// Opens the database (or the lock-control file) on a connection of its own, read-only, as an
// outside checker would; in sql the table is called data.
QVariant TestMultiProcess::stored(const QString &file, const QString &sql)
{
    const QString name = u"peek"_s;
    QVariant result;
    const bool lockFile = file == PreviousVersionLocks::controlFileName();
    if (TestStore::onServer() && !lockFile)
        return runOnTable(m_dir->path(), file, sql);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(m_dir->filePath(lockFile ? file : EmbeddedStore::databaseFileName()));
        db.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(lockFile ? sql : onTable(file, sql)) && query.next())
                result = query.value(0);
            else
                result = query.lastError().text();
            query.finish();
            db.close();
        } else {
            result = db.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

QString TestMultiProcess::integrity(const QString &file)
{
    return stored(file, u"PRAGMA integrity_check"_s).toString();
}

void TestMultiProcess::heldRecordRefusedUntilHolderGoes_data()
{
    QTest::addColumn<bool>("kill");
    QTest::newRow("holder killed") << true;
    QTest::newRow("holder ends its edit") << false;
}

void TestMultiProcess::heldRecordRefusedUntilHolderGoes()
{
    QFETCH(bool, kill);
    addHeads(1);
    TQVDatabase db;
    connectTestDatabase(db, m_dir->path());
    auto heads = view(db, u"Head.DB"_s);

    Peer holder(m_dir->path(), { u"hold"_s, u"1"_s });
    QVERIFY2(holder.waitFor(u"held"_s), holder.transcript().constData());
    QString refusal;
    QVERIFY(!tryEditTotal(*heads, 5, &refusal));
    QVERIFY2(refusal.contains(u"locked by "_s + accountName() + u" on "_s), qPrintable(refusal));
    QVERIFY2(!refusal.contains(peerUser), qPrintable(refusal));
    QVERIFY2(refusal.contains(QSysInfo::machineHostName()), qPrintable(refusal));
    QCOMPARE(heads->state(), DataSetState::Browse);

    if (kill)
        holder.kill();
    else
        QCOMPARE(holder.finish(), 0);
    // A killed copy's lock goes with its process: the first try takes it.
    QVERIFY(tryEditTotal(*heads, 5, nullptr));
    QCOMPARE(stored(u"Head.DB"_s, u"SELECT Total FROM data WHERE ID = 1"_s).toDouble(), 5.0);
}

void TestMultiProcess::refusedCopyNamesHolder()
{
    addHeads(1);
    TQVDatabase db;
    connectTestDatabase(db, m_dir->path());
    auto heads = view(db, u"Head.DB"_s);
    heads->first();
    heads->edit();

    Peer editor(m_dir->path(), { u"edit-total"_s, u"1"_s, u"9"_s });
    const QString refusal = editor.nextLine();
    QCOMPARE(editor.finish(), 3);
    QVERIFY2(refusal.contains(db.locks()->userName()), qPrintable(refusal));
    QVERIFY2(refusal.contains(QSysInfo::machineHostName()), qPrintable(refusal));

    heads->cancel();
    Peer again(m_dir->path(), { u"edit-total"_s, u"1"_s, u"9"_s });
    QCOMPARE(again.nextLine(), u"posted"_s);
    QCOMPARE(again.finish(), 0);
    QCOMPARE(stored(u"Head.DB"_s, u"SELECT Total FROM data WHERE ID = 1"_s).toDouble(), 9.0);
}

// Both copies add to one total through edit and post; each edit must start from what the other
// stored, so no addition is lost.
void TestMultiProcess::concurrentAddsLoseNothing()
{
    addHeads(1);
    constexpr int adds = 150;
    Peer first(m_dir->path(), { u"add-total"_s, u"1"_s, u"1"_s, QString::number(adds) });
    Peer second(m_dir->path(), { u"add-total"_s, u"1"_s, u"100"_s, QString::number(adds) });
    QVERIFY2(first.waitFor(u"added %1"_s.arg(adds)), first.transcript().constData());
    QVERIFY2(second.waitFor(u"added %1"_s.arg(adds)), second.transcript().constData());
    QCOMPARE(first.finish(), 0);
    QCOMPARE(second.finish(), 0);
    QCOMPARE(
        stored(u"Head.DB"_s, u"SELECT Total FROM data WHERE ID = 1"_s).toDouble(), adds * 101.0);
}

// A copy saving lines (line, header total and key counter in one operation) is killed at random
// moments. After each kill the next opener rolls back what the kill left half done, and then the
// database is sound and its tables agree: each header's total is the sum of its lines' charges and
// the key counter equals the number of lines.
void TestMultiProcess::killsDuringSavesLeaveFilesAgreeing()
{
    addHeads(3);
    const QStringList files { EmbeddedStore::databaseFileName(),
        PreviousVersionLocks::controlFileName() };
    QRandomGenerator random(20260228);
    QElapsedTimer clock;
    clock.start();
    int kills = 0;
    int leftJournals = 0;
    qint64 lastLines = 0;
    while (kills < crashKills()
        && (kills < crashLoopMinimumKills || clock.elapsed() < crashLoopSeconds * 1000)) {
        {
            Peer churn(m_dir->path(), { u"churn"_s, QString::number(random.generate()) });
            // Past its first save, whose set-up takes longer than the later ones.
            QVERIFY2(churn.waitFor(u"1"_s), churn.transcript().constData());
            QThread::msleep(random.bounded(31));
            churn.kill();
        }
        ++kills;
        const QDir dir(m_dir->path());
        if (!dir.entryList({ u"*.db-journal"_s }, QDir::Files).isEmpty())
            ++leftJournals;

        // The next opener, through the engine, rolls back a half-done save.
        double lineCount = 0;
        double counter = 0;
        {
            TQVDatabase db;
            connectTestDatabase(db, m_dir->path());
            db.locks(); // the lock-control file's next opener too
            auto lines = view(db, u"Line.DB"_s);
            auto heads = view(db, u"Head.DB"_s);
            auto keys = view(db, u"Keys.DB"_s);
            QHash<QString, double> sums;
            for (const Row &line : rows(lines, { u"No", u"Charge" })) {
                sums[line[0].toString()] += line[1].toDouble();
                ++lineCount;
            }
            for (const Row &head : rows(heads, { u"No", u"Total" })) {
                const QString no = head[0].toString();
                QVERIFY2(head[1].toDouble() == sums.value(no),
                    qPrintable(u"kill %1: %2 total %3, its lines %4"_s.arg(kills)
                                   .arg(no)
                                   .arg(head[1].toDouble())
                                   .arg(sums.value(no))));
            }
            keys->first();
            counter = number(keys, u"Current");
            QVERIFY2(counter == lineCount,
                qPrintable(
                    u"kill %1: counter %2, lines %3"_s.arg(kills).arg(counter).arg(lineCount)));
        }
        // The files' own soundness is the embedded database's to keep; a server keeps its own.
        for (const QString &file : TestStore::onServer() ? QStringList() : files)
            QVERIFY2(integrity(file) == u"ok"_s, qPrintable(file + u": "_s + integrity(file)));
        QCOMPARE(stored(u"Line.DB"_s, u"SELECT COUNT(*) FROM data"_s).toDouble(), lineCount);
        QCOMPARE(
            stored(u"Line.DB"_s, u"SELECT COALESCE(MAX(ID), 0) FROM data"_s).toDouble(), counter);
        QVERIFY(lineCount >= lastLines);
        lastLines = qint64(lineCount);
    }
    qInfo("%d kills, %d left a journal behind, %lld lines saved", kills, leftJournals, lastLines);
    QVERIFY(lastLines > 0);
}

QTEST_GUILESS_MAIN(TestMultiProcess)
#include "tst_multiprocess.moc"

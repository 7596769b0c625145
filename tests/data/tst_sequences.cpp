// Long random runs of user operations on quotes and jobs, in one copy and in two copies at once
// on one data directory: after every operation the stored headers agree with their lines, every
// line has its one printed row, and no key is issued twice.
//
// TESSORIN_SEQUENCE_OPS sets the number of operations (default 2000; each peer runs half as
// many), TESSORIN_SEQUENCE_SEED replays a run, TESSORIN_KEYS_PER_PEER the keys each peer takes,
// TESSORIN_DATA_KILLS how often a copy is killed in the middle of its work (default 40).
// The data directories live in memory where the system offers it (/dev/shm): these runs test the
// rules and the copies' coordination, and a slow disk's syncs would only make them long.
#include "data/ConsistencyCheck.h"
#include "DataDirFixture.h"
#include "DemoCommand.h"
#include "RuleSequence.h"
#include "engine/Exception.h"

#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

int environmentNumber(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

quint32 runSeed()
{
    bool ok = false;
    const uint seed = qEnvironmentVariable("TESSORIN_SEQUENCE_SEED").toUInt(&ok);
    return ok ? seed : QRandomGenerator::system()->generate();
}

// A peer program on the fixture's data directory, its output collected.
class Peer
{
public:
    Peer(const DataDirFixture &fixture, const QStringList &arguments)
    {
        m_process.start(
            QStringLiteral(RULES_PEER), QStringList { fixture.executable() } + arguments);
    }
    QProcess &process() { return m_process; }
    ~Peer()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    // Waits for the end; true when the peer finished its work.
    bool finish(QString *report)
    {
        const bool ended = m_process.waitForFinished(-1);
        m_output = m_process.readAllStandardOutput();
        *report = QString::fromUtf8(m_process.readAllStandardError());
        return ended && m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0
            && m_output.endsWith("done\n");
    }
    const QByteArray &output() const { return m_output; }

private:
    QProcess m_process;
    QByteArray m_output;
};

} // namespace

class TestSequences : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void randomOperationsKeepTheRules();
    void twoCopiesOnOneDirectory();
    void keysFromTwoCopiesAreEachIssuedOnce();
    void killedCopiesLeaveASoundDirectory();
};

void TestSequences::initTestCase()
{
    const QFileInfo memory(u"/dev/shm"_s);
    if (memory.isDir() && memory.isWritable())
        qputenv("TMPDIR", "/dev/shm");
}

void TestSequences::randomOperationsKeepTheRules()
{
    const quint32 seed = runSeed();
    const int operations = environmentNumber("TESSORIN_SEQUENCE_OPS", 2000);
    qInfo("seed %u, %d operations (TESSORIN_SEQUENCE_SEED=%u replays this run)", seed, operations,
        seed);
    DataDirFixture fixture;
    std::unique_ptr<TDM> dm = fixture.start();
    QVERIFY2(dm->isConnected(), qPrintable(fixture.startupMessage));
    fillDemoData(*dm);
    ConsistencyCheck check(fixture.dataDirectory());
    QStringList problems = check.run();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));

    RuleSequence sequence(*dm, seed);
    QStringList recent; // the last operations, to tell what led to a failure
    for (int i = 0; i < operations; ++i) {
        QString what;
        try {
            what = sequence.step();
        } catch (const Exception &error) {
            QFAIL(qPrintable(
                u"seed %1, operation %2 failed: %3\nbefore it:\n%4"_s.arg(seed).arg(i).arg(
                    error.message(), recent.join(u'\n'))));
        }
        recent << what;
        if (recent.size() > 8)
            recent.removeFirst();
        for (TQVTable *view : { dm->tblQuotes, dm->tblJobs, dm->tblQuotesMaterial,
                 dm->tblQuoteLabour, dm->tblJobMaterials, dm->tblJobLabour }) {
            QVERIFY2(!view->isEditing(),
                qPrintable(u"seed %1, operation %2 (%3) left %4 editing"_s.arg(seed).arg(i).arg(
                    what, view->objectName())));
        }
        problems = check.run();
        if (!problems.isEmpty()) {
            QFAIL(qPrintable(
                u"seed %1, operation %2 broke the rules:\n%3\noperations:\n%4"_s.arg(seed)
                    .arg(i)
                    .arg(problems.join(u'\n'), recent.join(u'\n'))));
        }
    }
    qInfo("%s", qPrintable(check.summary()));
}

void TestSequences::twoCopiesOnOneDirectory()
{
    const quint32 seed = runSeed();
    const int operations = environmentNumber("TESSORIN_SEQUENCE_OPS", 2000) / 2;
    qInfo("seeds %u and %u, %d operations each", seed, seed + 1, operations);
    DataDirFixture fixture;
    {
        std::unique_ptr<TDM> dm = fixture.start();
        QVERIFY2(dm->isConnected(), qPrintable(fixture.startupMessage));
        fillDemoData(*dm);
    }
    Peer first(fixture, { u"run"_s, QString::number(seed), QString::number(operations) });
    Peer second(fixture, { u"run"_s, QString::number(seed + 1), QString::number(operations) });
    QString report;
    QVERIFY2(first.finish(&report), qPrintable(u"first copy: "_s + report));
    QVERIFY2(second.finish(&report), qPrintable(u"second copy: "_s + report));
    ConsistencyCheck check(fixture.dataDirectory());
    const QStringList problems = check.run();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

void TestSequences::keysFromTwoCopiesAreEachIssuedOnce()
{
    const int perPeer = environmentNumber("TESSORIN_KEYS_PER_PEER", 2500);
    DataDirFixture fixture;
    Peer first(fixture, { u"keys"_s, QString::number(perPeer) });
    Peer second(fixture, { u"keys"_s, QString::number(perPeer) });
    QString report;
    QVERIFY2(first.finish(&report), qPrintable(u"first copy: "_s + report));
    QVERIFY2(second.finish(&report), qPrintable(u"second copy: "_s + report));
    QList<qint64> keys;
    for (const Peer *peer : { &first, &second }) {
        const QList<QByteArray> lines = peer->output().split('\n');
        qint64 last = 0;
        for (const QByteArray &line : lines) {
            if (line.isEmpty() || line == "done")
                continue;
            const qint64 key = line.toLongLong();
            QVERIFY2(key > last, "a copy received its keys out of order");
            last = key;
            keys << key;
        }
    }
    QCOMPARE(keys.size(), 2 * perPeer);
    std::sort(keys.begin(), keys.end());
    for (int i = 0; i < keys.size(); ++i)
        QVERIFY2(
            keys.at(i) == i + 1, qPrintable(u"key %1 is missing or issued twice"_s.arg(i + 1)));
    QCOMPARE(
        fixture.peek(u"PKey.DB"_s, u"SELECT CurrentKey FROM data"_s).toLongLong(), 2 * perPeer);
}

// A copy is killed at a random moment of its work: during the demo fill (one operation of a
// thousand records), line saves, header posts, copies and deletes. After each kill the data
// directory is sound (SQLite's integrity check) and keeps every rule: the kill left either the
// whole of an operation or nothing of it.
void TestSequences::killedCopiesLeaveASoundDirectory()
{
    const int kills = environmentNumber("TESSORIN_DATA_KILLS", 40);
    const quint32 seed = runSeed();
    qInfo("seed %u, %d kills", seed, kills);
    QRandomGenerator random(seed);
    DataDirFixture fixture;
    bool filled = false;
    constexpr int demoKills = 5;
    for (int kill = 0; kill < kills; ++kill) {
        if (kill == demoKills && !filled) { // a slow machine: the rules need data to work on
            std::unique_ptr<TDM> dm = fixture.start();
            QVERIFY2(dm->isConnected(), qPrintable(fixture.startupMessage));
            fillDemoData(*dm);
            filled = true;
        }
        const bool demo = !filled;
        Peer peer(fixture,
            demo ? QStringList { u"demo"_s }
                 : QStringList { u"run"_s, QString::number(seed + kill), u"100000"_s });
        if (demo) {
            QVERIFY(peer.process().waitForReadyRead(60000)); // "filling"
        } else {
            QVERIFY(peer.process().waitForStarted(60000));
        }
        QTest::qSleep(int(random.bounded(demo ? 600 : 1500)));
        peer.process().kill();
        peer.process().waitForFinished(30000);
        ConsistencyCheck check(fixture.dataDirectory());
        QStringList problems = check.run();
        // A copy killed while one of its lines was in edit leaves the undo row that the edit's
        // start stored, as the program would when the machine stops; everything else must hold.
        problems.removeIf(
            [](const QString &problem) { return problem.contains(u"undo row is left over"_s); });
        QVERIFY2(
            problems.isEmpty(), qPrintable(u"kill %1: "_s.arg(kill + 1) + problems.join(u'\n')));
        filled = check.counts().quotes > 0;
    }
    QVERIFY(filled);
}

QTEST_GUILESS_MAIN(TestSequences)
#include "tst_sequences.moc"

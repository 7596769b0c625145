// Figures of the table engine: a large view, a three-table save against plain SQLite writing the
// same rows in one commit, one change-check poll of 26 views, and how long another copy's commit
// takes to show here.
#include "TestTables.h"
#include "data/TQVTableSrc.h"
#include "engine/EmbeddedStore.h"
#include "engine/TQVDatabase.h"
#include "engine/TableView.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int bigTableRecords = 100000;
constexpr int saves = 100;
constexpr int polls = 2000;
constexpr int watchingViews = 26;
constexpr int crossings = 8;

void row(const char *what, double value, const char *unit)
{
    std::printf("%-58s %12.3f %s\n", what, value, unit);
    std::fflush(stdout);
}

// Runs sql on a plain connection to file, outside the engine.
void rawExec(const QString &file, const std::function<void(QSqlDatabase &)> &work)
{
    const QString name = u"bench-raw"_s;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(file);
        if (!db.open())
            qFatal("cannot open %s", qPrintable(file));
        work(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

void run(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql))
        qFatal("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
}

void bigView(const QString &directory)
{
    rawExec(QDir(directory).filePath(EmbeddedStore::databaseFileName()), [](QSqlDatabase &db) {
        run(db, u"BEGIN"_s);
        QSqlQuery insert(db);
        insert.prepare(u"INSERT INTO \"Line.DB\" (ID, No, Charge) VALUES (?, ?, ?)"_s);
        for (int i = 1; i <= bigTableRecords; ++i) {
            insert.addBindValue(double(i));
            insert.addBindValue(u"H%1"_s.arg(i % 500));
            insert.addBindValue(double(i % 97));
            insert.exec();
        }
        insert.finish();
        run(db, u"COMMIT"_s);
    });
    TQVDatabase db;
    connectTestDatabase(db, directory);
    QElapsedTimer clock;
    clock.start();
    auto lines = openView(db, u"Line.DB"_s);
    row("open a view of 100,000 records", clock.nsecsElapsed() / 1e6, "ms");
    clock.restart();
    const int count = lines->recordCount();
    row("recordCount of it (reads the ordered ids)", clock.nsecsElapsed() / 1e6, "ms");
    clock.restart();
    double sum = 0;
    for (lines->first(); !lines->eof(); lines->next())
        sum += lines->fieldByName(u"Charge"_s)->asFloat();
    const double walk = clock.nsecsElapsed() / 1e6;
    row("walk it first to last, reading a field", walk, "ms");
    row("  per record", walk * 1000 / count, "us");
    clock.restart();
    lines->setIndexName(u"ByNo"_s);
    lines->recordCount();
    row("switch to a secondary index and count again", clock.nsecsElapsed() / 1e6, "ms");
    Q_UNUSED(sum);
}

void saving(const QString &directory)
{
    TQVDatabase db;
    connectTestDatabase(db, directory);
    {
        auto heads = openView(db, u"Head.DB"_s);
        for (int id = 1; id <= 3; ++id) {
            heads->append();
            heads->fieldByName(u"ID"_s)->setAsFloat(id);
            heads->fieldByName(u"No"_s)->setAsString(u"H%1"_s.arg(id));
            heads->post();
        }
        auto keys = openView(db, u"Keys.DB"_s);
        keys->append();
        keys->fieldByName(u"K"_s)->setAsFloat(1);
        keys->fieldByName(u"Current"_s)->setAsFloat(0);
        keys->post();
    }
    auto heads = openView(db, u"Head.DB"_s);
    auto keys = openView(db, u"Keys.DB"_s);
    auto lines = openView(db, u"Line.DB"_s);
    lines->beforePost = [&](TableView &line) {
        keys->first();
        keys->edit();
        Field *current = keys->fieldByName(u"Current"_s);
        current->setAsFloat(current->asFloat() + 1);
        line.fieldByName(u"ID"_s)->setAsFloat(current->asFloat());
        keys->post();
    };
    lines->afterPost = [&](TableView &line) {
        heads->findKey({ 1.0 });
        heads->edit();
        Field *total = heads->fieldByName(u"Total"_s);
        total->setAsFloat(total->asFloat() + line.fieldByName(u"Charge"_s)->asFloat());
        heads->post();
    };
    auto saveLine = [&] {
        lines->insert();
        lines->fieldByName(u"No"_s)->setAsString(u"H1"_s);
        lines->fieldByName(u"Charge"_s)->setAsFloat(7);
        lines->post();
    };
    for (int i = 0; i < 5; ++i)
        saveLine();
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < saves; ++i)
        saveLine();
    const double lineSave = clock.nsecsElapsed() / 1e6 / saves;

    auto customers = openView(db, u"Cust.DB"_s);
    clock.restart();
    for (int i = 0; i < saves; ++i) {
        customers->append();
        customers->fieldByName(u"Client_ID"_s)->setAsFloat(i + 1);
        customers->fieldByName(u"Name"_s)->setAsString(u"C%1"_s.arg(i));
        customers->post();
    }
    const double oneFilePost = clock.nsecsElapsed() / 1e6 / saves;

    // Plain SQLite writing the same rows in one commit each, on a copy of the same tables.
    double plainLine = 0;
    double plainPost = 0;
    QDir(directory).mkdir(u"plain"_s);
    createTestTables(QDir(directory).filePath(u"plain"_s));
    rawExec(QDir(directory).filePath(u"plain/"_s + EmbeddedStore::databaseFileName()),
        [&](QSqlDatabase &plain) {
            run(plain, u"INSERT INTO \"Head.DB\" (ID, No, Total) VALUES (1, 'H1', 0)"_s);
            run(plain, u"INSERT INTO \"Keys.DB\" (K, Current) VALUES (1, 0)"_s);
            QSqlQuery query(plain);
            QElapsedTimer timer;
            timer.start();
            for (int i = 0; i < saves; ++i) {
                run(plain, u"BEGIN IMMEDIATE"_s);
                run(plain, u"UPDATE \"Keys.DB\" SET Current = Current + 1 WHERE K = 1"_s);
                query.prepare(u"INSERT INTO \"Line.DB\" (ID, No, Charge) VALUES (?, 'H1', 7)"_s);
                query.addBindValue(double(i + 1));
                query.exec();
                run(plain, u"UPDATE \"Head.DB\" SET Total = Total + 7 WHERE ID = 1"_s);
                run(plain, u"COMMIT"_s);
            }
            plainLine = timer.nsecsElapsed() / 1e6 / saves;
            timer.restart();
            for (int i = 0; i < saves; ++i) {
                run(plain, u"BEGIN IMMEDIATE"_s);
                query.prepare(u"INSERT INTO \"Cust.DB\" (Client_ID, Name) VALUES (?, ?)"_s);
                query.addBindValue(double(i + 1));
                query.addBindValue(u"C%1"_s.arg(i));
                query.exec();
                run(plain, u"COMMIT"_s);
            }
            plainPost = timer.nsecsElapsed() / 1e6 / saves;
            query.finish();
        });
    row("save a line (line, header, key counter: one operation)", lineSave, "ms");
    row("  plain SQLite, the same three writes in one commit", plainLine, "ms");
    row("  line save / plain", lineSave / plainLine, "x");
    row("post a customer (one table)", oneFilePost, "ms");
    row("  plain SQLite, the same row in one commit", plainPost, "ms");
    row("  customer post / plain", oneFilePost / plainPost, "x");
}

void polling(const QString &directory)
{
    TQVDatabase db;
    connectTestDatabase(db, directory);
    const QStringList files { u"Head.DB"_s, u"Line.DB"_s, u"Cust.DB"_s, u"Keys.DB"_s,
        u"Global.DB"_s };
    std::vector<std::unique_ptr<TQVTable>> views;
    for (int i = 0; i < watchingViews; ++i) {
        auto view = std::make_unique<TQVTable>();
        view->setDatabase(&db);
        view->setTableName(files.at(i % files.size()));
        view->open();
        views.push_back(std::move(view));
    }
    for (int i = 0; i < 10; ++i)
        db.checkForChanges();
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < polls; ++i)
        db.checkForChanges();
    const double poll = clock.nsecsElapsed() / 1e3 / polls;
    row("one change-check poll of 26 watching views, nothing changed", poll, "us");
    // Another copy's commit between polls: the poll reads the change counters too.
    QElapsedTimer changed;
    qint64 changedNs = 0;
    for (int i = 0; i < 20; ++i) {
        rawExec(
            QDir(directory).filePath(EmbeddedStore::databaseFileName()), [&](QSqlDatabase &other) {
                run(other, u"BEGIN IMMEDIATE"_s);
                run(other, u"INSERT INTO \"Global.DB\" VALUES ('K%1', 'x')"_s.arg(i));
                run(other,
                    u"UPDATE TQVChanges SET Counter = Counter + 1 WHERE TableName = 'GLOBAL.DB'"_s);
                run(other, u"COMMIT"_s);
            });
        changed.start();
        db.checkForChanges();
        changedNs += changed.nsecsElapsed();
    }
    row("one poll after another copy's commit (notices included)", changedNs / 1e3 / 20, "us");
}

void crossing(const QString &directory)
{
    TQVDatabase db;
    connectTestDatabase(db, directory);
    TQVTable customers;
    customers.setDatabase(&db);
    customers.setTableName(u"Cust.DB"_s);
    customers.open();
    customers.recordCount();
    qint64 refreshedAt = 0;
    QEventLoop loop;
    customers.AfterRefresh = [&](TRefreshTable &) {
        refreshedAt = QDateTime::currentMSecsSinceEpoch();
        loop.quit();
    };
    QTimer patience;
    patience.setSingleShot(true);
    QObject::connect(&patience, &QTimer::timeout, &loop, &QEventLoop::quit);
    std::vector<double> delays;
    for (int i = 0; i < crossings; ++i) {
        // Start at a random moment of the check period, as another user would.
        const int wait = int(QRandomGenerator::global()->bounded(1000));
        QTimer::singleShot(wait, &loop, &QEventLoop::quit);
        loop.exec();
        QProcess peer;
        peer.start(QStringLiteral(ENGINE_PEER),
            { directory, u"add-customer"_s, QString::number(100000 + i), u"Bench"_s });
        // The event loop runs the check timer while the other copy starts and commits.
        patience.start(10000);
        loop.exec();
        patience.stop();
        if (peer.state() != QProcess::NotRunning)
            peer.waitForFinished(30000);
        if (peer.exitStatus() != QProcess::NormalExit || peer.exitCode() != 0 || refreshedAt == 0)
            qFatal("the peer failed (exit %d) or no refresh came (%lld): %s", peer.exitCode(),
                refreshedAt, peer.readAll().constData());
        const QByteArray line = peer.readAllStandardOutput().trimmed();
        const qint64 committedAt = line.mid(line.indexOf(' ') + 1).toLongLong();
        delays.push_back(double(refreshedAt - committedAt));
        refreshedAt = 0;
    }
    std::sort(delays.begin(), delays.end());
    double sum = 0;
    for (double delay : delays)
        sum += delay;
    row("another copy's commit to the refresh here: fastest", delays.front(), "ms");
    row("  mean (check period 1000 ms)", sum / delays.size(), "ms");
    row("  slowest", delays.back(), "ms");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    auto fresh = [] {
        auto dir = std::make_unique<QTemporaryDir>();
        createTestTables(dir->path());
        return dir;
    };
    std::printf("%-58s %12s\n", "figure", "value");
    {
        auto dir = fresh();
        bigView(dir->path());
    }
    {
        auto dir = fresh();
        saving(dir->path());
    }
    {
        auto dir = fresh();
        polling(dir->path());
    }
    {
        auto dir = fresh();
        crossing(dir->path());
    }
    return 0;
}

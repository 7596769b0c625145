// Times the server store against one server: opening it (the catalog check), a write transaction
// of one row (the write lock taken with BEGIN, the commit) beside a plain one-row INSERT, and how
// long after a commit another copy is told of it.
//
//   serverstore_bench --server KEYWORDS
//     KEYWORDS: connection keywords of an EMPTY database, as Tessorin.server holds them
//               (scripts/pg-test-cluster start makes a throwaway cluster: host=ITSDIR user=postgres
//               dbname=NAME after createdb); the bench makes its tables there.
#include "TestTables.h"
#include "engine/Exception.h"
#include "engine/ServerConnection.h"
#include "engine/ServerStore.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSqlQuery>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int rounds = 200;

// The median of rounds timed calls of body, in milliseconds.
double medianMs(const std::function<void(int)> &body)
{
    std::vector<double> times;
    QElapsedTimer clock;
    for (int i = 0; i < rounds; ++i) {
        clock.start();
        body(i);
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

void report(const char *what, double ms)
{
    std::printf("%-60s %9.3f ms\n", what, ms);
    std::fflush(stdout);
}

void insert(QSqlQuery &query, int id)
{
    query.addBindValue(double(id));
    query.addBindValue(u"Name %1"_s.arg(id));
    SqlStore::run(query, u"Cust.DB"_s);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qsizetype at = args.indexOf(u"--server"_s);
    if (at < 0 || at + 1 >= args.size()) {
        std::fprintf(stderr, "usage: serverstore_bench --server KEYWORDS\n");
        return 2;
    }
    try {
        const ServerConnection server = ServerConnection::fromText(args.at(at + 1), u"--server"_s);
        ServerStore::create(server, testSchema());
        ServerStore writer(testSchema());
        report("open (connect, catalog check)", medianMs([&](int) { writer.open(server); }));
        ServerStore reader(testSchema());
        reader.open(server);
        const QString insertSql =
            u"INSERT INTO \"Cust.DB\" (\"Client_ID\", \"Name\") VALUES (?, ?)"_s;
        QSqlQuery query(writer.connection());
        query.prepare(insertSql);
        report("plain one-row INSERT, committed by itself",
            medianMs([&](int i) { insert(query, i + 1); }));
        report("one-row INSERT in a write transaction (begin, commit)", medianMs([&](int i) {
            writer.begin();
            insert(query, rounds + i + 1);
            writer.noteWritten(u"Cust.DB"_s);
            writer.commit();
        }));
        bool told = false;
        QEventLoop loop;
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        reader.setChangeListener([&] {
            told = true;
            loop.quit();
        });
        report("a commit told to another copy (commit to its listener)", medianMs([&](int i) {
            told = false;
            writer.begin();
            insert(query, 2 * rounds + i + 1);
            writer.noteWritten(u"Cust.DB"_s);
            writer.commit();
            limit.start(5000);
            if (!told)
                loop.exec();
            limit.stop();
            if (!told)
                qFatal("no notice within 5 s");
            reader.changedTables();
        }));
    } catch (const Exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}

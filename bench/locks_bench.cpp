// Times the record locks between two copies on one data directory: a record lock taken and let
// go of, a table lock taken and let go of, and a refusal that names the holder. With a server,
// the same on its session locks, beside one plain statement's round trip for scale.
//
//   locks_bench [DIR] [--server KEYWORDS]
//     DIR: where to make the data directory (default: the temporary folder)
//     KEYWORDS: a server's connection keywords, as Tessorin.server holds them
//               (scripts/pg-test-cluster start makes a throwaway one: host=ITSDIR user=postgres)
#include "engine/Exception.h"
#include "engine/RecordLocks.h"
#include "engine/ServerConnection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int rounds = 2000;

// The median of rounds timed calls of body, in microseconds.
double medianMicroseconds(const std::function<void(int)> &body)
{
    std::vector<double> times;
    QElapsedTimer clock;
    for (int i = 0; i < rounds; ++i) {
        clock.start();
        body(i);
        times.push_back(clock.nsecsElapsed() / 1e3);
    }
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

void report(const QString &keeper, const char *what, double us)
{
    std::printf("%-8s %-52s %9.1f us\n", qPrintable(keeper), what, us);
    std::fflush(stdout);
}

void timeLocks(const QString &keeper, RecordLocks &mine, RecordLocks &theirs)
{
    theirs.acquire(u"Head.DB"_s, 1);
    report(keeper, "record lock taken and let go of", medianMicroseconds([&](int i) {
        mine.acquire(u"Line.DB"_s, i + 1);
        mine.release(u"Line.DB"_s, i + 1);
    }));
    report(keeper, "table lock taken and let go of", medianMicroseconds([&](int) {
        mine.acquire(u"Keys.DB"_s, RecordLocks::wholeTable);
        mine.release(u"Keys.DB"_s, RecordLocks::wholeTable);
    }));
    report(keeper, "record held elsewhere: refused, holder named", medianMicroseconds([&](int) {
        try {
            mine.acquire(u"Head.DB"_s, 1);
            qFatal("a held record was taken");
        } catch (const EDatabaseError &) { }
    }));
    theirs.release(u"Head.DB"_s, 1);
}

void timeServerLocks(const QString &keywords)
{
    const ServerConnection server = ServerConnection::fromText(keywords, u"--server"_s);
    {
        const QSqlDatabase mine = server.open(u"mine"_s);
        const QSqlDatabase theirs = server.open(u"theirs"_s);
        QSqlQuery plain(mine);
        plain.setForwardOnly(true);
        plain.prepare(u"SELECT 1"_s);
        report(u"server"_s, "one plain statement, for scale", medianMicroseconds([&](int) {
            if (!plain.exec() || !plain.next())
                qFatal("the server did not answer");
        }));
        plain.finish();
        const auto myLocks = RecordLocks::openOnServer(mine);
        const auto theirLocks = RecordLocks::openOnServer(theirs);
        timeLocks(u"server"_s, *myLocks, *theirLocks);
    }
    QSqlDatabase::removeDatabase(u"mine"_s);
    QSqlDatabase::removeDatabase(u"theirs"_s);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString keywords;
    if (const qsizetype at = args.indexOf(u"--server"_s); at >= 0 && at + 1 < args.size()) {
        keywords = args.at(at + 1);
        args.remove(at, 2);
    }
    QTemporaryDir root(!args.isEmpty() ? args.first() + u"/locks-bench-XXXXXX"_s : QString());
    if (!root.isValid())
        qFatal("cannot make a temporary directory");
    try {
        {
            const auto mine = RecordLocks::open(root.path());
            const auto theirs = RecordLocks::open(root.path());
            timeLocks(u"file"_s, *mine, *theirs);
        }
        if (!keywords.isEmpty())
            timeServerLocks(keywords);
    } catch (const Exception &error) {
        qFatal("%s", error.what());
    }
    return 0;
}

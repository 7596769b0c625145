// Times the record locks between two copies on one data directory: a record lock taken and let
// go of, a table lock taken and let go of, and a refusal that names the holder.
//
//   locks_bench [DIR]   DIR: where to make the data directory (default: the temporary folder)
#include "engine/Exception.h"
#include "engine/RecordLocks.h"

#include <QCoreApplication>
#include <QElapsedTimer>
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

void report(const char *what, double us)
{
    std::printf("%-52s %9.1f us\n", what, us);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir root(argc > 1 ? QString::fromLocal8Bit(argv[1]) + u"/locks-bench-XXXXXX"_s
                                : QString());
    if (!root.isValid())
        qFatal("cannot make a temporary directory");
    const auto mine = RecordLocks::open(root.path());
    const auto theirs = RecordLocks::open(root.path());
    theirs->acquire(u"Head.DB"_s, 1);

    report("record lock taken and let go of", medianMicroseconds([&](int i) {
        mine->acquire(u"Line.DB"_s, i + 1);
        mine->release(u"Line.DB"_s, i + 1);
    }));
    report("table lock taken and let go of", medianMicroseconds([&](int) {
        mine->acquire(u"Keys.DB"_s, RecordLocks::wholeTable);
        mine->release(u"Keys.DB"_s, RecordLocks::wholeTable);
    }));
    report("record held elsewhere: refused, holder named", medianMicroseconds([&](int) {
        try {
            mine->acquire(u"Head.DB"_s, 1);
            qFatal("a held record was taken");
        } catch (const EDatabaseError &) {
        }
    }));
    return 0;
}

// An office under load: several copies of the program (processes) on one data directory, each
// adding and editing material lines on a quote of its own and taking keys for a while. One copy
// works alone first, for the median line save to compare with; then all copies at once. Prints
// the saves per second in all and the percentiles of a line save, and checks the end state: no
// key given twice, no line lost (the lines stored grew by exactly the lines the copies saved),
// and every header's sums equal to its lines (the data tool's check).
//
//   office_bench [--copies N] [--seconds S] [--pause MS] [DIR]
//
// DIR: a data directory, embedded or on a server, filled with the demo business when it holds
// no price list; by default a new embedded one in the temporary folder. N defaults to 5, S to 60.
// MS: each copy waits between its operations, at random from half to one and a half times MS, as
// a person at the keyboard does; by default 0, every copy saving as fast as it can (a stress
// rather than an office: with more copies than cores a save then waits for the processor).
#include "BenchDataModule.h"
#include "DemoCommand.h"
#include "data/ConsistencyCheck.h"
#include "data/DataDirectory.h"
#include "data/DataModuleMain.h"
#include "engine/Exception.h"
#include "engine/Field.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// What one copy reports, a line each: "S ms" a new line saved, "E ms" a line edited, "K key" a
// key taken, "X message" an operation refused, and at the end "L lines" the lines it stored.
int work(const QString &directory, double seconds, int pauseMs)
{
    const std::unique_ptr<TDM> started = startDataModule(directory);
    if (!started)
        return 1;
    TDM &dm = *started;
    dm.tblMaterial->first();
    newQuote(dm, u"Office load"_s);

    int stored = 0;
    QElapsedTimer clock;
    QElapsedTimer running;
    running.start();
    for (int i = 0; running.elapsed() < seconds * 1000; ++i) {
        if (pauseMs > 0)
            QThread::msleep(pauseMs / 2 + QRandomGenerator::global()->bounded(pauseMs + 1));
        try {
            clock.start();
            if (i % 10 == 9) {
                std::printf("K %.0f\n", dm.NextKey());
                continue;
            }
            const bool editing = i % 5 == 4 && stored > 0;
            if (editing) {
                dm.tblQuotes->edit();
                dm.tblQuotesMaterial->setRecNo(1 + i % stored);
                dm.tblQuotesMaterial->edit();
                dm.tblQuotesMaterial->fieldByName(u"Quantity"_s)
                    ->setAsString(QString::number(1 + i % 9));
                dm.tblQuotesMaterial->post();
            } else {
                addMaterialLine(dm, 1 + i % 9);
                ++stored;
            }
            std::printf("%c %.3f\n", editing ? 'E' : 'S', clock.nsecsElapsed() / 1e6);
        } catch (const Exception &error) {
            std::printf("X %s\n", qPrintable(error.message().simplified()));
            for (TQVTable *table : { dm.tblQuotesMaterial, dm.tblQuotes }) {
                if (table->state() != DataSetState::Browse)
                    table->cancel();
            }
        }
    }
    std::printf("L %d\n", stored);
    return 0;
}

struct Round
{
    std::vector<double> saves; // new lines and edits, ms
    int newLines = 0;
    int keys = 0;
    int refusals = 0;
    int duplicateKeys = 0;
    int storedLines = 0;
    QStringList firstRefusals;
};

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values.at(std::min(values.size() - 1, size_t(p * double(values.size()))));
}

Round runCopies(
    const QString &program, const QString &directory, int copies, double seconds, int pauseMs)
{
    std::vector<std::unique_ptr<QProcess>> processes;
    for (int i = 0; i < copies; ++i) {
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(program,
            { u"--worker"_s, directory, QString::number(seconds), QString::number(pauseMs) });
        processes.push_back(std::move(process));
    }
    Round round;
    QSet<qint64> keys;
    for (auto &process : processes) {
        if (!process->waitForFinished(int(seconds * 1000) + 120'000) || process->exitCode() != 0)
            qFatal("A copy failed: %s", qPrintable(process->errorString()));
        const QList<QByteArray> lines = process->readAllStandardOutput().split('\n');
        for (const QByteArray &line : lines) {
            if (line.size() < 2)
                continue;
            const QByteArray value = line.mid(2);
            switch (line.at(0)) {
            case 'S':
                ++round.newLines;
                Q_FALLTHROUGH();
            case 'E':
                round.saves.push_back(value.toDouble());
                break;
            case 'K':
                ++round.keys;
                if (!keys.contains(value.toLongLong()))
                    keys.insert(value.toLongLong());
                else
                    ++round.duplicateKeys;
                break;
            case 'X':
                if (++round.refusals <= 3)
                    round.firstRefusals << QString::fromUtf8(value);
                break;
            case 'L':
                round.storedLines += value.toInt();
                break;
            }
        }
    }
    return round;
}

int linesStored(const QString &directory, QStringList *problems)
{
    ConsistencyCheck check(directory);
    *problems = check.run();
    return check.counts().lines;
}

int measure(
    const QString &program, const QString &directory, int copies, double seconds, int pauseMs)
{
    QStringList problems;
    int before = linesStored(directory, &problems);
    std::printf("Data directory %s, %d lines stored\n",
        qPrintable(QDir::toNativeSeparators(directory)), before);
    const double aloneSeconds = std::min(seconds, 10.0);
    const Round alone = runCopies(program, directory, 1, aloneSeconds, pauseMs);
    const double single = percentile(alone.saves, 0.5);
    std::printf("1 copy alone, %.0f s: line save median %.2f ms, 95%% %.2f ms\n", aloneSeconds,
        single, percentile(alone.saves, 0.95));
    before = linesStored(directory, &problems);

    const Round office = runCopies(program, directory, copies, seconds, pauseMs);
    const int after = linesStored(directory, &problems);
    const double p95 = percentile(office.saves, 0.95);
    std::printf("%d copies at once, %.0f s, %d ms between operations:\n", copies, seconds,
        pauseMs);
    std::printf("  saves in all: %zu line saves + %d keys = %.1f saves/s\n", office.saves.size(),
        office.keys, (double(office.saves.size()) + office.keys) / seconds);
    std::printf("  line save median %.2f ms, 95%% %.2f ms (%.2fx the single-copy median), 99%% "
                "%.2f ms, longest %.2f ms\n",
        percentile(office.saves, 0.5), p95, p95 / single, percentile(office.saves, 0.99),
        percentile(office.saves, 1.0));
    std::printf("  refused operations: %d%s%s\n", office.refusals,
        office.firstRefusals.isEmpty() ? "" : ", first: ",
        qPrintable(office.firstRefusals.join(u" | "_s)));
    std::printf("  keys given twice: %d\n", office.duplicateKeys);
    std::printf("  lines stored: %d more, the copies saved %d new lines (%s)\n", after - before,
        office.storedLines, after - before == office.storedLines ? "none lost" : "LOST OR EXTRA");
    std::printf(
        "  check: %s\n", problems.isEmpty() ? "consistent" : qPrintable(problems.join(u"; "_s)));
    return problems.isEmpty() && office.duplicateKeys == 0 && after - before == office.storedLines
        ? 0
        : 1;
}

// The value after name among arguments, taken out of them; fallback when not given.
QString takeOption(QStringList &arguments, const QString &name, const QString &fallback)
{
    const qsizetype at = arguments.indexOf(name);
    if (at < 0 || at + 1 >= arguments.size())
        return fallback;
    const QString value = arguments.at(at + 1);
    arguments.remove(at, 2);
    return value;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    if (arguments.size() == 4 && arguments.first() == u"--worker")
        return work(arguments.at(1), arguments.at(2).toDouble(), arguments.at(3).toInt());
    const int copies = std::max(1, takeOption(arguments, u"--copies"_s, u"5"_s).toInt());
    const double seconds = takeOption(arguments, u"--seconds"_s, u"60"_s).toDouble();
    const int pauseMs = std::max(0, takeOption(arguments, u"--pause"_s, u"0"_s).toInt());
    if (arguments.size() > 1 || (!arguments.isEmpty() && arguments.first().startsWith(u'-'))) {
        std::fprintf(stderr, "usage: office_bench [--copies N] [--seconds S] [--pause MS] [DIR]\n");
        return 2;
    }
    QTemporaryDir temporary(QDir::tempPath() + u"/tessorin-office-XXXXXX"_s);
    const QString directory =
        arguments.isEmpty() ? temporary.filePath(u"DATA"_s) : arguments.first();
    try {
        if (arguments.isEmpty())
            createDataDirectory(directory);
        try {
            fillDemoDirectory(directory);
        } catch (const Exception &) {
            // Already holds a business: its price list serves.
        }
        return measure(
            app.applicationFilePath(), directory, copies, seconds, pauseMs);
    } catch (const Exception &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
}

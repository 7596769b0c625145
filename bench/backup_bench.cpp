// Times how long another copy's saves wait while the data tool backs the data directory up: for
// each size given as an argument (by default 5,000, 50,000 and 200,000 material lines on one
// quote), a second process saves settings rows in a loop, first without a backup and then during
// one; the figures are the longest save and the 99th percentile of each, and the backup's time.
// The goal: no save waits more than 50 ms longer than the same saves without a backup.
//
//   backup_bench [LINES...]           the figures
//   backup_bench save DIR STOP        (the saving process) saves until the file STOP exists,
//                                     prints "ready" after the first save and then its figures

#include "BackupCommand.h"
#include "BenchDataModule.h"
#include "DemoCommand.h"
#include "data/DataModuleMain.h"
#include "engine/Exception.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

constexpr int SaverMs = 3000; // how long the saves without a backup go on

struct Saves
{
    int count = 0;
    double longest = 0;
    double percentile99 = 0;
};

int saveUntilStopped(const QString &directory, const QString &stop)
{
    const std::unique_ptr<TDM> started = startDataModule(directory);
    if (!started)
        return 1;
    TDM &dm = *started;
    QList<double> times;
    try {
        for (int i = 0; !QFile::exists(stop); ++i) {
            QElapsedTimer save;
            save.start();
            dm.WriteSetting(u"Timed"_s, u"P%1"_s.arg(i), u"True"_s);
            times << save.nsecsElapsed() / 1e6;
            if (i == 0) {
                std::printf("ready\n");
                std::fflush(stdout);
            }
        }
    } catch (const Exception &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    times.removeFirst(); // the first save opens what the others use
    std::sort(times.begin(), times.end());
    const double longest = times.isEmpty() ? 0 : times.last();
    const double p99 = times.isEmpty() ? 0 : times.at(qsizetype(times.size() * 0.99));
    std::printf("%lld %.2f %.2f\n", static_cast<long long>(times.size()), longest, p99);
    return 0;
}

bool addLines(const QString &directory, int lines)
{
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"big"_s);
        db.setDatabaseName(QDir(directory).filePath(u"Tessorin.db"_s));
        ok = db.open();
        QSqlQuery query(db);
        const QString n = QString::number(lines);
        for (const QString &sql : { u"BEGIN"_s,
                 u"CREATE TEMP TABLE k AS SELECT CurrentKey + 1 AS base FROM \"PKey.DB\""_s,
                 u"INSERT INTO \"Quotes.DB\" (Quote_ID, Quote_No, TotalMaterials, TotalLabour, "
                 "QuoteTotal) SELECT base, 'BIG', %1, 0, %1 FROM k"_s.arg(n),
                 u"WITH RECURSIVE i(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM i WHERE n < %1) "
                 "INSERT INTO \"QMat.DB\" (Quote_ID, Quote_No, MaterialDesc, TotalCharge, "
                 "Quote_RepID) SELECT base + 3 * n, 'BIG', 'Copper pipe', 1, base + 3 * n + 1 "
                 "FROM i, k"_s.arg(n),
                 u"INSERT INTO \"RepQte.DB\" (ID, Number, Rep_ID) SELECT Quote_RepID + 1, 'BIG', "
                 "Quote_RepID FROM \"QMat.DB\" WHERE Quote_No = 'BIG'"_s,
                 u"UPDATE \"PKey.DB\" SET CurrentKey = (SELECT base + 3 * %1 + 3 FROM k)"_s.arg(n),
                 u"COMMIT"_s }) {
            if (ok && !query.exec(sql)) {
                std::fprintf(
                    stderr, "%s: %s\n", qPrintable(sql), qPrintable(query.lastError().text()));
                ok = false;
            }
        }
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(u"big"_s);
    return ok;
}

// Saves in a second process while work runs here (or for SaverMs when work is empty).
Saves savesDuring(const QString &directory, const std::function<void()> &work)
{
    const QString stop = QDir(directory).filePath(u"../stop"_s);
    QFile::remove(stop);
    QProcess saver;
    saver.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    saver.start(QCoreApplication::applicationFilePath(), { u"save"_s, directory, stop });
    Saves saves;
    if (!saver.waitForReadyRead(60000) || saver.readLine().trimmed() != "ready")
        return saves;
    if (work)
        work();
    else
        QThread::msleep(SaverMs);
    QFile(stop).open(QIODevice::WriteOnly);
    saver.waitForFinished(60000);
    const QList<QByteArray> figures = saver.readAll().trimmed().split(' ');
    if (figures.size() == 3) {
        saves.count = figures.at(0).toInt();
        saves.longest = figures.at(1).toDouble();
        saves.percentile99 = figures.at(2).toDouble();
    }
    return saves;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args.at(1) == u"save"_s)
        return saveUntilStopped(args.at(2), args.at(3));
    QList<int> sizes;
    for (const QString &argument : args.mid(1)) {
        if (const int size = argument.toInt(); size > 0)
            sizes << size;
    }
    if (sizes.isEmpty())
        sizes = { 5000, 50000, 200000 };
    bool right = true;
    std::printf("%8s %9s | %21s | %21s | %9s\n", "lines", "file MB", "saves alone: longest",
        "during backup: longest", "backup");
    for (int lines : std::as_const(sizes)) {
        QTemporaryDir root;
        const QString data = root.filePath(u"DATA"_s);
        try {
            fillDemoDirectory(data);
        } catch (const Exception &error) {
            std::fprintf(stderr, "%s\n", qPrintable(error.message()));
            return 1;
        }
        if (!addLines(data, lines))
            return 1;
        const Saves alone = savesDuring(data, {});
        const QString copy = root.filePath(u"copy.db"_s);
        double backupMs = 0;
        QString failure;
        const Saves during = savesDuring(data, [&] {
            QElapsedTimer timer;
            timer.start();
            try {
                backupDataDirectory(data, copy);
            } catch (const Exception &error) {
                failure = error.message();
            }
            backupMs = timer.nsecsElapsed() / 1e6;
        });
        try {
            if (failure.isEmpty())
                restoreDataDirectory(copy, root.filePath(u"restored"_s)); // checks the copy
        } catch (const Exception &error) {
            failure = error.message();
        }
        if (!failure.isEmpty() || during.count == 0) {
            std::fprintf(stderr, "%s\n", qPrintable(failure));
            right = false;
        }
        std::printf(
            "%8d %9.1f | %9.1f ms (99%% %5.1f) | %9.1f ms (99%% %5.1f) | %6.0f ms, %d saves\n",
            lines, QFileInfo(copy).size() / 1e6, alone.longest, alone.percentile99, during.longest,
            during.percentile99, backupMs, during.count);
    }
    return right ? 0 : 1;
}

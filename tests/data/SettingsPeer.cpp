// A second copy of the program on a data directory, through a data module:
//   settings_peer EXE NAME COUNT    writes COUNT settings rows of its own
//   settings_peer EXE hold-counter  keeps the quote counter row in edit, as the options dialog
//                                   does, until its input ends; prints "held" when it holds it
//   settings_peer EXE new-quote     posts a new quote; prints "posting" first
//   settings_peer EXE timed STOP    saves settings rows until the file STOP exists; prints "ready"
//                                   after the first, and at the end the longest save after it in ms
//   settings_peer EXE edit-quote    edits the first quote's description (taking and letting go of
//                                   its record lock) and saves it
#include "data/DataModuleMain.h"
#include "engine/Exception.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4 && args.size() != 3)
        return 2;
    TDM dm;
    QString failure;
    dm.startupFailure = [&failure](const QString &text) { failure = text; };
    dm.requestTermination = [] {};
    dm.DMCreate(args.at(1));
    if (!dm.isConnected()) {
        std::fprintf(stderr, "%s\n", qPrintable(failure));
        return 1;
    }
    try {
        if (args.size() == 3 && args.at(2) == QStringLiteral("hold-counter")) {
            dm.tblNextQuote->findKey({ 1 });
            dm.tblNextQuote->edit();
            std::printf("held\n");
            std::fflush(stdout);
            std::getchar(); // until the test closes our input
            dm.tblNextQuote->cancel();
            return 0;
        }
        if (args.size() == 3 && args.at(2) == QStringLiteral("new-quote")) {
            dm.tblQuotes->insert();
            std::printf("posting\n");
            std::fflush(stdout);
            dm.tblQuotes->post();
            return 0;
        }
        if (args.size() == 3 && args.at(2) == QStringLiteral("edit-quote")) {
            dm.tblQuotes->first();
            dm.tblQuotes->edit();
            dm.tblQuotes->fieldByName(QStringLiteral("QuoteDescription"))
                ->setAsString(QStringLiteral("Edited by a second account"));
            dm.tblQuotes->post();
            return 0;
        }
        if (args.size() == 4 && args.at(2) == QStringLiteral("timed")) {
            qint64 longest = 0;
            for (int i = 0; !QFileInfo::exists(args.at(3)); ++i) {
                QElapsedTimer save;
                save.start();
                dm.WriteSetting(QStringLiteral("Timed"), QStringLiteral("P%1").arg(i),
                    QStringLiteral("True"));
                // The first save opens what the others use, before anyone is told to start.
                if (i > 0)
                    longest = std::max(longest, save.elapsed());
                if (i == 0) {
                    std::printf("ready\n");
                    std::fflush(stdout);
                }
            }
            std::printf("%lld\n", static_cast<long long>(longest));
            return 0;
        }
        if (args.size() != 4)
            return 2;
        for (int i = 0; i < args.at(3).toInt(); ++i) {
            dm.WriteSetting(args.at(2), QStringLiteral("P%1").arg(i), QStringLiteral("False"));
            dm.WriteSettingFlag(args.at(2), QStringLiteral("P%1").arg(i), true);
        }
    } catch (const Exception &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}

// Another copy of the program for the multi-process rule tests: starts a data module beside the
// pretend executable EXE (so on EXE's DATA directory) and works on it by one command.
//
//   EXE run SEED N    makes a few quotes and jobs of its own and runs N random operations on them
//   EXE keys N        takes N keys from the key counter and prints each on a line
//   EXE demo          fills the directory with the demo business (one operation)
//
// Prints "done" at the end and exits 0; any error is printed on stderr with exit code 1.
#include "DemoCommand.h"
#include "RuleSequence.h"
#include "data/DataModuleMain.h"
#include "engine/Exception.h"

#include <QCoreApplication>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

int run(TDM &dm, quint32 seed, int count)
{
    RuleSequence sequence(dm, seed);
    sequence.makeDocuments(4);
    for (int i = 0; i < count; ++i) {
        QString what;
        try {
            what = sequence.step();
        } catch (const Exception &error) {
            std::fprintf(stderr, "seed %u, operation %d: %s\n", seed, i, error.what());
            return 1;
        }
    }
    return 0;
}

int keys(TDM &dm, int count)
{
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += QByteArray::number(dm.NextKey(), 'f', 0) + '\n';
    std::fputs(text.constData(), stdout);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 2) {
        std::fputs("usage: rules_peer EXE run SEED N | EXE keys N | EXE demo\n", stderr);
        return 2;
    }
    TDM dm;
    QString failure;
    dm.startupFailure = [&failure](const QString &text) { failure = text; };
    dm.requestTermination = [] {};
    dm.DMCreate(args.at(0));
    if (!dm.isConnected()) {
        std::fprintf(stderr, "%s\n", qPrintable(failure));
        return 1;
    }
    int code = 2;
    try {
        if (args.at(1) == u"run" && args.size() == 4)
            code = run(dm, args.at(2).toUInt(), args.at(3).toInt());
        else if (args.at(1) == u"keys" && args.size() == 3)
            code = keys(dm, args.at(2).toInt());
        else if (args.at(1) == u"demo") {
            std::fputs("filling\n", stdout);
            std::fflush(stdout);
            fillDemoData(dm);
            code = 0;
        }
    } catch (const Exception &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    if (code == 0)
        std::fputs("done\n", stdout);
    return code;
}

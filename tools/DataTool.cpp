#include "DataTool.h"

#include "BackupCommand.h"
#include "CheckCommand.h"
#include "CreateCommand.h"
#include "DataCommand.h"
#include "DemoCommand.h"
#include "PdfCommand.h"
#include "PriceListCommands.h"

#include <QTextStream>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

// New commands are added here, each in a file of its own.
const QList<DataCommand> &commands()
{
    static const QList<DataCommand> table {
        { u"create"_s, u"create DIR"_s, u"make a new, empty data directory"_s, runCreateCommand },
        { u"demo"_s, u"demo DIR"_s, u"fill a new data directory with a demo business"_s,
            runDemoCommand },
        { u"check"_s, u"check DIR"_s,
            u"check a data directory's totals, printed rows, keys and counters"_s,
            runCheckCommand },
        { u"pdf"_s, u"pdf DIR ..."_s,
            u"write a quote, a job, a summary or a report file as PDF (logo on, codes, groups and notes off "
            "unless asked; see pdf --help)"_s,
            runPdfCommand, true },
        { u"backup"_s, u"backup DIR FILE"_s,
            u"copy a data directory's database to FILE, also while the program runs"_s,
            runBackupCommand },
        { u"restore"_s, u"restore FILE DIR"_s,
            u"make a new data directory DIR from a copy made by backup"_s, runRestoreCommand },
        { u"import-prices"_s, u"import-prices DIR FILE"_s,
            u"import a price-list CSV file, all of it or nothing"_s, runImportPricesCommand },
        { u"export-prices"_s, u"export-prices DIR FILE"_s,
            u"export the materials and labour rates as a CSV file"_s, runExportPricesCommand },
    };
    return table;
}

void printUsage(QTextStream &stream)
{
    stream << "Usage: tessorin-data COMMAND ARGUMENTS\n\nCommands:\n";
    for (const DataCommand &command : commands())
        stream << "  " << command.synopsis.leftJustified(24) << command.summary << '\n';
    stream.flush();
}

void printCommandUsage(QTextStream &stream, const DataCommand &command)
{
    stream << "Usage: tessorin-data " << command.synopsis << "\n\n" << command.summary << '\n';
    stream.flush();
}

bool isHelp(const QString &argument)
{
    return argument == u"-h" || argument == u"--help";
}

} // namespace

int runDataTool(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.isEmpty()) {
        printUsage(err);
        return ExitUsage;
    }
    const QString &name = arguments.first();
    if (isHelp(name) || name == u"help") {
        printUsage(out);
        return ExitOk;
    }
    for (const DataCommand &command : commands()) {
        if (command.name != name)
            continue;
        const QStringList rest = arguments.mid(1);
        if (!command.ownOptions && std::any_of(rest.cbegin(), rest.cend(), isHelp)) {
            printCommandUsage(out, command);
            return ExitOk;
        }
        for (const QString &argument : rest) {
            if (!command.ownOptions && argument.startsWith(u'-')) {
                err << "tessorin-data " << name << ": unknown option '" << argument
                    << "' (a name that begins with - is written ./" << argument << ")\n";
                printCommandUsage(err, command);
                return ExitUsage;
            }
        }
        const int code = command.run(rest, out, err);
        if (code == ExitUsage)
            printUsage(err);
        out.flush();
        err.flush();
        return code;
    }
    err << "tessorin-data: unknown command '" << name << "'\n";
    printUsage(err);
    return ExitUsage;
}

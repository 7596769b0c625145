#include "DataTool.h"

#include "BackupCommand.h"
#include "CheckCommand.h"
#include "CreateCommand.h"
#include "DataCommand.h"
#include "DemoCommand.h"
#include "PdfCommand.h"
#include "PriceListCommands.h"

#include <QTextStream>

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
            runPdfCommand },
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

} // namespace

int runDataTool(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.isEmpty()) {
        printUsage(err);
        return ExitUsage;
    }
    const QString &name = arguments.first();
    if (name == u"-h" || name == u"--help" || name == u"help") {
        printUsage(out);
        return ExitOk;
    }
    for (const DataCommand &command : commands()) {
        if (command.name != name)
            continue;
        const int code = command.run(arguments.mid(1), out, err);
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

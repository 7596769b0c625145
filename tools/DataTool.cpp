#include "DataTool.h"

#include "BackupCommand.h"
#include "CheckCommand.h"
#include "CreateCommand.h"
#include "DataCommand.h"
#include "DemoCommand.h"
#include "PdfCommand.h"
#include "PriceListCommands.h"
#include "ServerCommands.h"

#include <QTextStream>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

// New commands are added here, each in a file of its own.
const QList<DataCommand> &commands()
{
    static const QList<DataCommand> table {
        { u"create"_s, u"create DIR [--server URL]"_s,
            u"make a new, empty data directory (with --server: its tables in the server's empty "
            "database)"_s,
            runCreateCommand, false, true },
        { u"attach"_s, u"attach DIR URL"_s,
            u"make a data directory for another computer, for a server database made by create "
            "--server or move-to-server"_s,
            runAttachCommand },
        { u"move-to-server"_s, u"move-to-server DIR URL"_s,
            u"copy a data directory's data into the server's empty database and switch the "
            "directory to it, keeping the old database file as Tessorin.db.moved"_s,
            runMoveToServerCommand },
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
        { u"restore"_s, u"restore FILE DIR [--server URL]"_s,
            u"make a new data directory DIR from a copy made by backup (with --server: into the "
            "server's empty database)"_s,
            runRestoreCommand, false, true },
        { u"import-prices"_s, u"import-prices DIR FILE"_s,
            u"import a price-list CSV file, all of it or nothing"_s, runImportPricesCommand },
        { u"export-prices"_s, u"export-prices DIR FILE"_s,
            u"export the materials and labour rates as a CSV file"_s, runExportPricesCommand },
    };
    return table;
}

const char *const serverNote =
    "\nURL names a PostgreSQL server's database: postgresql://[USER@]HOST[:PORT]/DBNAME[?sslmode="
    "verify-full]\nor libpq keywords, such as \"host=db.example.org dbname=office\" or "
    "\"service=office\". Never a\npassword: each user keeps it in ~/.pgpass or "
    "~/.pg_service.conf.\n";

void printUsage(QTextStream &stream)
{
    stream << "Usage: tessorin-data COMMAND ARGUMENTS\n\nCommands:\n";
    for (const DataCommand &command : commands())
        stream << "  " << command.synopsis.leftJustified(32) << command.summary << '\n';
    stream << serverNote;
    stream.flush();
}

void printCommandUsage(QTextStream &stream, const DataCommand &command)
{
    stream << "Usage: tessorin-data " << command.synopsis << "\n\n" << command.summary << '\n';
    if (command.synopsis.contains(u"URL"_s))
        stream << serverNote;
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
        for (qsizetype i = 0; i < rest.size(); ++i) {
            const QString &argument = rest.at(i);
            if (command.serverOption && argument == u"--server") {
                ++i; // its URL, checked by the command
                continue;
            }
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

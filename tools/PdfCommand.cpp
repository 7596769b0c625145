#include "PdfCommand.h"

#include "DataCommand.h"
#include "SummaryPdfCommand.h"
#include "data/DataModuleMain.h"
#include "documents/QRJobQuote.h"
#include "documents/QRQuote.h"
#include "report/PageFile.h"
#include "report/ReportOutput.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// The on/off switches of the command line (--logo, --no-logo, ...), as given.
using Switches = QHash<QString, bool>;

// One kind of document the command makes from a data directory, chosen by the word after DIR.
struct PdfDocument
{
    QString word;
    QString synopsis; // what follows "pdf [OPTIONS] DIR "
    QString summary;
    QStringList switches; // the switches it reads
    // Renders the document; arguments are those between the word and OUT.pdf.
    RenderedReport (*render)(TDM &dm, const QStringList &arguments, const Switches &switches);
};

DocumentOptions documentOptions(const Switches &switches)
{
    DocumentOptions options;
    options.logo = switches.value(u"logo"_s, options.logo);
    options.codes = switches.value(u"codes"_s, options.codes);
    options.groups = switches.value(u"groups"_s, options.groups);
    options.notes = switches.value(u"notes"_s, options.notes);
    return options;
}

// The document numbered as the one argument says, exactly as the print dialog prints it.
template <class Report>
RenderedReport renderDocument(TDM &dm, const QStringList &arguments, const Switches &switches)
{
    if (arguments.size() != 1)
        throw DataToolError(u"name one document number"_s);
    const QString &number = arguments.first();
    const bool job = std::is_same_v<Report, TqrepJobQuote>;
    TQVTable *headers = job ? dm.tblCriteriaJobs : dm.tblCriteriaQuotes;
    headers->setFilter(TDM::documentNumberFilter(job ? u"Job_No"_s : u"Quote_No"_s, number));
    headers->setFiltered(true);
    headers->first();
    if (headers->isEmpty())
        throw DataToolError(u"there is no %1 numbered \"%2\""_s.arg(job ? u"job"_s : u"quote"_s, number));
    Report report(&dm);
    report.setRun(number, documentOptions(switches));
    report.requireClient(!headers->fieldByName(u"Client_ID"_s)->isNull());
    return report.run();
}

const QStringList documentSwitches { u"logo"_s, u"codes"_s, u"groups"_s, u"notes"_s };

// New kinds of document are added here, each rendered by a function of its own.
const QList<PdfDocument> &documents()
{
    static const QList<PdfDocument> table {
        { u"quote"_s, u"quote NUMBER OUT.pdf"_s, u"the quote numbered NUMBER"_s, documentSwitches,
            renderDocument<TqrepQuote> },
        { u"job"_s, u"job NUMBER OUT.pdf"_s, u"the job sheet of the job numbered NUMBER"_s,
            documentSwitches, renderDocument<TqrepJobQuote> },
    };
    return table;
}

void printUsage(QTextStream &stream)
{
    stream << "Usage: tessorin-data pdf [OPTIONS] DIR WHAT... OUT.pdf\n"
              "       tessorin-data pdf FILE.QRP OUT.pdf\n\n"
              "Writes a document of the data directory DIR, or a saved report file, as a PDF.\n"
              "WHAT is one of:\n";
    for (const PdfDocument &document : documents())
        stream << "  " << document.synopsis.leftJustified(26) << document.summary << '\n';
    stream << "  " << u"summary quotes|jobs [--status C,H,I,P] OUT.pdf"_s << "\n"
           << "  " << QString().leftJustified(26)
           << "the quote or job summary (default: the headers in progress)\n";
    stream << "\nOptions, as the check boxes of the print dialog (defaults as there):\n"
              "  --logo,   --no-logo     the business logo (default: on)\n"
              "  --codes,  --no-codes    the material and labour codes (default: off)\n"
              "  --groups, --no-groups   the group headings (default: off)\n"
              "  --notes,  --no-notes    the notes of each line (default: off)\n"
              "\nThe PDF is written whole or not at all: a file already at OUT.pdf is replaced only\n"
              "once the new one is complete.\n";
    stream.flush();
}

// Writes report to path through a temporary file beside it, so that no partial PDF is ever left.
void writePdf(const RenderedReport &report, const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    if (report.pages.isEmpty())
        throw DataToolError(u"the document has no pages (no lines, or no client record); "
                            "nothing was written to %1"_s.arg(shown));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw DataToolError(u"cannot write %1: %2"_s.arg(shown, file.errorString()));
    QString error;
    if (!ReportOutput::writePdf(report, &file, &error)) {
        file.cancelWriting();
        throw DataToolError(u"cannot write %1: %2"_s.arg(shown, error));
    }
    if (!file.commit())
        throw DataToolError(u"cannot write %1: %2"_s.arg(shown, file.errorString()));
}

// The data module expects its directory to be named DATA beside the program; any other directory
// is reached through a link of that name in a temporary folder.
std::unique_ptr<TDM> openDataDirectory(const QString &directory, QTemporaryDir &linkHome)
{
    const QFileInfo info(directory);
    if (!info.isDir())
        throw DataToolError(u"there is no data directory %1"_s.arg(QDir::toNativeSeparators(directory)));
    QString executable = QDir(info.absoluteFilePath()).filePath(u"../tessorin"_s);
    if (info.fileName() != u"DATA") {
        if (!linkHome.isValid()
            || !QFile::link(info.absoluteFilePath(), linkHome.filePath(u"DATA"_s)))
            throw DataToolError(u"cannot open the data directory %1"_s.arg(directory));
        executable = linkHome.filePath(u"tessorin"_s);
    }
    auto dm = std::make_unique<TDM>();
    QString failure;
    dm->startupFailure = [&failure](const QString &text) { failure = text; };
    dm->requestTermination = [] {};
    dm->DMCreate(executable);
    if (!dm->isConnected())
        throw DataToolError(failure.trimmed());
    return dm;
}

int convertReportFile(const QString &file, const QString &pdf)
{
    RenderedReport report;
    QString error;
    if (!PageFile::load(file, &report, &error))
        throw DataToolError(error);
    writePdf(report, pdf);
    return ExitOk;
}

} // namespace

int runPdfCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.contains(u"-h"_s) || arguments.contains(u"--help"_s)) {
        printUsage(out);
        return ExitOk;
    }
    // "pdf DIR summary ...": summaries take their own options (--status) and are made on their own.
    if (arguments.size() > 1 && arguments.at(1) == u"summary")
        return runSummaryPdf(arguments, out, err);
    Switches switches;
    QStringList words;
    QString unknown; // an argument that is neither a switch nor a name
    for (const QString &argument : arguments) {
        if (argument.startsWith(u"--")) {
            const bool off = argument.startsWith(u"--no-");
            switches.insert(argument.mid(off ? 5 : 2), !off);
        } else if (argument.startsWith(u'-')) {
            unknown = argument;
        } else {
            words << argument;
        }
    }
    const auto usage = [&](const QString &problem) {
        err << "tessorin-data pdf: " << problem << '\n';
        printUsage(err);
        return int(ExitUsage);
    };
    if (!unknown.isEmpty())
        return usage(u"unknown option '%1' (a name that begins with - is written ./%1)"_s.arg(unknown));
    try {
        // FILE.QRP OUT.pdf: a report file, whatever its name, when it is not a directory.
        if (words.size() == 2 && !QFileInfo(words.first()).isDir()) {
            if (!switches.isEmpty())
                return usage(u"a report file prints as it was saved; options do not apply"_s);
            return convertReportFile(words.at(0), words.at(1));
        }
        if (words.size() < 3)
            return usage(u"name a data directory, a document and the PDF to write"_s);
        const QString word = words.at(1);
        for (const PdfDocument &document : documents()) {
            if (document.word != word)
                continue;
            for (auto it = switches.cbegin(); it != switches.cend(); ++it) {
                if (!document.switches.contains(it.key()))
                    return usage(u"unknown option --%1 for a %2"_s.arg(it.key(), word));
            }
            QTemporaryDir linkHome;
            const std::unique_ptr<TDM> dm = openDataDirectory(words.first(), linkHome);
            const RenderedReport report =
                document.render(*dm, words.mid(2, words.size() - 3), switches);
            writePdf(report, words.last());
            return ExitOk;
        }
        return usage(u"unknown document '%1'"_s.arg(word));
    } catch (const Exception &error) {
        err << "tessorin-data pdf: " << error.message() << '\n';
        err.flush();
        return ExitFailure;
    }
}

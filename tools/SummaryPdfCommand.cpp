#include "SummaryPdfCommand.h"

#include "DataCommand.h"
#include "data/DataModuleMain.h"
#include "documents/QRJobSummary.h"
#include "documents/QRQuoteSummary.h"
#include "engine/TQVDatabase.h"
#include "report/ReportOutput.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTextStream>

using namespace Qt::Literals::StringLiterals;

namespace {

struct SummaryRequest
{
    QString directory;
    bool jobs = false;
    QString statuses = u"I"_s; // the criteria dialog's starting choice
    QString output;
};

// The request, or a usage message in *why.
bool parse(const QStringList &args, SummaryRequest *request, QString *why)
{
    QStringList rest = args;
    const qsizetype status = rest.indexOf(u"--status"_s);
    if (status >= 0) {
        if (status + 1 >= rest.size()) {
            *why = u"--status needs a list of status letters, such as C,H,I,P"_s;
            return false;
        }
        request->statuses.clear();
        for (const QString &letter : rest.at(status + 1).split(u',', Qt::SkipEmptyParts)) {
            const QString code = letter.trimmed().toUpper();
            if (code.size() != 1 || !u"CHIP"_s.contains(code)) {
                *why = u"unknown status '%1': use C, H, I or P"_s.arg(letter);
                return false;
            }
            request->statuses += code;
        }
        rest.remove(status, 2);
    }
    for (const QString &argument : std::as_const(rest)) {
        if (argument.startsWith(u'-')) {
            *why = u"unknown option '%1' (a name that begins with - is written ./%1)"_s.arg(argument);
            return false;
        }
    }
    if (rest.size() != 4 || rest.at(1) != u"summary") {
        *why = u"expected: pdf DIR summary quotes|jobs [--status C,H,I,P] OUT.pdf"_s;
        return false;
    }
    if (rest.at(2) != u"quotes" && rest.at(2) != u"jobs") {
        *why = u"unknown summary '%1': use quotes or jobs"_s.arg(rest.at(2));
        return false;
    }
    request->directory = rest.at(0);
    request->jobs = rest.at(2) == u"jobs";
    request->output = rest.at(3);
    return !request->directory.isEmpty() && !request->output.isEmpty();
}

// Writes the PDF through a temporary file that replaces path only once it is complete.
void writePdf(const RenderedReport &pages, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw DataToolError(
            u"Cannot write %1: %2"_s.arg(QDir::toNativeSeparators(path), file.errorString()));
    QString error;
    if (!ReportOutput::writePdf(pages, &file, &error)) {
        file.cancelWriting();
        throw DataToolError(u"Cannot write %1: %2"_s.arg(QDir::toNativeSeparators(path), error));
    }
    if (!file.commit())
        throw DataToolError(
            u"Cannot write %1: %2"_s.arg(QDir::toNativeSeparators(path), file.errorString()));
}

int summaryPdf(const SummaryRequest &request, QTextStream &out)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        throw DataToolError(u"PDF output needs the graphical application object"_s);
    const QString directory = QFileInfo(request.directory).absoluteFilePath();
    if (!QFileInfo(directory).isDir())
        throw DataToolError(
            u"%1 is not a data directory"_s.arg(QDir::toNativeSeparators(request.directory)));

    TDM dm;
    dm.DB->setNetworkControlDirectory(directory);
    dm.DB->params().clear();
    dm.DB->params() << u"PATH="_s + directory << u"DEFAULT DRIVER=PARADOX"_s;
    dm.DB->open();

    std::unique_ptr<SummaryReport> report;
    if (request.jobs)
        report = std::make_unique<TqrepJobSummary>(&dm);
    else
        report = std::make_unique<TqrepQuoteSummary>(&dm);
    for (const auto &[key, code] : SummaryReport::statusParams())
        report->Params << key + (request.statuses.contains(code) ? u"=TRUE"_s : u"=FALSE"_s);
    const RenderedReport pages = report->run();
    if (pages.pages.isEmpty())
        throw DataToolError(u"No %1 with a client have the chosen statuses: nothing written"_s.arg(
            request.jobs ? u"jobs"_s : u"quotes"_s));
    writePdf(pages, request.output);
    out << "Wrote " << report->layout().title() << " (" << pages.pages.size() << " pages) to "
        << QDir::toNativeSeparators(request.output) << '\n';
    return ExitOk;
}

} // namespace

int runSummaryPdf(const QStringList &args, QTextStream &out, QTextStream &err)
{
    SummaryRequest request;
    QString why;
    if (!parse(args, &request, &why)) {
        err << "tessorin-data pdf: " << why << '\n';
        return ExitUsage;
    }
    try {
        return summaryPdf(request, out);
    } catch (const Exception &error) {
        err << "tessorin-data: " << error.message() << '\n';
        return ExitFailure;
    }
}

#include "report/ReportOutput.h"

#include "report/ReportPainter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintEngine>
#include <QPrinter>

namespace {

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

// Where the printer's pages would go: a file, or a print queue. A computer without any printer
// gives a QPrinter that writes a PDF file it has no name for.
bool hasDestination(const QPrinter &printer)
{
    if (!printer.outputFileName().isEmpty())
        return true;
    return printer.outputFormat() == QPrinter::NativeFormat && !printer.printerName().isEmpty();
}

// The print system takes the spooled pages when painting ends, and the printer cannot abort
// before that. A job with no copies is one the scheduler refuses, so a cancelled job never
// prints. (The key is the print engine's own for options handed to the print system.)
void refuseJob(QPrinter &printer)
{
    constexpr auto printSystemOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);
    QPrintEngine *engine = printer.printEngine();
    QStringList options = engine->property(printSystemOptions).toStringList();
    options << QStringLiteral("copies") << QStringLiteral("0");
    engine->setProperty(printSystemOptions, options);
}

bool paintPdf(
    const RenderedReport &report, QPdfWriter &writer, QString *error, const QString &target)
{
    writer.setTitle(report.title);
    writer.setCreator(QCoreApplication::applicationName());
    if (report.pages.isEmpty())
        return fail(error, QStringLiteral("The report has no pages to write."));
    writer.setPageLayout(report.pages.first().pageLayout());
    QPainter painter;
    if (!painter.begin(&writer))
        return fail(error, QStringLiteral("Cannot write the PDF file%1.").arg(target));
    for (qsizetype i = 0; i < report.pages.size(); ++i) {
        if (i > 0) {
            writer.setPageLayout(report.pages.at(i).pageLayout());
            writer.newPage();
        }
        ReportPainter::paint(painter, report.pages.at(i));
    }
    return painter.end() || fail(error, QStringLiteral("Cannot write the PDF file%1.").arg(target));
}

} // namespace

namespace ReportOutput {

QString noPrinterMessage()
{
    return QStringLiteral(
        "No printer is set up on this computer. Add one in the system's printer settings (or as "
        "root with lpadmin) and print again, or choose \"Print to File (PDF)\" in \"Printer "
        "Setup\".");
}

bool print(
    const RenderedReport &report, QPrinter &printer, QString *error, const ProgressHook &progress)
{
    const int pageCount = int(report.pages.size());
    int from = 1;
    int to = pageCount;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::max(1, printer.fromPage());
        to = std::min(pageCount, printer.toPage() > 0 ? printer.toPage() : pageCount);
    }
    if (from > to)
        return fail(error, QStringLiteral("There are no pages to print."));
    // A printer that cannot make copies itself gets each copy sent in turn.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());

    // Starting a printer without a destination fails and leaves it active for good, refusing
    // every later setting.
    if (!hasDestination(printer))
        return fail(error, noPrinterMessage());

    const bool wasFullPage = printer.fullPage();
    printer.setFullPage(true); // our pages carry their own margins
    printer.setDocName(report.title);
    printer.setPageOrientation(report.pages.at(from - 1).orientation());
    QPainter painter;
    if (!painter.begin(&printer)) {
        printer.setFullPage(wasFullPage);
        return fail(error,
            QStringLiteral("The printer \"%1\" cannot start printing.").arg(printer.printerName()));
    }
    bool first = true;
    const int sent = (to - from + 1) * copies;
    int number = 0;
    for (int copy = 0; copy < copies; ++copy) {
        for (int i = from; i <= to; ++i) {
            const ReportPage &page = report.pages.at(i - 1);
            if (progress && !progress(++number, sent)) {
                const QString file = printer.outputFileName();
                if (file.isEmpty())
                    refuseJob(printer);
                printer.abort();
                painter.end();
                if (!file.isEmpty())
                    QFile::remove(file); // no part of a cancelled document stays
                printer.setFullPage(wasFullPage);
                return fail(error, QStringLiteral("Printing was cancelled."));
            }
            if (!first) {
                printer.setPageOrientation(page.orientation());
                printer.newPage();
            }
            first = false;
            const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
            QSizeF size = page.paperSize;
            size.scale(paper.size(), Qt::KeepAspectRatio);
            ReportPainter::paint(painter, page, QRectF(QPointF(0, 0), size));
        }
    }
    const bool ok = painter.end();
    printer.setFullPage(wasFullPage);
    return ok
        || fail(error, QStringLiteral("Printing on \"%1\" failed.").arg(printer.printerName()));
}

bool writePdf(const RenderedReport &report, const QString &path, QString *error, int resolution)
{
    QPdfWriter writer(path);
    writer.setResolution(resolution);
    return paintPdf(
        report, writer, error, QStringLiteral(" \"%1\"").arg(QDir::toNativeSeparators(path)));
}

bool writePdf(const RenderedReport &report, QIODevice *device, QString *error, int resolution)
{
    QPdfWriter writer(device);
    writer.setResolution(resolution);
    return paintPdf(report, writer, error, QString());
}

} // namespace ReportOutput

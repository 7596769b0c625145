#pragma once

#include "report/ReportPage.h"

#include <functional>

class QIODevice;
class QPagedPaintDevice;
class QPrinter;

// Sends rendered pages to a printer or a PDF file.
namespace ReportOutput {

// What printing says on a computer where no printer is set up.
QString noPrinterMessage();

// Called before each page is sent, with its number (from 1) and the number of pages being sent;
// return false to abort.
using ProgressHook = std::function<bool(int page, int pageCount)>;

// Prints report on printer as one job titled with the report's title: the printer's page range
// (all pages unless set) and copies, each page drawn to fill the printer's paper while keeping its
// proportions, in the page's own orientation. Returns false with a message in *error when there
// is no printer, the printer cannot start, or the user aborts through progress; an aborted job
// leaves nothing printed and no file.
bool print(const RenderedReport &report,
    QPrinter &printer,
    QString *error,
    const ProgressHook &progress = {});

// Writes report as a PDF at resolution dots per inch, each page at its own paper size.
bool writePdf(
    const RenderedReport &report, const QString &path, QString *error, int resolution = 1200);
bool writePdf(
    const RenderedReport &report, QIODevice *device, QString *error, int resolution = 1200);

} // namespace ReportOutput

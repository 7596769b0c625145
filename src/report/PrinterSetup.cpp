#include "report/PrinterSetup.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace PrinterSetup {

bool exec(QPrinter &printer, QWidget *parent, int pageCount, const Prepare &prepare)
{
    QPrintDialog dialog(&printer, parent);
    if (prepare)
        prepare(dialog);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (pageCount > 0)
        dialog.setMinMax(1, pageCount);
    else
        dialog.setMinMax(0, 9999);
    return dialog.exec() == QDialog::Accepted;
}

bool execPageSetup(QPrinter &printer, QWidget *parent)
{
    QPageSetupDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void applyDefaults(QPrinter &printer)
{
    printer.setCopyCount(1);
    printer.setDuplex(QPrinter::DuplexNone);
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(0, 0);
    printer.setPaperSource(QPrinter::Auto);
}

} // namespace PrinterSetup

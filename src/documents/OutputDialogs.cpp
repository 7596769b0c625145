#include "documents/OutputDialogs.h"

#include "report/PrinterSetup.h"

#include <QFileDialog>

OutputDialogs OutputDialogs::standard()
{
    OutputDialogs dialogs;
    dialogs.printerSetup = [](QPrinter &printer, QWidget *parent, int pageCount) {
        return PrinterSetup::exec(printer, parent, pageCount);
    };
    dialogs.saveFileName = [](QWidget *parent, const QString &filter) {
        return QFileDialog::getSaveFileName(parent, QString(), QString(), filter);
    };
    dialogs.openFileName = [](QWidget *parent, const QString &filter) {
        return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
    };
    return dialogs;
}

#include "documents/OutputDialogs.h"

#include "controls/window/HelpRequest.h"
#include "report/PrinterSetup.h"

#include <QDialog>
#include <QFileDialog>

OutputDialogs OutputDialogs::standard()
{
    OutputDialogs dialogs;
    dialogs.printerSetup = [](QPrinter &printer, QWidget *parent, int pageCount) {
        // F1 there shows the topic of the window it was opened from.
        const int topic = parent
            ? parent->window()->property(HelpRequest::ContextProperty).toInt()
            : 0;
        return PrinterSetup::exec(printer, parent, pageCount,
            [topic](QDialog &dialog) { HelpRequest::install(&dialog, topic); });
    };
    dialogs.saveFileName = [](QWidget *parent, const QString &filter) {
        return QFileDialog::getSaveFileName(parent, QString(), QString(), filter);
    };
    dialogs.openFileName = [](QWidget *parent, const QString &filter) {
        return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
    };
    return dialogs;
}

#include "DataTool.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTextStream>

#include <memory>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Drawing pages needs fonts and printers, so a GUI application, which needs no display.
    std::unique_ptr<QCoreApplication> app;
    if (argc > 1 && qstrcmp(argv[1], "pdf") == 0) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QTextStream out(stdout);
    QTextStream err(stderr);
    return runDataTool(QCoreApplication::arguments().mid(1), out, err);
}

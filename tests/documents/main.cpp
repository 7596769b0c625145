#include "DocumentsTests.h"
#include "controls/window/TQVRegistry.h"

#include <QApplication>
#include <QLocale>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Tessorin"_s);
    QApplication::setApplicationDisplayName(u"Velbric Tessorin"_s);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // Grid layouts and window placement go to a registry of the test's own.
    QTemporaryDir registry;
    TQVRegistry::setRootPath(registry.path());

    int failures = 0;
    failures += runDemoDocumentTests(argc, argv);
    failures += runDocumentOptionTests(argc, argv);
    failures += runPrintDialogTests(argc, argv);
    failures += runPreviewTests(argc, argv);
    failures += runPdfCommandTests(argc, argv);
    failures += runDocumentMailTests(argc, argv);
    return failures == 0 ? 0 : 1;
}

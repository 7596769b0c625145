#include "controls/window/TQVRegistry.h"

#include <QApplication>
#include <QLocale>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

int runPrintingTests(int argc, char **argv);

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Tessorin"_s);
    QApplication::setApplicationDisplayName(u"Velbric Tessorin"_s);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // Grid layouts and window placement go to a registry of the test's own.
    QTemporaryDir registry;
    TQVRegistry::setRootPath(registry.path());
    return runPrintingTests(argc, argv) == 0 ? 0 : 1;
}

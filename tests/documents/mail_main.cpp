#include "controls/window/TQVRegistry.h"

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

int runEmailComponentTests(int argc, char **argv);
int runMailDeliveryTests(int argc, char **argv);

int main(int argc, char *argv[])
{
    // No desktop secret store: the mail password goes to its file, as on a machine without one.
    QTemporaryDir noBus;
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QFile::encodeName(noBus.filePath(u"bus"_s)));
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Tessorin"_s);
    QApplication::setApplicationDisplayName(u"Velbric Tessorin"_s);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // Dialog placement and mail settings go to a store of the test's own.
    QTemporaryDir registry;
    TQVRegistry::setRootPath(registry.path());
    int failures = runEmailComponentTests(argc, argv);
    failures += runMailDeliveryTests(argc, argv);
    return failures == 0 ? 0 : 1;
}

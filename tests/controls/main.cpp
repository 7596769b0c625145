#include "ControlsTests.h"

#include <QApplication>
#include <QLocale>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Tessorin"_s);
    QApplication::setApplicationDisplayName(u"Velbric Tessorin"_s);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

    int failures = 0;
    failures += runRegistryTests(argc, argv);
    failures += runFormTests(argc, argv);
    failures += runMessageTests(argc, argv);
    failures += runStatusBarTests(argc, argv);
    return failures == 0 ? 0 : 1;
}

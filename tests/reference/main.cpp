#include "ReferenceTests.h"
#include "controls/window/MessageAnswers.h"

#include <QApplication>
#include <QLocale>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(u"Velbric"_s);
    QApplication::setApplicationName(u"Tessorin"_s);
    QApplication::setApplicationDisplayName(u"Velbric Tessorin"_s);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // No box may ever wait for a person.
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);

    int failures = 0;
    failures += runContactNameTests(argc, argv);
    failures += runPriceListExchangeTests(argc, argv);
    failures += runPriceWindowTests(argc, argv);
    failures += runClientWindowTests(argc, argv);
    failures += runToolsMenuTests(argc, argv);
    failures += runLineDialogTests(argc, argv);
    return failures == 0 ? 0 : 1;
}

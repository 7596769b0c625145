#include "AppTests.h"
#include "app/StartUp.h"
#include "controls/window/MessageAnswers.h"

#include <QApplication>
#include <QLocale>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    StartUp::setUpApplication();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // No box may ever wait for a person.
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);

    int failures = 0;
    failures += runFrameTests(argc, argv);
    failures += runBrowserTests(argc, argv);
    failures += runClientPageTests(argc, argv);
    failures += runWizardTests(argc, argv);
    failures += runLineTests(argc, argv);
    failures += runSessionTests(argc, argv);
    failures += runStartUpTests(argc, argv);
    return failures == 0 ? 0 : 1;
}

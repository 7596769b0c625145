#include "app/FormMain.h"
#include "app/FormSplash.h"
#include "app/StartUp.h"
#include "data/DataModuleMain.h"

#include <QApplication>

#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    StartUp::setUpApplication();

    auto splash = std::make_unique<TfrmSplash>();
    splash->showNow();

    // The data module outlives the main window: it is declared first, so it goes last.
    TDM dm;
    dm.startupFailure = StartUp::failureReport(splash);
    dm.DMCreate();

    TfrmMain frmMain(&dm);
    frmMain.showMaximized();
    frmMain.repaint();
    splash.reset();

    return app.exec();
}

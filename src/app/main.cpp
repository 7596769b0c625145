#include "app/FormMain.h"
#include "app/FormSplash.h"
#include "app/Version.h"
#include "controls/Messages.h"
#include "data/DataModuleMain.h"
#include "documents/mail/MailLibrary.h"

#include <QApplication>

#include <memory>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(u"Velbric"_s);
    QApplication::setApplicationName(Version::InternalName);
    QApplication::setApplicationVersion(Version::FileVersion);
    QApplication::setApplicationDisplayName(Version::ApplicationTitle);

    auto splash = std::make_unique<TfrmSplash>();
    splash->showNow();

    // The data module outlives the main window: it is declared first, so it goes last.
    TDM dm;
    dm.startupFailure = [](const QString &text) { ShowInfoMessage(text); };
    dm.DMCreate();
    // The mail system is chosen once, before any window opens; mail is unavailable without one.
    MailLibrary mail;

    TfrmMain frmMain(&dm);
    frmMain.showMaximized();
    frmMain.repaint();
    splash.reset();

    return app.exec();
}

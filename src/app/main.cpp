#include "app/DataLocation.h"
#include "app/FormMain.h"
#include "app/FormSplash.h"
#include "app/StartUp.h"
#include "app/StartupOptions.h"
#include "app/Version.h"
#include "controls/window/Messages.h"
#include "controls/window/TQVRegistry.h"
#include "data/DataModuleMain.h"
#include "documents/mail/MailLibrary.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    {
        // --help and --version answer on the terminal before anything needs a display.
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        QTextStream out(stdout);
        if (StartupOptions::answerInformation(arguments, out))
            return 0;
    }

    QApplication app(argc, argv);
    StartUp::setUpApplication();

    QTextStream out(stdout);
    QTextStream err(stderr);
    StartupOptions options;
    const StartupOptions::Outcome outcome = options.parse(QApplication::arguments(), out, err);
    if (outcome != StartupOptions::Outcome::Run)
        return outcome == StartupOptions::Outcome::Answered ? 0 : 2;
    QGuiApplication::setDesktopFileName(u"example.velbric.Tessorin"_s);

    auto splash = std::make_unique<TfrmSplash>();
    splash->showNow();

    // The data module outlives the main window: it is declared first, so it goes last.
    TDM dm;
    const auto showFailure = StartUp::failureReport(splash);
    dm.startupFailure = [&](const QString &text) {
        err << text << '\n';
        err.flush();
        if (options.quitAfterStart())
            splash.reset();
        else
            showFailure(text);
    };
    {
        TQVRegistry registry;
        DataLocation location(
            QApplication::applicationFilePath(), DataLocation::perUserDirectory());
        location.choose(options.dataDirectory(), registry);
        if (location.commandLineIgnored()) {
            err << "The option --data is ignored: the data directory beside the program, "
                << QDir::toNativeSeparators(location.directory()) << ", is used.\n";
            err.flush();
        }
        location.open(dm, registry);
    }
    // The mail system is chosen once, before any window opens; mail is unavailable without one.
    MailLibrary mail;

    TfrmMain frmMain(&dm);
    frmMain.showMaximized();
    frmMain.repaint();
    splash.reset();

    if (options.quitAfterStart())
        QTimer::singleShot(0, &app, &QCoreApplication::quit);
    const int code = app.exec();
    return options.quitAfterStart() && !dm.isConnected() ? 1 : code;
}

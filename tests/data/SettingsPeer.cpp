// Writes COUNT settings rows of its own through a data module: "settings_peer EXE NAME COUNT".
#include "data/DataModuleMain.h"
#include "engine/Exception.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    TDM dm;
    QString failure;
    dm.startupFailure = [&failure](const QString &text) { failure = text; };
    dm.requestTermination = [] {};
    dm.DMCreate(args.at(1));
    if (!dm.isConnected()) {
        std::fprintf(stderr, "%s\n", qPrintable(failure));
        return 1;
    }
    try {
        for (int i = 0; i < args.at(3).toInt(); ++i) {
            dm.WriteSetting(args.at(2), QStringLiteral("P%1").arg(i), QStringLiteral("False"));
            dm.WriteSettingFlag(args.at(2), QStringLiteral("P%1").arg(i), true);
        }
    } catch (const Exception &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}

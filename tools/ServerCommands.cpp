#include "ServerCommands.h"

#include "DataCommand.h"
#include "ServerAddress.h"
#include "data/ServerDataDirectory.h"
#include "engine/ServerConnection.h"

#include <QDir>
#include <QTextStream>

namespace {

bool usable(const QStringList &arguments)
{
    return arguments.size() == 2 && !arguments.at(0).isEmpty() && !arguments.at(1).isEmpty();
}

} // namespace

int runAttachCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (!usable(arguments))
        return ExitUsage;
    try {
        const ServerConnection server = serverFromArgument(arguments.at(1));
        attachServerDataDirectory(arguments.at(0), server);
        out << "Made data directory " << QDir::toNativeSeparators(arguments.at(0)) << " for "
            << server.serverName() << '\n';
    } catch (const Exception &error) {
        err << "tessorin-data: " << error.message() << '\n';
        return ExitFailure;
    }
    return ExitOk;
}

int runMoveToServerCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (!usable(arguments))
        return ExitUsage;
    try {
        const ServerConnection server = serverFromArgument(arguments.at(1));
        moveDataDirectoryToServer(arguments.at(0), server);
        out << "Moved the data of " << QDir::toNativeSeparators(arguments.at(0)) << " to "
            << server.serverName() << "; the database file is kept as "
            << QDir::toNativeSeparators(QDir(arguments.at(0)).filePath(movedDatabaseFileName()))
            << '\n';
    } catch (const Exception &error) {
        err << "tessorin-data: " << error.message() << '\n';
        return ExitFailure;
    }
    return ExitOk;
}

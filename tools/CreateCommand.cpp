#include "CreateCommand.h"

#include "DataCommand.h"
#include "ServerAddress.h"
#include "data/ServerDataDirectory.h"
#include "data/TableSchema.h"
#include "engine/EmbeddedStore.h"
#include "engine/ServerConnection.h"

#include <QDir>
#include <QTextStream>

using namespace Qt::Literals::StringLiterals;

int runCreateCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QStringList rest = arguments;
    bool malformed = false;
    const std::optional<QString> address = takeServerOption(&rest, &malformed);
    if (malformed || rest.size() != 1 || rest.first().isEmpty())
        return ExitUsage;
    const QString &path = rest.first();
    QString where;
    try {
        if (address) {
            const ServerConnection server = serverFromArgument(*address);
            createServerDataDirectory(path, server);
            where = server.serverName();
        } else {
            createDataDirectory(path);
            where =
                QDir::toNativeSeparators(QDir(path).filePath(EmbeddedStore::databaseFileName()));
        }
    } catch (const Exception &error) {
        err << "tessorin-data: " << error.message() << '\n';
        return ExitFailure;
    }
    out << "Created data directory " << QDir::toNativeSeparators(path) << " with "
        << tessorinSchema().tables.size() << " tables in " << where << '\n';
    return ExitOk;
}

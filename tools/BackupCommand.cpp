#include "BackupCommand.h"

#include "CreateCommand.h"
#include "DataCommand.h"
#include "ServerAddress.h"
#include "data/ServerDataDirectory.h"
#include "data/TableSchema.h"
#include "engine/EmbeddedStore.h"
#include "engine/ServerConnection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

using namespace Qt::Literals::StringLiterals;

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Opens the database of directory as the program does, checks every table and SQLite's own
// integrity check. Throws.
void checkSound(const QString &directory)
{
    EmbeddedStore store(tessorinSchema());
    store.open(directory);
    checkTables(store); // nothing undeclared either: a backup file is data from outside
    const QStringList problems = store.integrityProblems();
    if (!problems.isEmpty())
        throw DataToolError(u"The database is damaged: %1"_s.arg(problems.join(u"; "_s)));
}

} // namespace

void backupDataDirectory(const QString &directory, const QString &file)
{
    if (QFileInfo::exists(file))
        throw DataToolError(u"Refusing to overwrite %1"_s.arg(native(file)));
    // Refuses a directory that is not a data directory of ours.
    const std::unique_ptr<SqlStore> store = SqlStore::connect(tessorinSchema(), directory);
    for (const TableDef &table : tessorinSchema().tables)
        store->validate(table);
    store->backup(file);
}

void restoreDataDirectory(const QString &file, const QString &directory)
{
    if (!QFileInfo(file).isFile())
        throw DataToolError(u"%1 is not a file"_s.arg(native(file)));
    const QString problem = EmbeddedStore::headerProblem(file);
    if (!problem.isEmpty())
        throw DataToolError(u"%1 %2"_s.arg(native(file), problem));
    bool createdDir = false;
    const QDir dir = prepareNewDataDirectory(directory, &createdDir);
    const QString target = dir.filePath(EmbeddedStore::databaseFileName());
    const QString staging = target + u".new"_s;
    try {
        EmbeddedStore::copyDatabase(file, staging);
        if (!QFile::rename(staging, target))
            throw DataToolError(u"Cannot create %1"_s.arg(native(target)));
        checkSound(dir.path());
    } catch (...) {
        for (const QString &path : { staging, target }) {
            QFile::remove(path);
            QFile::remove(path + u"-journal"_s);
        }
        if (createdDir)
            QDir().rmdir(dir.absolutePath());
        throw;
    }
}

int runBackupCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.size() != 2 || arguments.at(0).isEmpty() || arguments.at(1).isEmpty())
        return ExitUsage;
    try {
        backupDataDirectory(arguments.at(0), arguments.at(1));
    } catch (const Exception &error) {
        err << "tessorin-data: " << error.message() << '\n';
        return ExitFailure;
    }
    out << "Copied the data of " << native(arguments.at(0)) << " to " << native(arguments.at(1))
        << '\n';
    return ExitOk;
}

int runRestoreCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QStringList rest = arguments;
    bool malformed = false;
    const std::optional<QString> address = takeServerOption(&rest, &malformed);
    if (malformed || rest.size() != 2 || rest.at(0).isEmpty() || rest.at(1).isEmpty())
        return ExitUsage;
    QString where;
    try {
        if (address) {
            const ServerConnection server = serverFromArgument(*address);
            restoreDataDirectoryToServer(rest.at(0), rest.at(1), server);
            where = u" on "_s + server.serverName();
        } else {
            restoreDataDirectory(rest.at(0), rest.at(1));
        }
    } catch (const Exception &error) {
        err << "tessorin-data: " << error.message() << '\n';
        return ExitFailure;
    }
    out << "Made data directory " << native(rest.at(1)) << where << " from " << native(rest.at(0))
        << '\n';
    return ExitOk;
}

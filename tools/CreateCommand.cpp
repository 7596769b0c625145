#include "CreateCommand.h"

#include "DataCommand.h"
#include "data/TableSchema.h"
#include "engine/EmbeddedStore.h"

#include <QDir>
#include <QTextStream>

using namespace Qt::Literals::StringLiterals;

int runCreateCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.size() != 1 || arguments.first().isEmpty())
        return ExitUsage;
    const QString &path = arguments.first();
    try {
        createDataDirectory(path);
    } catch (const Exception &error) {
        err << "tessorin-data: " << error.message() << '\n';
        return ExitFailure;
    }
    out << "Created data directory " << QDir::toNativeSeparators(path) << " with "
        << tessorinSchema().tables.size() << " tables in "
        << QDir::toNativeSeparators(QDir(path).filePath(EmbeddedStore::databaseFileName())) << '\n';
    return ExitOk;
}

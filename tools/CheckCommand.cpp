#include "CheckCommand.h"

#include "DataCommand.h"
#include "data/ConsistencyCheck.h"
#include "data/DataDirectory.h"

#include <QDir>
#include <QTextStream>

int runCheckCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.size() != 1 || arguments.first().isEmpty())
        return ExitUsage;
    try {
        requireUsableDataDirectory(arguments.first());
        ConsistencyCheck check(arguments.first());
        const QStringList problems = check.run();
        for (const QString &problem : problems)
            out << problem << '\n';
        if (!problems.isEmpty()) {
            out << problems.size() << (problems.size() == 1 ? " problem" : " problems")
                << " found in " << QDir::toNativeSeparators(arguments.first()) << '\n';
            return ExitFailure;
        }
        out << "Consistent: " << check.summary() << '\n';
    } catch (const Exception &error) {
        err << "tessorin-data: " << error.message() << '\n';
        return ExitFailure;
    }
    return ExitOk;
}

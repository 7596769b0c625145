#include "PriceListCommands.h"

#include "DataCommand.h"
#include "data/DataModuleMain.h"
#include "data/PriceListExchange.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// A data module on the directory itself, so that a failure names the directory as given.
class DataModuleOn
{
public:
    explicit DataModuleOn(const QString &path)
    {
        const QString absolute = QFileInfo(path).absoluteFilePath();
        if (!QFileInfo(absolute).isDir())
            throw DataToolError(
                u"%1 is not a data directory"_s.arg(QDir::toNativeSeparators(absolute)));
        QString failure;
        dm.startupFailure = [&failure](const QString &message) { failure = message; };
        dm.requestTermination = [] {};
        dm.setDataDirectory(absolute);
        dm.DMCreate();
        if (!dm.isConnected())
            throw DataToolError(failure);
    }

    TDM dm;
};

bool usable(const QStringList &arguments)
{
    return arguments.size() == 2 && !arguments.at(0).isEmpty() && !arguments.at(1).isEmpty();
}

} // namespace

int runImportPricesCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (!usable(arguments))
        return ExitUsage;
    try {
        const QByteArray csv = PriceListExchange::readFile(arguments.at(1));
        DataModuleOn data(arguments.at(0));
        const PriceListPlan plan = data.dm.planPriceListImport(csv);
        if (!plan.encodingNote.isEmpty())
            err << "tessorin-data: " << plan.encodingNote << '\n';
        if (!plan.refusals.isEmpty()) {
            err << "tessorin-data: " << arguments.at(1) << " was not imported; nothing changed:\n";
            for (const PriceListPlan::Refusal &refusal : plan.refusals)
                err << "  line " << refusal.line << ": " << refusal.reason << '\n';
            return ExitFailure;
        }
        data.dm.importPriceList(plan);
        out << "Imported " << arguments.at(1) << ": " << plan.summary() << '\n';
    } catch (const Exception &error) {
        err << "tessorin-data: " << error.message() << '\n';
        return ExitFailure;
    }
    return ExitOk;
}

int runExportPricesCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (!usable(arguments))
        return ExitUsage;
    try {
        DataModuleOn data(arguments.at(0));
        const QByteArray csv = data.dm.exportPriceList();
        QSaveFile file(arguments.at(1));
        if (!file.open(QIODevice::WriteOnly) || file.write(csv) != csv.size() || !file.commit())
            throw DataToolError(
                u"Cannot write %1: %2"_s.arg(arguments.at(1), file.errorString()));
        out << "Exported the price list to " << arguments.at(1) << '\n';
    } catch (const Exception &error) {
        err << "tessorin-data: " << error.message() << '\n';
        return ExitFailure;
    }
    return ExitOk;
}

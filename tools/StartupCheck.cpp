#include "StartupCheck.h"

#include "DataCommand.h"
#include "data/DataModuleMain.h"

using namespace Qt::Literals::StringLiterals;

void requireUsableDataDirectory(const QString &path)
{
    TDM dm;
    QString failure;
    dm.startupFailure = [&failure](const QString &message) { failure = message; };
    dm.requestTermination = [] {};
    dm.setDataDirectory(path);
    dm.DMCreate();
    if (!dm.isConnected())
        throw DataToolError(failure);
}

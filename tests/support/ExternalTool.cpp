#include "ExternalTool.h"

#include <QStandardPaths>

namespace ExternalTool {

QString find(const QString &tool)
{
    return QStandardPaths::findExecutable(tool);
}

bool inContinuousIntegration()
{
    return !qEnvironmentVariableIsEmpty("CI");
}

} // namespace ExternalTool

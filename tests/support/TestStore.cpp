#include "TestStore.h"

#include "ExternalTool.h"
#include "TestServer.h"

#include <QCoreApplication>

#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

std::vector<std::unique_ptr<TestServer>> &databases()
{
    static std::vector<std::unique_ptr<TestServer>> made;
    return made;
}

// Drops the test's databases while the application still runs its event loop's last steps.
void dropDatabases()
{
    databases().clear();
}

bool askedForServer()
{
    return qEnvironmentVariable("TESSORIN_TEST_STORE") == u"server";
}

} // namespace

bool TestStore::onServer()
{
    static const bool server = [] {
        if (!askedForServer())
            return false;
        const TestServer probe;
        if (probe.isAvailable())
            return true;
        if (ExternalTool::inContinuousIntegration())
            qFatal("The server variant has no server: %s", qPrintable(probe.problem()));
        qWarning(
            "The server variant runs on the embedded database: %s", qPrintable(probe.problem()));
        return false;
    }();
    return server;
}

QString TestStore::newServerDatabase()
{
    if (databases().empty())
        qAddPostRoutine(dropDatabases);
    databases().push_back(std::make_unique<TestServer>());
    const TestServer &server = *databases().back();
    if (!server.isAvailable())
        qFatal("No test database: %s", qPrintable(server.problem()));
    return server.keywords();
}

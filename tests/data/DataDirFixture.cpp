#include "DataDirFixture.h"

#include "data/DataDirectory.h"
#include "data/ServerDataDirectory.h"
#include "engine/ServerConnection.h"
#include "FileStatement.h"
#include "TestStore.h"

#include <QDir>

DataDirFixture::DataDirFixture()
    : m_root(QDir::tempPath() + QStringLiteral("/tessorin-dm-XXXXXX"))
{
    if (TestStore::onServer()) {
        createServerDataDirectory(dataDirectory(),
            ServerConnection::fromText(TestStore::newServerDatabase(), QStringLiteral("test")));
    } else {
        createDataDirectory(dataDirectory());
    }
}

DataDirFixture::~DataDirFixture() = default;

QString DataDirFixture::dataFile(const QString &name) const
{
    return QDir(dataDirectory()).filePath(name);
}

std::unique_ptr<TDM> DataDirFixture::start()
{
    auto dm = std::make_unique<TDM>();
    startupMessage.clear();
    dm->startupFailure = [this](const QString &text) { startupMessage = text; };
    dm->requestTermination = [] {};
    dm->DMCreate(executable());
    return dm;
}

QVariant DataDirFixture::peek(const QString &file, const QString &sql) const
{
    return runOnFile(dataFile(file), sql);
}

void DataDirFixture::exec(const QString &file, const QString &sql) const
{
    runOnFile(dataFile(file), sql);
}

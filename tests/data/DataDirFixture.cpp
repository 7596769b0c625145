#include "DataDirFixture.h"

#include "CreateCommand.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

DataDirFixture::DataDirFixture()
    : m_root(QDir::tempPath() + QStringLiteral("/tessorin-dm-XXXXXX"))
{
    createDataDirectory(dataDirectory());
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

static QVariant run(const QString &path, const QString &sql)
{
    const QString name = QUuid::createUuid().toString();
    QVariant result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
        QSqlQuery query(db);
        if (!query.exec(sql))
            qWarning("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
        else if (query.next())
            result = query.value(0);
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

QVariant DataDirFixture::peek(const QString &file, const QString &sql) const
{
    return run(dataFile(file), sql);
}

void DataDirFixture::exec(const QString &file, const QString &sql) const
{
    run(dataFile(file), sql);
}

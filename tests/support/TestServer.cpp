#include "TestServer.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace {

// Runs sql on database of the cluster at host as its superuser; the error's text, or empty.
QString run(const QString &host, const QString &database, const QString &sql)
{
    const QString name = u"test-server-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, name);
        if (!db.isValid()) {
            error = u"Qt's PostgreSQL driver is not installed (scripts/install-deps installs it)"_s;
        } else {
            db.setConnectOptions(
                u"host='%1' dbname='%2' user=postgres connect_timeout=10"_s.arg(host, database));
            if (!db.open()) {
                error = db.lastError().text();
            } else {
                QSqlQuery query(db);
                if (!query.exec(sql))
                    error = query.lastError().text();
            }
        }
    }
    QSqlDatabase::removeDatabase(name);
    return error;
}

} // namespace

TestServer::TestServer()
    : m_host(qEnvironmentVariable("TESSORIN_TEST_PGHOST"))
    , m_database(u"tessorin_test_%1_%2"_s.arg(QCoreApplication::applicationPid())
                     .arg(QUuid::createUuid().toString(QUuid::Id128).left(8)))
{
    if (m_host.isEmpty()) {
        m_problem = u"no test server: TESSORIN_TEST_PGHOST is not set (ctest starts one)"_s;
        return;
    }
    const QString error = run(m_host, u"postgres"_s, u"CREATE DATABASE "_s + m_database);
    if (!error.isEmpty())
        m_problem = u"no test server at %1: %2"_s.arg(m_host, error);
}

TestServer::~TestServer()
{
    if (isAvailable())
        run(m_host, u"postgres"_s, u"DROP DATABASE IF EXISTS %1 WITH (FORCE)"_s.arg(m_database));
}

QString TestServer::keywords() const
{
    return u"host='%1' dbname=%2 user=postgres"_s.arg(m_host, m_database);
}

QString TestServer::execute(const QString &sql) const
{
    return run(m_host, m_database, sql);
}

#include "engine/ServerStore.h"

#include "engine/Exception.h"
#include "engine/RecordLocks.h"

namespace {

[[noreturn]] void notYet()
{
    throw EDatabaseError(QStringLiteral("The server store is not built yet"));
}

} // namespace

class ServerNotices
{ };

ServerStore::ServerStore(const Schema &schema)
    : SqlStore(schema)
{ }

ServerStore::~ServerStore() = default;

void ServerStore::open(const QString &directory)
{
    open(ServerConnection::fromDirectory(directory));
}

void ServerStore::open(const ServerConnection &server)
{
    m_server = server;
    notYet();
}

void ServerStore::close() { }

QString ServerStore::location() const
{
    return m_server ? m_server->serverName() : QString();
}

void ServerStore::create(
    const ServerConnection &, const Schema &, const std::function<void(QSqlQuery &)> &)
{
    notYet();
}

void ServerStore::validate(const TableDef &) { notYet(); }
void ServerStore::validateNothingElse() { notYet(); }
void ServerStore::backup(const QString &) { notYet(); }
QStringList ServerStore::integrityProblems() { return {}; }
QSqlDatabase ServerStore::queryConnection() { notYet(); }
QString ServerStore::writeProblem(const QString &) const { return {}; }
std::unique_ptr<RecordLocks> ServerStore::openLocks(const QString &) { notYet(); }
void ServerStore::begin() { notYet(); }
void ServerStore::commit() { notYet(); }
void ServerStore::rollback() { }
void ServerStore::beginSnapshot() { notYet(); }
void ServerStore::endSnapshot() { }
QStringList ServerStore::changedTables() { return {}; }
void ServerStore::setChangeListener(std::function<void()> listener)
{
    m_listener = std::move(listener);
}
void ServerStore::connectSession() { }
void ServerStore::reconnectIfLost() { }
const QStringList &ServerStore::schemaProblems() { notYet(); }
void ServerStore::failLost(const QString &, const QSqlQuery &) { notYet(); }

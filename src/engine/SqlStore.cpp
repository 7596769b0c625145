#include "engine/SqlStore.h"

#include "engine/EmbeddedStore.h"
#include "engine/ServerConnection.h"
#include "engine/ServerErrors.h"
#include "engine/ServerStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("SqlStore", text);
}

} // namespace

SqlStore::SqlStore(const Schema &schema)
    : m_schema(schema)
{ }

SqlStore::~SqlStore() = default;

std::unique_ptr<SqlStore> SqlStore::connect(const Schema &schema, const QString &directory)
{
    const QDir dir(directory);
    const bool embedded = QFileInfo::exists(dir.filePath(EmbeddedStore::databaseFileName()));
    const bool server = QFileInfo::exists(dir.filePath(ServerConnection::fileName()));
    if (embedded && server) {
        throw EDatabaseError(
            tr("The data directory %1 holds both a database (%2) and the address of a server (%3); "
               "remove the one that is no longer in use")
                .arg(QDir::toNativeSeparators(directory), EmbeddedStore::databaseFileName(),
                    ServerConnection::fileName()));
    }
    if (server) {
        auto store = std::make_unique<ServerStore>(schema);
        store->open(directory);
        return store;
    }
    auto store = std::make_unique<EmbeddedStore>(schema);
    store->open(directory);
    return store;
}

QString SqlStore::quoted(const QString &identifier)
{
    QString text = identifier;
    text.replace(u'"', QStringLiteral("\"\""));
    return u'"' + text + u'"';
}

QString SqlStore::storedIndexName(const TableDef &def, const IndexDef &index)
{
    return def.fileName + u'/' + index.name;
}

EDatabaseError::Kind SqlStore::errorKind(const QSqlQuery &query)
{
    const QSqlDriver *driver = query.driver();
    if (driver && driver->dbmsType() == QSqlDriver::PostgreSQL)
        return ServerErrors::kindOf(query);
    return EmbeddedStore::errorKind(query);
}

EDatabaseError SqlStore::statementFailure(
    const QString &context, EDatabaseError::Kind kind, const QString &text)
{
    const QString shown = kind == EDatabaseError::Kind::DuplicateKey ? tr("Key violation") : text;
    return EDatabaseError(context.isEmpty() ? shown : context + QStringLiteral(": ") + shown, kind);
}

void SqlStore::run(QSqlQuery &query, const QString &context)
{
    if (query.exec())
        return;
    const EDatabaseError::Kind kind = errorKind(query);
    QString text = query.lastError().databaseText();
    if (text.isEmpty())
        text = query.lastError().text();
    query.finish();
    throw statementFailure(context, kind, text);
}

void SqlStore::run(QSqlQuery &query, const QString &sql, const QString &context)
{
    if (!query.prepare(sql)) {
        throw EDatabaseError(
            context + QStringLiteral(": ") + query.lastError().databaseText(), errorKind(query));
    }
    run(query, context);
    query.finish();
}

QSqlDatabase SqlStore::connection() const
{
    return QSqlDatabase::database(m_connection, false);
}

void SqlStore::removeConnection(QString *name)
{
    if (name->isEmpty())
        return;
    QSqlDatabase::database(*name, false).close();
    QSqlDatabase::removeDatabase(*name);
    name->clear();
}

void SqlStore::noteWritten(const QString &table)
{
    const QString key = table.toUpper();
    if (!m_written.contains(key))
        m_written << key;
}

#include "engine/ServerStore.h"

#include "engine/EmbeddedStore.h"
#include "engine/Exception.h"
#include "engine/RecordLocks.h"
#include "engine/ServerErrors.h"
#include "engine/ServerRecordLocks.h"
#include "engine/ServerSchema.h"
#include "engine/ServerSchemaCheck.h"
#include "engine/ServerStatement.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QUuid>

#include <libpq-fe.h>
#include <optional>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ServerStore", text);
}

QString uniqueName(const QString &prefix)
{
    return prefix + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

PGconn *libpqHandle(const QSqlDatabase &database)
{
    const QSqlDriver *driver = database.driver();
    const QVariant handle = driver ? driver->handle() : QVariant();
    if (!handle.isValid()
        || (qstrcmp(handle.typeName(), "pg_conn*") != 0
            && qstrcmp(handle.typeName(), "PGconn*") != 0))
        return nullptr;
    return *static_cast<PGconn *const *>(handle.constData());
}

// What a result of libpq reports: the kind of refusal and the server's text. No result is a
// connection gone.
std::pair<EDatabaseError::Kind, QString> refusalOf(const PGresult *result)
{
    const char *state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    QString text =
        QString::fromUtf8(result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr);
    if (text.isEmpty())
        text = tr("the connection to the server was lost");
    return { state ? ServerErrors::kindOf(QString::fromLatin1(state))
                   : EDatabaseError::Kind::LostConnection,
        text };
}

// The failure a result of libpq reports, after context.
EDatabaseError failureOf(const QString &context, const PGresult *result)
{
    const auto [kind, text] = refusalOf(result);
    return EDatabaseError(context + u": "_s + text, kind);
}

// Reads the rest of a text's results off the connection.
void discardResults(PGconn *handle)
{
    while (PGresult *result = PQgetResult(handle))
        PQclear(result);
}

// Every statement's result in a pipeline up to its sync, in order; fewer when the connection goes.
std::vector<PGresult *> resultsToSync(PGconn *handle)
{
    std::vector<PGresult *> results;
    for (;;) {
        PGresult *result = PQgetResult(handle);
        if (!result) { // the end of one statement's results
            if (PQstatus(handle) != CONNECTION_OK)
                break;
            continue;
        }
        if (PQresultStatus(result) == PGRES_PIPELINE_SYNC) {
            PQclear(result);
            break;
        }
        results.push_back(result);
    }
    return results;
}

// A server connection of its own, closed and unregistered when it goes.
class ScratchConnection
{
public:
    ScratchConnection(const ServerConnection &server, const QString &prefix)
        : m_name(uniqueName(prefix))
    {
        server.open(m_name);
    }
    ~ScratchConnection()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    ScratchConnection(const ScratchConnection &) = delete;
    ScratchConnection &operator=(const ScratchConnection &) = delete;
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
};

// How long a write waits for another copy's write to end before it is refused as busy, as the
// embedded store waits for its database.
constexpr int writeWaitMs = 5000;

} // namespace

// The tables other sessions' commits changed, as their notices named them, and the listener's
// call, made once from the event loop however many notices came at once.
class ServerNotices
{
public:
    QObject context;
    QSet<QString> tables;
    bool everything = false; // the notices of a time without a connection were missed
    bool scheduled = false;
};

ServerStore::ServerStore(const Schema &schema)
    : SqlStore(schema)
    , m_notices(std::make_unique<ServerNotices>())
    , m_othersAtWrite(std::make_shared<OtherSessionsLocks>())
    , m_unlocksAtCommit(std::make_shared<UnlocksAtCommit>())
{ }

ServerStore::~ServerStore()
{
    close();
}

void ServerStore::open(const QString &directory)
{
    open(ServerConnection::fromDirectory(directory));
}

void ServerStore::open(const ServerConnection &server)
{
    close();
    m_server = server;
    connectSession();
    // The catalog alone is read, in a few statements, whatever the size of the data.
    QStringList problems;
    try {
        problems = ServerSchemaCheck::problems(connection(), m_schema, location());
    } catch (const EDatabaseError &) {
        close();
        throw;
    }
    if (!problems.isEmpty()) {
        close();
        throw EDatabaseError(problems.join(u'\n'));
    }
}

// The store's connection is the new one only once it is made: a server still down leaves the
// lost one in place, for the next operation to try again.
void ServerStore::connectSession()
{
    QString name = uniqueName(u"tqv-server-"_s);
    QSqlDatabase db;
    try {
        db = m_server->open(name);
    } catch (const EDatabaseError &error) {
        throw EDatabaseError(error.message(), EDatabaseError::Kind::LostConnection);
    }
    QSqlDriver *driver = db.driver();
    // Our own session's notices are our own commits, which this copy's views know of.
    QObject::connect(driver, &QSqlDriver::notification, &m_notices->context,
        [this](const QString &, QSqlDriver::NotificationSource source, const QVariant &payload) {
            if (source == QSqlDriver::SelfSource)
                return;
            m_notices->tables.insert(payload.toString());
            tellListener();
        });
    // A write waits this long for another copy's write to end before it is refused as busy, as
    // the embedded store waits for its database; the session's other statements wait no longer.
    QSqlQuery bound(db);
    const bool boundSet = bound.exec(u"SET lock_timeout = %1"_s.arg(writeWaitMs));
    bound = QSqlQuery();
    if (!boundSet || !driver->subscribeToNotification(ServerSchema::changesChannel())) {
        const QString why = driver->lastError().text();
        db = QSqlDatabase();
        removeConnection(&name);
        throw EDatabaseError(tr("Cannot listen for changes on %1: %2").arg(location(), why),
            EDatabaseError::Kind::LostConnection);
    }
    m_connection = name;
    m_prepared.clear();
    m_preparing.clear();
}

void ServerStore::close()
{
    removeConnection(&m_queryConnection);
    removeConnection(&m_connection);
    transactionEnded();
    m_inSnapshot = false;
    m_unlocksAtCommit->statements.clear();
    m_unlocksAtCommit->settleFirst = {};
    m_sent.clear();
    m_sendFailed = false;
    m_rowids.clear();
    m_rowidsWanted.clear();
    m_prepared.clear();
    m_preparing.clear();
    m_notices->tables.clear();
    m_notices->everything = false;
}

QString ServerStore::location() const
{
    return m_server ? m_server->serverName() : QString();
}

bool ServerStore::connectionLost() const
{
    return isOpen() && !m_inTransaction && !m_inSnapshot && !connection().isOpen();
}

void ServerStore::reconnect()
{
    if (!connectionLost())
        return;
    QString lost = m_connection;
    connectSession();
    removeConnection(&lost);
    removeConnection(&m_queryConnection);
    // What others committed while this copy had no connection was never told.
    m_notices->everything = true;
    tellListener();
}

// Once from the event loop, however many notices came meanwhile, and never from inside the
// driver's delivery of them.
void ServerStore::tellListener()
{
    if (m_notices->scheduled)
        return;
    m_notices->scheduled = true;
    QMetaObject::invokeMethod(
        &m_notices->context,
        [this] {
            m_notices->scheduled = false;
            if (m_listener)
                m_listener();
        },
        Qt::QueuedConnection);
}

void ServerStore::create(const ServerConnection &server,
    const Schema &schema,
    const std::function<void(QSqlQuery &)> &fill)
{
    ScratchConnection scratch(server, u"tqv-server-create-"_s);
    ServerSchema::create(scratch.db(), schema, server.serverName(), fill);
}

// --- checks ----------------------------------------------------------------------------------

// The whole catalog was checked when the store opened: every table, and nothing else there.
void ServerStore::validate(const TableDef &) { }

void ServerStore::validateNothingElse() { }

// The server keeps its own pages sound (it has no cheap check of them to ask); what can be read
// cheaply is the catalog, checked again for what changed since the open.
QStringList ServerStore::integrityProblems()
{
    return ServerSchemaCheck::problems(connection(), m_schema, location());
}

QString ServerStore::writeProblem(const QString &) const
{
    const QString all = u"'SELECT', 'INSERT', 'UPDATE', 'DELETE'"_s;
    QStringList needed;
    for (const TableDef &def : m_schema.tables)
        needed << u"(%1, ARRAY[%2])"_s.arg(ServerSchema::literal(def.fileName), all);
    needed << u"(%1, ARRAY[%2])"_s.arg(
        ServerSchema::literal(ServerRecordLocks::sessionsTable()), all);
    needed << u"(%1, ARRAY['SELECT', 'UPDATE'])"_s.arg(ServerSchema::literal(changesTable()));
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    query.prepare(
        u"SELECT current_user::text, t.name, p.priv FROM (VALUES %1) t(name, privs) "
        "CROSS JOIN LATERAL unnest(t.privs) p(priv) WHERE NOT has_table_privilege("
        "quote_ident(current_schema()) || '.' || quote_ident(t.name), p.priv) LIMIT 1"_s.arg(
            needed.join(", "_L1)));
    run(query, location());
    if (!query.next())
        return {};
    return tr("The account %1 may not write the data in %2: it lacks the %3 privilege on %4")
        .arg(query.value(0).toString(), location(), query.value(2).toString(),
            query.value(1).toString());
}

std::unique_ptr<RecordLocks> ServerStore::openLocks(const QString &)
{
    m_unlocksAtCommit->settleFirst = [this] { settle(); };
    return RecordLocks::openOnServer(connection(), m_othersAtWrite, m_unlocksAtCommit);
}

QSqlDatabase ServerStore::queryConnection()
{
    if (!m_queryConnection.isEmpty() && !QSqlDatabase::database(m_queryConnection, false).isOpen())
        removeConnection(&m_queryConnection);
    if (m_queryConnection.isEmpty()) {
        const QString name = uniqueName(u"tqv-server-query-"_s);
        QSqlDatabase db = m_server->open(name);
        QSqlQuery query(db);
        if (!query.exec(u"SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY"_s)) {
            const QSqlError error = query.lastError();
            query = QSqlQuery();
            db = QSqlDatabase();
            QString doomed = name;
            removeConnection(&doomed);
            throw EDatabaseError(
                tr("Cannot read %1: %2").arg(location(), error.databaseText().trimmed()),
                ServerErrors::kindOf(error));
        }
        m_queryConnection = name;
    }
    return QSqlDatabase::database(m_queryConnection, false);
}

// The copy reads one snapshot through a connection of its own, while others go on writing, and
// is written under a name of its own beside the target, renamed when whole.
void ServerStore::backup(const QString &path)
{
    const QString target = QDir::toNativeSeparators(path);
    if (QFileInfo::exists(path))
        throw EDatabaseError(
            tr("Cannot copy the database to %1: the file already exists").arg(target));
    const QFileInfo info(path);
    const QString partial = info.absoluteDir().filePath(u'.' + info.fileName() + u".partial"_s);
    const auto removePartial = [&partial] {
        QFile::remove(partial);
        QFile::remove(partial + u"-journal"_s);
    };
    removePartial();
    const QString context = tr("Cannot copy the database %1 to %2").arg(location(), target);
    try {
        ScratchConnection source(*m_server, u"tqv-server-backup-"_s);
        QSqlQuery read(source.db());
        read.setForwardOnly(true);
        if (!read.exec(u"BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"_s))
            throw EDatabaseError(
                u"%1: %2"_s.arg(context, read.lastError().text()), errorKind(read));
        EmbeddedStore::create(partial, m_schema, [&](QSqlQuery &write) {
            for (const TableDef &def : m_schema.tables) {
                QStringList columns { ServerSchema::rowIdColumn() };
                QStringList marks { u"?"_s };
                for (const FieldDef &field : def.fields) {
                    columns << quoted(field.name);
                    marks << u"?"_s;
                }
                const QString list = columns.join(u", "_s);
                read.prepare(u"SELECT %1 FROM %2 ORDER BY %3"_s.arg(
                    list, tableRef(def), ServerSchema::rowIdColumn()));
                run(read, context);
                write.prepare(u"INSERT INTO %1 (%2) VALUES (%3)"_s.arg(
                    tableRef(def), list, marks.join(u", "_s)));
                while (read.next()) {
                    for (int i = 0; i < columns.size(); ++i)
                        write.bindValue(i, read.value(i));
                    run(write, context);
                }
                if (read.lastError().isValid())
                    throw EDatabaseError(
                        u"%1: %2"_s.arg(context, read.lastError().text()), errorKind(read));
                read.finish();
            }
        });
        read.exec(u"COMMIT"_s);
    } catch (const EDatabaseError &) {
        removePartial();
        throw;
    }
    if (!QFile::rename(partial, path)) { // never over a file that appeared meanwhile
        removePartial();
        throw EDatabaseError(tr("Cannot copy the database to %1: it cannot be renamed from %2")
                                 .arg(target, QDir::toNativeSeparators(partial)));
    }
}

// --- transactions and changes ----------------------------------------------------------------

// Sent as text, unprepared.
void ServerStore::execute(const QString &sql, const QString &context)
{
    QSqlQuery query(connection());
    if (query.exec(sql))
        return;
    const EDatabaseError::Kind kind = errorKind(query);
    QString text = query.lastError().databaseText().trimmed();
    if (text.isEmpty())
        text = kind == EDatabaseError::Kind::LostConnection
            ? tr("the connection to the server was lost")
            : query.lastError().text();
    throw EDatabaseError(context + u": "_s + text, kind);
}

void ServerStore::abandonTransaction()
{
    dropPipeline();
    // A connection that went took its transaction with it.
    if (connection().isOpen()) {
        QSqlQuery query(connection());
        query.exec(u"ROLLBACK"_s);
        query.finish();
    }
    transactionEnded();
    m_unlocksAtCommit->statements.clear();
}

void ServerStore::transactionEnded()
{
    m_inTransaction = false;
    m_written.clear();
    m_othersAtWrite->known = false;
}

const QString &ServerStore::writeLockSql()
{
    static const QString sql =
        u"WITH w AS MATERIALIZED (SELECT pg_advisory_xact_lock(%1)::text AS done) SELECT h.* "
        "FROM w CROSS JOIN LATERAL (%2 AND w.done IS NOT NULL) h"_s.arg(writeLockKey)
            .arg(OtherSessionsLocks::heldSql());
    return sql;
}

void ServerStore::noteOthersAtWrite(const pg_result *result)
{
    m_othersAtWrite->held.clear();
    for (int row = 0; row < PQntuples(result); ++row) {
        m_othersAtWrite->held.append({ quint32(QByteArray(PQgetvalue(result, row, 0)).toLongLong()),
            quint32(QByteArray(PQgetvalue(result, row, 1)).toLongLong()),
            *PQgetvalue(result, row, 2) == 't' });
    }
    m_othersAtWrite->known = true;
}

// One round trip: the transaction and the write lock every copy's write transaction takes, so
// that one copy writes at a time as on the embedded database; then, under it, the record locks
// other copies hold, against which the transaction's lock checks are made.
void ServerStore::begin()
{
    if (m_inTransaction)
        return;
    m_inTransaction = true;
    const QString context = tr("Cannot start writing to %1").arg(location());
    // QPSQL answers with the first statement's result of several; libpq gives the last one's,
    // or the first failure.
    PGconn *handle = libpqHandle(connection());
    if (!handle) {
        abandonTransaction();
        throw EDatabaseError(context + u": "_s + tr("the connection to the server was lost"),
            EDatabaseError::Kind::LostConnection);
    }
    const QByteArray sql = "BEGIN; " + writeLockSql().toUtf8();
    PGresult *result = PQexec(handle, sql.constData());
    if (PQresultStatus(result) != PGRES_TUPLES_OK) {
        const EDatabaseError failure = failureOf(context, result);
        PQclear(result);
        abandonTransaction();
        throw failure;
    }
    noteOthersAtWrite(result);
    PQclear(result);
}

// --- the pipeline ----------------------------------------------------------------------------
// Statements go to the server one after another without waiting, and their results are read at
// the next round trip: the start of a write transaction with its first statement, and the writes
// whose results nobody needs before the next statement or the commit. The server stops at the
// first failure of a pipeline, and the results of the rest say they were skipped.

bool ServerStore::startPipeline()
{
    PGconn *handle = libpqHandle(connection());
    if (!handle || PQstatus(handle) != CONNECTION_OK)
        return false;
    if (PQpipelineStatus(handle) == PQ_PIPELINE_ON)
        return true;
    const PGTransactionStatusType status = PQtransactionStatus(handle);
    return (status == (m_inTransaction ? PQTRANS_INTRANS : PQTRANS_IDLE))
        && PQenterPipelineMode(handle);
}

void ServerStore::send(const QByteArray &sql, Sent sent)
{
    PGconn *handle = libpqHandle(connection());
    if (!handle
        || !PQsendQueryParams(handle, sql.constData(), 0, nullptr, nullptr, nullptr, nullptr, 0))
        m_sendFailed = true;
    m_sent.push_back(std::move(sent));
}

void ServerStore::send(const ServerStatement &statement, Sent sent)
{
    PGconn *handle = libpqHandle(connection());
    if (!handle || !statement.send(handle, preparedName(handle, statement.sql(), sent)))
        m_sendFailed = true;
    m_sent.push_back(std::move(sent));
}

// The engine sends a few write statements again and again; prepared, the server parses and plans
// each once a session rather than at every save.
QByteArray ServerStore::preparedName(PGconn *handle, const QByteArray &sql, const Sent &statement)
{
    constexpr qsizetype preparedKept = 100;
    if (const auto found = m_prepared.constFind(sql); found != m_prepared.cend())
        return *found;
    if (const auto found = m_preparing.constFind(sql); found != m_preparing.cend())
        return *found;
    if (m_prepared.size() + m_preparing.size() >= preparedKept)
        return {};
    const QByteArray name = "tqv_" + QByteArray::number(++m_preparedNames);
    if (!PQsendPrepare(handle, name.constData(), sql.constData(), 0, nullptr))
        m_sendFailed = true;
    m_preparing.insert(sql, name);
    m_sent.push_back({ statement.kind, statement.context, {}, sql });
    return name;
}

EDatabaseError ServerStore::refusal(const Sent &statement, const pg_result *result) const
{
    switch (statement.kind) {
    case Sent::Kind::Begin:
    case Sent::Kind::WriteLock:
        return failureOf(tr("Cannot start writing to %1").arg(location()), result);
    case Sent::Kind::Write:
    case Sent::Kind::Statement: {
        const auto [kind, text] = refusalOf(result);
        return statementFailure(statement.context, kind, text);
    }
    case Sent::Kind::Rowids:
    case Sent::Kind::Commit:
    case Sent::Kind::Unlock:
        break;
    }
    return failureOf(tr("Cannot store the changes in %1").arg(location()), result);
}

// A table's next row ids from its identity's sequence, in order; none where this account may
// not use the sequence, as an insert may without (the inserts then take theirs as before).
void ServerStore::sendRowidRequests()
{
    constexpr int rowidsAhead = 32;
    for (const QString &table : std::as_const(m_rowidsWanted)) {
        const ServerStatement request(
            u"SELECT nextval(q.s::regclass) FROM (SELECT pg_get_serial_sequence(?, ?) AS s) q "
            "CROSS JOIN generate_series(1, %1) WHERE has_sequence_privilege(q.s, 'USAGE') "
            "ORDER BY 1"_s.arg(rowidsAhead),
            { quoted(table), ServerSchema::rowIdColumn() });
        send(request, { Sent::Kind::Rowids, table, {} });
    }
    m_rowidsWanted.clear();
}

QVariantList ServerStore::settlePipeline()
{
    const std::vector<Sent> sent = std::exchange(m_sent, {});
    const bool sendFailed = std::exchange(m_sendFailed, false);
    PGconn *handle = libpqHandle(connection());
    const std::vector<PGresult *> results = handle && !sendFailed && PQpipelineSync(handle)
        ? resultsToSync(handle)
        : std::vector<PGresult *> {};
    if (handle)
        PQexitPipelineMode(handle);

    QVariantList row;
    std::optional<EDatabaseError> failure;
    for (size_t i = 0; i < sent.size() && !failure; ++i) {
        const Sent &statement = sent.at(i);
        const PGresult *result = i < results.size() ? results.at(i) : nullptr;
        const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
        const bool ran = status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK;
        if (!statement.prepared.isEmpty()) {
            if (!ran)
                failure = refusal(statement, result);
            else
                m_prepared.insert(statement.prepared, m_preparing.value(statement.prepared));
            continue;
        }
        switch (statement.kind) {
        case Sent::Kind::Begin:
        case Sent::Kind::WriteLock:
            if (!ran || (statement.kind == Sent::Kind::WriteLock && status != PGRES_TUPLES_OK))
                failure = refusal(statement, result);
            else if (statement.kind == Sent::Kind::WriteLock)
                noteOthersAtWrite(result);
            break;
        case Sent::Kind::Rowids:
            if (!ran) {
                failure = refusal(statement, result);
                break;
            }
            for (int r = 0; r < PQntuples(result); ++r)
                m_rowids[statement.context].push_back(
                    QByteArray(PQgetvalue(result, r, 0)).toLongLong());
            break;
        case Sent::Kind::Write:
        case Sent::Kind::Statement:
            if (!ran)
                failure = refusal(statement, result);
            else if (statement.kind == Sent::Kind::Write)
                statement.apply(ServerStatement::firstRow(result));
            else
                row = ServerStatement::firstRow(result);
            break;
        case Sent::Kind::Commit:
            // A transaction that failed answers COMMIT with ROLLBACK.
            if (!ran || qstrcmp(PQcmdStatus(const_cast<PGresult *>(result)), "COMMIT") != 0)
                failure = refusal(statement, result);
            break;
        case Sent::Kind::Unlock:
            break; // a connection that is gone let go of every lock already
        }
    }
    m_preparing.clear();
    for (PGresult *result : results)
        PQclear(result);
    if (failure) {
        abandonTransaction();
        throw *failure;
    }
    return row;
}

void ServerStore::dropPipeline()
{
    PGconn *handle = libpqHandle(connection());
    if (handle && PQpipelineStatus(handle) != PQ_PIPELINE_OFF) {
        if (!m_sent.empty() && !m_sendFailed && PQpipelineSync(handle)) {
            for (PGresult *result : resultsToSync(handle))
                PQclear(result);
        }
        PQexitPipelineMode(handle);
    }
    m_sent.clear();
    m_sendFailed = false;
    m_preparing.clear();
}

bool ServerStore::sendWrite(
    const QString &sql, const QVariantList &values, const QString &context, QVariantList *row)
{
    const bool shared = !m_inTransaction || !m_sent.empty() || !m_rowidsWanted.isEmpty();
    if (!shared || !startPipeline())
        return false;
    if (!m_inTransaction) {
        m_inTransaction = true;
        send("BEGIN", { Sent::Kind::Begin, {}, {} });
        send(ServerStatement(writeLockSql(), {}), { Sent::Kind::WriteLock, {}, {} });
    }
    sendRowidRequests();
    send(ServerStatement(sql, values), { Sent::Kind::Statement, context, {} });
    *row = settlePipeline();
    return true;
}

bool ServerStore::queueWrite(const QString &sql,
    const QVariantList &values,
    const QString &context,
    std::function<void(const QVariantList &)> apply)
{
    if (!m_inTransaction || !startPipeline())
        return false;
    send(ServerStatement(sql, values), { Sent::Kind::Write, context, std::move(apply) });
    return true;
}

void ServerStore::settle()
{
    if (m_sent.empty())
        return;
    sendRowidRequests();
    settlePipeline();
}

qint64 ServerStore::takeRowid(const QString &table)
{
    std::deque<qint64> &taken = m_rowids[table];
    if (taken.empty()) {
        m_rowidsWanted.insert(table);
        return -1;
    }
    const qint64 rowid = taken.front();
    taken.pop_front();
    return rowid;
}

// The statement triggers counted the changes; the server tells other copies at the commit. The
// record locks to let go of with it follow the COMMIT in its round trip: a COMMIT that fails ends
// the text there, so they go only with a commit that succeeded.
void ServerStore::commit()
{
    if (!m_inTransaction) {
        sendUnlocks();
        return;
    }
    if (!m_sent.empty()) {
        // The queued writes, the COMMIT and the unlocks in one round trip.
        send("COMMIT", { Sent::Kind::Commit, {}, {} });
        for (const QString &unlock : std::as_const(m_unlocksAtCommit->statements))
            send(unlock.toUtf8(), { Sent::Kind::Unlock, {}, {} });
        m_unlocksAtCommit->statements.clear();
        settlePipeline();
        transactionEnded();
        return;
    }
    const QString context = tr("Cannot store the changes in %1").arg(location());
    // A transaction in which a statement failed is rolled back by the server at COMMIT, which it
    // reports as done: such a commit is a failure here.
    PGconn *handle = libpqHandle(connection());
    if (handle && PQtransactionStatus(handle) == PQTRANS_INERROR) {
        abandonTransaction();
        throw EDatabaseError(tr("Cannot store the changes in %1: a statement of the transaction "
                                "failed, so the server undid all of them")
                                 .arg(location()));
    }
    QByteArray sql = "COMMIT";
    for (const QString &unlock : std::as_const(m_unlocksAtCommit->statements))
        sql += "; " + unlock.toUtf8();
    m_unlocksAtCommit->statements.clear();
    PGresult *result = nullptr;
    if (handle && PQsendQuery(handle, sql.constData()))
        result = PQgetResult(handle);
    const bool committed = result && PQresultStatus(result) == PGRES_COMMAND_OK
        && qstrcmp(PQcmdStatus(result), "COMMIT") == 0;
    const std::optional<EDatabaseError> failure =
        committed ? std::nullopt : std::make_optional(failureOf(context, result));
    // The unlocks' results, and the end of the text, are read off the connection whatever came.
    if (result) {
        PQclear(result);
        discardResults(handle);
    }
    if (failure) {
        abandonTransaction();
        throw *failure;
    }
    transactionEnded();
}

void ServerStore::sendUnlocks()
{
    if (m_unlocksAtCommit->statements.isEmpty())
        return;
    const QByteArray sql = m_unlocksAtCommit->statements.join(u"; "_s).toUtf8();
    m_unlocksAtCommit->statements.clear();
    // Errors go unreported: a connection that is gone let go of every lock already.
    PGconn *handle = libpqHandle(connection());
    if (handle && PQsendQuery(handle, sql.constData()))
        discardResults(handle);
}

void ServerStore::rollback()
{
    if (m_inTransaction)
        abandonTransaction();
}

void ServerStore::beginSnapshot()
{
    reconnect();
    execute(u"BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY"_s,
        tr("Cannot read the database %1").arg(location()));
    m_inSnapshot = true;
}

void ServerStore::endSnapshot()
{
    if (!m_inSnapshot)
        return;
    m_inSnapshot = false;
    QSqlQuery query(connection());
    query.exec(u"COMMIT"_s);
    query.finish();
}

QStringList ServerStore::changedTables()
{
    // Notices the event loop has not read yet (a caller that polls between its own steps) are
    // read off the connection now, so that a poll tells what others committed before it. A round
    // trip first makes the server send the notices it holds for this session.
    if (isOpen() && !m_inTransaction && !m_inSnapshot) {
        QSqlDatabase db = connection();
        QSqlQuery(db).exec(u"SELECT 1"_s);
        PGconn *handle = libpqHandle(db);
        if (handle && PQconsumeInput(handle)) {
            const QByteArray channel = ServerSchema::changesChannel().toUtf8();
            while (PGnotify *notice = PQnotifies(handle)) {
                if (notice->be_pid != PQbackendPID(handle) && channel == notice->relname)
                    m_notices->tables.insert(QString::fromUtf8(notice->extra));
                PQfreemem(notice);
            }
        }
    }
    QStringList changed;
    if (m_notices->everything) {
        for (const TableDef &def : m_schema.tables)
            changed << ServerSchema::changeKey(def);
    } else {
        changed = QStringList(m_notices->tables.cbegin(), m_notices->tables.cend());
    }
    m_notices->tables.clear();
    m_notices->everything = false;
    return changed;
}

void ServerStore::setChangeListener(std::function<void()> listener)
{
    m_listener = std::move(listener);
}

#pragma once

#include "engine/ServerConnection.h"
#include "engine/SqlStore.h"

#include <QHash>
#include <QSet>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ServerNotices;
struct OtherSessionsLocks;
struct UnlocksAtCommit;
struct pg_conn;
struct pg_result;
class ServerStatement;

// The data of a data directory in a PostgreSQL server's database, named by the directory's
// Tessorin.server (ServerConnection), as ServerSchema makes it.
//
// One write at a time across copies, as the embedded store's BEGIN IMMEDIATE: a write transaction
// takes a transaction-scoped advisory lock on writeLockKey (a one-bigint key, apart from every
// key ServerRecordLocks uses) with its BEGIN. The tables' statement triggers count the changes and
// send a notice naming the table at commit; this store listens for them, so other copies' commits
// are known at once, and leaves out the notices its own session sent.
//
// A connection lost during an operation fails the operation (kind LostConnection); the store
// connects again at the next operation when the server is back, and the record locks of the old
// session are gone with it.
class ServerStore : public SqlStore
{
public:
    // The advisory lock a write transaction holds: in the one-bigint key space, which the
    // record locks' two-int keys never meet.
    static constexpr qint64 writeLockKey = 0x5445535357524954; // "TESSWRIT"

    explicit ServerStore(const Schema &schema);
    ~ServerStore() override;

    // Connects to the server the Tessorin.server of directory names, or to server. Creates
    // nothing and changes nothing: a server down, a missing database, a refused login, another
    // program's database or another format throws EDatabaseError naming the server and what is
    // wrong.
    void open(const QString &directory);
    void open(const ServerConnection &server);
    void close() override;
    // The server and its database, for messages.
    QString location() const override;

    // Makes the schema's tables, counters and notices in the empty database of server; fill,
    // when given, adds the first rows through the query in the same transaction. Throws
    // EDatabaseError naming the server.
    static void create(const ServerConnection &server,
        const Schema &schema,
        const std::function<void(QSqlQuery &)> &fill = {});

    void validate(const TableDef &def) override;
    void validateNothingElse() override;
    void backup(const QString &path) override;
    QStringList integrityProblems() override;

    QSqlDatabase queryConnection() override;
    QString writeProblem(const QString &controlDirectory) const override;
    std::unique_ptr<RecordLocks> openLocks(const QString &controlDirectory) override;

    void begin() override;
    bool sendWrite(const QString &sql,
        const QVariantList &values,
        const QString &context,
        QVariantList *row) override;
    bool queueWrite(const QString &sql,
        const QVariantList &values,
        const QString &context,
        std::function<void(const QVariantList &)> apply) override;
    void settle() override;
    qint64 takeRowid(const QString &table) override;
    void commit() override;
    void rollback() override;
    void beginSnapshot() override;
    void endSnapshot() override;
    QStringList changedTables() override;
    void setChangeListener(std::function<void()> listener) override;
    bool connectionLost() const override;
    void reconnect() override;

private:
    void connectSession();
    // Runs sql on the store's connection; a failure throws EDatabaseError after context.
    void execute(const QString &sql, const QString &context);
    // Ends a transaction that failed, as far as the connection still works.
    void abandonTransaction();
    // Forgets the transaction ended: nothing written, the other copies' locks no longer known.
    void transactionEnded();
    // Sends what the unlocks waiting for a commit that did not come (none was open).
    void sendUnlocks();
    // The write lock's statement, answering with the record locks other copies hold under it.
    static const QString &writeLockSql();
    // Notes the record locks other copies hold from the write lock statement's result.
    void noteOthersAtWrite(const pg_result *result);
    // What a statement sent in the pipeline is, for reading its result.
    struct Sent
    {
        enum class Kind
        {
            Begin,
            WriteLock,
            Rowids,
            Write,
            Statement,
            Commit,
            Unlock
        };
        Kind kind;
        QString context; // a write's, for its refusal; the table of row ids
        std::function<void(const QVariantList &)> apply; // a queued write's
        QByteArray prepared = {}; // a preparation's statement, sent ahead of the statement
    };
    // Puts the connection in pipeline mode, unless it is already. False when it cannot be.
    bool startPipeline();
    void send(const QByteArray &sql, Sent sent);
    void send(const ServerStatement &statement, Sent sent);
    // The name sql is prepared under on the connection, its preparation sent first where it is
    // new (failing as the statement would); empty once the connection holds as many as it keeps.
    QByteArray preparedName(pg_conn *handle, const QByteArray &sql, const Sent &statement);
    // What a statement's refused result reports, by what the statement is.
    EDatabaseError refusal(const Sent &statement, const pg_result *result) const;
    // Sends the requests for the row ids takeRowid ran out of.
    void sendRowidRequests();
    // Reads every result of the pipeline and leaves pipeline mode: the rows of queued writes
    // applied, the first failure thrown after the transaction is rolled back. Returns the first
    // row of the Statement sent, if one was.
    QVariantList settlePipeline();
    // Leaves pipeline mode, reading off and dropping whatever was sent.
    void dropPipeline();

    // Calls the change listener from the event loop.
    void tellListener();

    std::optional<ServerConnection> m_server;
    QString m_queryConnection;
    std::unique_ptr<ServerNotices> m_notices;
    std::shared_ptr<OtherSessionsLocks> m_othersAtWrite; // read with the write lock
    std::shared_ptr<UnlocksAtCommit> m_unlocksAtCommit; // sent after the COMMIT
    std::function<void()> m_listener;
    bool m_inSnapshot = false;
    std::vector<Sent> m_sent; // in the pipeline, results not read yet
    bool m_sendFailed = false; // libpq refused a statement of the pipeline
    QHash<QString, std::deque<qint64>> m_rowids; // taken ahead, by table
    QSet<QString> m_rowidsWanted;
    // Statements prepared on the connection, by their text: those the server took, and those
    // sent whose results are not read yet. Names are never used twice, so a preparation whose
    // result went unread is only forgotten.
    QHash<QByteArray, QByteArray> m_prepared;
    QHash<QByteArray, QByteArray> m_preparing;
    quint64 m_preparedNames = 0;
};

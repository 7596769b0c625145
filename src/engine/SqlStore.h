#pragma once

#include "engine/Exception.h"
#include "engine/TableDef.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class RecordLocks;

// Where the data of a data directory is stored and how it is spoken to: the connection, the
// write transactions, the per-table change counters and the checks of what is stored. Two stores
// implement it: the embedded SQLite database in the directory (EmbeddedStore) and a PostgreSQL
// server named by the directory's Tessorin.server (ServerStore). Above the stores the SQL text is
// portable or comes from SqlDialect, and errors carry a neutral kind.
//
// Each table of the table set is a table of the same name (the file names: "Quotes.DB", "INI"),
// with the fields in declared order, its primary key and its named indexes. Index names share one
// name space per database, so an index is stored as "<table>/<index>"; the table set keeps the
// names as declared. One more table, TQVChanges, counts the commits that wrote each table.
class SqlStore
{
public:
    static constexpr int applicationId = 0x54455353;
    // 3: text fields wider than in 2 (e-mail addresses, contact names). 4: indexes for the
    // price list's description search and the document lists of one client. A database of
    // format 2 or 3 is brought up to 4 when it is opened; other formats are refused.
    static constexpr int formatVersion = 4;
    static constexpr int oldestUpgradableFormatVersion = 2;
    static QString changesTable() { return QStringLiteral("TQVChanges"); }

    // The store of the data in directory, connected: the server its Tessorin.server names, or
    // else its embedded database. A directory holding both is refused. Throws EDatabaseError
    // naming the database and what is wrong.
    static std::unique_ptr<SqlStore> connect(const Schema &schema, const QString &directory);

    virtual ~SqlStore();
    SqlStore(const SqlStore &) = delete;
    SqlStore &operator=(const SqlStore &) = delete;

    const Schema &schema() const { return m_schema; }
    bool isOpen() const { return !m_connection.isEmpty(); }
    virtual void close() = 0;
    // Where the data is, for messages: the database file, or the server and its database.
    virtual QString location() const = 0;

    // Checks that the table is stored exactly as def declares it. Throws EDatabaseError.
    virtual void validate(const TableDef &def) = 0;
    // Checks that the database holds nothing the schema does not declare: no trigger, view,
    // table or index of anyone else's (a copy brought in from outside could run code of its own
    // at every write). Throws EDatabaseError naming what it found.
    virtual void validateNothingElse() = 0;
    // A consistent copy of the whole database as an embedded database file at path (which must
    // not exist), made while other copies of the program may be writing. Throws EDatabaseError.
    virtual void backup(const QString &path) = 0;
    // What the database's own check finds wrong with it; empty when it is sound.
    virtual QStringList integrityProblems() = 0;

    // What keeps this account from writing the data, with the lock-control files in
    // controlDirectory; empty when nothing does. Refused at the connection rather than found at
    // the first save.
    virtual QString writeProblem(const QString &controlDirectory) const = 0;
    // The record locks shared with the other copies of the program. Throws EDatabaseError.
    virtual std::unique_ptr<RecordLocks> openLocks(const QString &controlDirectory) = 0;

    // Whether the connection went (a server's, dropped or ended) while no transaction was open:
    // the next operation then connects again through reconnect, after letting go of what used
    // the old connection (the record locks, whose session went with it). Throws EDatabaseError
    // when the database cannot be reached again.
    virtual bool connectionLost() const { return false; }
    virtual void reconnect() { }

    // --- dialect ----------------------------------------------------------------------------
    static QString quoted(const QString &identifier); // "name" with inner quotes doubled
    static QString tableRef(const TableDef &def) { return quoted(def.fileName); }
    static QString storedIndexName(const TableDef &def, const IndexDef &index);

    // --- statements -------------------------------------------------------------------------
    QSqlDatabase connection() const;
    // A read-only connection for report queries, opened on first use.
    virtual QSqlDatabase queryConnection() = 0;
    // Runs a prepared or given statement; a failure throws EDatabaseError with the kind of
    // refusal and context in front of the database's message.
    static void run(QSqlQuery &query, const QString &context);
    static void run(QSqlQuery &query, const QString &sql, const QString &context);
    // The kind of the failure of the query's last statement, on either database.
    static EDatabaseError::Kind errorKind(const QSqlQuery &query);
    // What run throws for a statement refused with kind and the database's text, after context.
    static EDatabaseError statementFailure(
        const QString &context, EDatabaseError::Kind kind, const QString &text);

    // --- transactions -----------------------------------------------------------------------
    // Starts the write transaction: waits for other copies' writes to end.
    virtual void begin() = 0;
    bool inTransaction() const { return m_inTransaction; }
    // --- writes sent ahead (a server's pipeline; the embedded store runs each at once) ---------
    // Runs a write statement (sql with values for its placeholders in order) in the round trip
    // of what the store still has to send: the start of the write transaction when none is open,
    // and the writes queued since the last round trip. True when it ran, with *row the first row
    // it returned (empty when none); false, having done nothing, when there is nothing to send
    // with it or the store cannot, and the caller runs it as any other. A failure, the
    // statement's or a queued one's, rolls the transaction back and throws what run would, after
    // the failing statement's context.
    virtual bool sendWrite(const QString & /*sql*/,
        const QVariantList & /*values*/,
        const QString & /*context*/,
        QVariantList * /*row*/)
    {
        return false;
    }
    // Sends a write of the open transaction without waiting for it: its result goes to apply at
    // the next round trip (the next statement, settle or the commit), where its failure fails
    // that. False, having done nothing, where the store cannot.
    virtual bool queueWrite(const QString & /*sql*/,
        const QVariantList & /*values*/,
        const QString & /*context*/,
        std::function<void(const QVariantList &)> /*apply*/)
    {
        return false;
    }
    // Reads the results of the queued writes, before a statement that does not go through the
    // store. Throws as sendWrite does.
    virtual void settle() { }
    // A row id for a new record of the table, taken ahead so that a queued insert needs none
    // back; -1 when none is at hand (more are then taken with the next round trip).
    virtual qint64 takeRowid(const QString & /*table*/) { return -1; }
    void noteWritten(const QString &table);
    // Counts one change for every table written, then commits. On failure the transaction is
    // rolled back and EDatabaseError thrown.
    virtual void commit() = 0;
    virtual void rollback() = 0;
    // Reads of many statements that see the database as one commit left it, writing nothing
    // (not mixed with a write transaction). Throws EDatabaseError.
    virtual void beginSnapshot() = 0;
    virtual void endSnapshot() = 0;

    // --- change counters --------------------------------------------------------------------
    // The tables that other connections committed changes to since the last call (or the open).
    virtual QStringList changedTables() = 0;
    // Called as soon as the store learns that other connections committed changes, so that
    // changedTables is asked at once rather than at the next poll. The embedded store learns of
    // changes only when asked and never calls it.
    virtual void setChangeListener(std::function<void()>) { }

protected:
    explicit SqlStore(const Schema &schema);
    // Closes and forgets the connections named.
    static void removeConnection(QString *name);

    const Schema &m_schema;
    QString m_connection;
    bool m_inTransaction = false;
    QStringList m_written; // tables written in the open transaction, upper case
};

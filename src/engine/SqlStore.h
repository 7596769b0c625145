#pragma once

#include "engine/TableDef.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <functional>

// Where the data of a data directory is stored and how it is spoken to: the one SQLite database
// file in the directory, its connection, the SQL dialect (table and index names, column types),
// the write transactions and the per-table change counters. Above this class the SQL text is
// portable or comes from SqlDialect, and errors carry a neutral kind; a server database would
// take its place here.
//
// Each table of the table set is a table of the same name (the file names: "Quotes.DB", "INI"),
// with the fields in declared order and types that carry the field types ("ALPHA_TEXT(30)",
// "NUMBER_REAL", "MONEY_REAL", "NUMBER_MONEY_REAL", "DATE_TEXT" as yyyy-MM-dd, "MEMO_TEXT",
// "GRAPHIC_BLOB"), its primary key and its named indexes. SQLite keeps index names in one name
// space per database, so an index is stored as "<table>/<index>"; the table set keeps the names
// as declared. One more table, TQVChanges, counts the commits that wrote each table.
class SqlStore
{
public:
    static constexpr int applicationId = 0x54455353;
    // 3: text fields wider than in 2 (e-mail addresses, contact names). 4: indexes for the
    // price list's description search and the document lists of one client. A database of
    // format 2 or 3 is brought up to 4 when it is opened; other formats are refused.
    static constexpr int formatVersion = 4;
    static constexpr int oldestUpgradableFormatVersion = 2;
    static QString databaseFileName() { return QStringLiteral("Tessorin.db"); }
    static QString changesTable() { return QStringLiteral("TQVChanges"); }

    explicit SqlStore(const Schema &schema);
    ~SqlStore();
    SqlStore(const SqlStore &) = delete;
    SqlStore &operator=(const SqlStore &) = delete;

    // Connects to the database in directory. Creates nothing and changes nothing but an older
    // format's declarations (upgradeStoredTexts): a missing, damaged, foreign or locked database
    // throws EDatabaseError naming the file and what is wrong.
    void open(const QString &directory);
    void close();
    bool isOpen() const { return !m_connection.isEmpty(); }
    QString databasePath() const { return m_databasePath; }

    // Makes a new database for schema at path (which must not exist yet); fill, when given, adds
    // the first rows through the query in the same transaction. Throws EDatabaseError.
    static void create(const QString &path,
        const Schema &schema,
        const std::function<void(QSqlQuery &)> &fill = {});
    // What is wrong with the file at path as a database of ours, read from its header alone
    // (garbage, empty, another program's, another journal mode); empty when nothing is.
    static QString headerProblem(const QString &path);
    // Checks that the table is stored exactly as def declares it. Throws EDatabaseError.
    void validate(const TableDef &def);
    // Checks that the database holds nothing the schema does not declare: no trigger, view,
    // table or index of anyone else's (a copy brought in from outside could run code of its own
    // at every write). Throws EDatabaseError naming what it found.
    void validateNothingElse();
    // A consistent copy of the whole database at path (which must not exist), made while other
    // copies of the program may be writing. Throws EDatabaseError.
    void backup(const QString &path);
    // The same from the database file from to the new file to.
    static void copyDatabase(const QString &from, const QString &to);
    // What SQLite's own check finds wrong with the database; empty when it is sound.
    QStringList integrityProblems();

    // --- dialect ----------------------------------------------------------------------------
    static QString quoted(const QString &identifier); // "name" with inner quotes doubled
    static QString tableRef(const TableDef &def) { return quoted(def.fileName); }
    static QString storedIndexName(const TableDef &def, const IndexDef &index);
    static QString columnType(const FieldDef &field);
    static QStringList createStatements(const TableDef &def);

    // --- statements -------------------------------------------------------------------------
    QSqlDatabase connection() const;
    // A read-only connection for report queries, opened on first use.
    QSqlDatabase queryConnection();
    // Runs a prepared or given statement; a failure throws EDatabaseError with the kind of
    // refusal and context in front of the database's message.
    static void run(QSqlQuery &query, const QString &context);
    static void run(QSqlQuery &query, const QString &sql, const QString &context);

    // --- transactions -----------------------------------------------------------------------
    // Starts the write transaction (BEGIN IMMEDIATE): waits for other copies' writes to end.
    void begin();
    bool inTransaction() const { return m_inTransaction; }
    void noteWritten(const QString &table);
    // Counts one change for every table written, then commits. On failure the transaction is
    // rolled back and EDatabaseError thrown.
    void commit();
    void rollback();
    // Reads of many statements that see the database as one commit left it, writing nothing
    // (not mixed with a write transaction). Throws EDatabaseError.
    void beginSnapshot();
    void endSnapshot();

    // --- change counters --------------------------------------------------------------------
    // The tables that other connections committed changes to since the last call (or the open).
    // Cheap when nothing changed: one PRAGMA.
    QStringList changedTables();

private:
    // Widens, in one write transaction, every text field stored narrower than the table set
    // declares it, keeping every row (with its row id) and index, makes the look-up indexes
    // an older format lacks, and marks the database as of the current format. A table that
    // differs in any other way is left to validate().
    void upgradeStoredTexts();
    void rebuildTable(const TableDef &def);
    bool hasIndex(const QString &storedName);
    QList<std::pair<QString, QString>> storedFields(const TableDef &def);
    qint64 dataVersion();
    QHash<QString, qint64> readCounters();

    const Schema &m_schema;
    QString m_connection;
    QString m_queryConnection;
    QString m_databasePath;
    bool m_inTransaction = false;
    QStringList m_written;
    qint64 m_dataVersion = -1;
    bool m_committedSincePoll = false;
    QHash<QString, qint64> m_counters; // table name (upper case) -> commits seen
    QSqlQuery m_countChanges; // the commit's count of changes, prepared once per connection
};

#pragma once

#include "engine/SqlStore.h"

#include <QHash>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <functional>

// The data of a data directory in its one SQLite database file, Tessorin.db, shared with the
// other copies of the program through the file system: SQLite's file locks keep one write at a
// time, the record locks live in lock files beside it, and other copies' commits are found by
// polling the file's data version and the change counters.
//
// Column types carry the field types ("ALPHA_TEXT(30)", "NUMBER_REAL", "MONEY_REAL",
// "NUMBER_MONEY_REAL", "DATE_TEXT" as yyyy-MM-dd, "MEMO_TEXT", "GRAPHIC_BLOB"). The database is
// marked by its application id and its format by the user version.
class EmbeddedStore : public SqlStore
{
public:
    static QString databaseFileName() { return QStringLiteral("Tessorin.db"); }

    explicit EmbeddedStore(const Schema &schema);
    ~EmbeddedStore() override;

    // Connects to the database in directory. Creates nothing and changes nothing but an older
    // format's declarations (upgradeStoredTexts): a missing, damaged, foreign or locked database
    // throws EDatabaseError naming the file and what is wrong.
    void open(const QString &directory);
    void close() override;
    QString location() const override { return m_databasePath; }
    QString databasePath() const { return m_databasePath; }

    // Makes a new database for schema at path (which must not exist yet); fill, when given, adds
    // the first rows through the query in the same transaction. Throws EDatabaseError.
    static void create(const QString &path,
        const Schema &schema,
        const std::function<void(QSqlQuery &)> &fill = {});
    // What is wrong with the file at path as a database of ours, read from its header alone
    // (garbage, empty, another program's, another journal mode); empty when nothing is.
    static QString headerProblem(const QString &path);
    void validate(const TableDef &def) override;
    void validateNothingElse() override;
    void backup(const QString &path) override;
    // The same from the database file from to the new file to.
    static void copyDatabase(const QString &from, const QString &to);
    QStringList integrityProblems() override;

    static QString columnType(const FieldDef &field);
    static QStringList createStatements(const TableDef &def);
    // The kind of the failure of the query's last statement, from SQLite's result code.
    static EDatabaseError::Kind errorKind(const QSqlQuery &query);

    QSqlDatabase queryConnection() override;
    QString writeProblem(const QString &controlDirectory) const override;
    std::unique_ptr<RecordLocks> openLocks(const QString &controlDirectory) override;

    // Starts the write transaction (BEGIN IMMEDIATE): waits for other copies' writes to end.
    void begin() override;
    void commit() override;
    void rollback() override;
    void beginSnapshot() override;
    void endSnapshot() override;
    // Cheap when nothing changed: one PRAGMA.
    QStringList changedTables() override;

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

    QString m_queryConnection;
    QString m_databasePath;
    qint64 m_dataVersion = -1;
    bool m_committedSincePoll = false;
    QHash<QString, qint64> m_counters; // table name (upper case) -> commits seen
    QSqlQuery m_countChanges; // the commit's count of changes, prepared once per connection
};

#pragma once

#include "engine/RecordLocks.h"
#include "engine/SqlStore.h"
#include "engine/TableDef.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSqlDatabase>
#include <QStringList>

#include <functional>
#include <memory>

class TableView;

// The connection to a data directory: its one database (through SqlStore, which owns the
// connection, the SQL dialect, the transactions and the change counters), the record locks shared
// with the other copies of the program, and the user operations. Every user operation (a post,
// cancel, delete, edit or insert with all that its hooks do on other views) is one transaction:
// it commits whole or leaves nothing stored and every view it touched as it was.
//
// Lock order: a record lock is taken, and waited for, before the operation's write transaction
// starts. Once the transaction holds the database's write lock, a lock is only tried: waiting
// there would keep every other copy from saving, and a copy waiting for our write lock while
// holding the record we want would never let go. Locks taken inside an operation are let go of
// just before its commit, while the write lock still keeps every other copy out.
class TQVDatabase : public QObject
{
    Q_OBJECT

public:
    explicit TQVDatabase(QObject *parent = nullptr);
    ~TQVDatabase() override;

    void setDatabaseName(const QString &name) { m_databaseName = name; }
    QString databaseName() const { return m_databaseName; }
    void setDriverName(const QString &name) { m_driverName = name; }
    QString driverName() const { return m_driverName; }

    // Connection parameters "PATH=<directory>" and "DEFAULT DRIVER=<format>".
    QStringList &params() { return m_params; }
    const QStringList &params() const { return m_params; }
    QString path() const;

    // Where the lock-control files live; every copy sharing the data must use the same place.
    void setNetworkControlDirectory(const QString &directory) { m_controlDirectory = directory; }
    QString networkControlDirectory() const;

    void setSchema(const Schema *schema) { m_schema = schema; }
    const Schema *schema() const { return m_schema; }

    // Connects to the database in the directory of PATH. Throws EDatabaseError when the
    // directory or its database is missing, damaged, foreign or locked. Nothing in the directory
    // is created or changed by connecting.
    void open();
    void close();
    bool isConnected() const { return m_connected; }
    QString databasePath() const;
    // A consistent copy of the whole database at path, while other copies may be writing.
    void backup(const QString &path);

    // --- used by the views ---------------------------------------------------------------

    // The index of the table a table name refers to; checks the table is stored as declared.
    // Throws EDatabaseError naming the table when it is missing or damaged.
    int openFile(const QString &tableName);
    const TableDef &tableDef(int file) const;
    QString fileName(int file) const { return tableDef(file).fileName; }
    QString tableRef(int file) const; // the table's name as SQL text

    QSqlDatabase reader(int file);
    QSqlDatabase writer(int file); // only inside an operation: starts its write transaction
    // A write statement of the operation in the round trip of what the store still has to send
    // (the start of the write transaction, writes queued before): true when it ran, *row then the
    // first row it returned (empty when none). False otherwise: it is to run on writer(file).
    bool sendWrite(int file, const QString &sql, const QVariantList &values, QVariantList *row);
    // A write of the operation's open write transaction sent without waiting: apply gets the
    // first row it returned (empty when none) at the next round trip, before the operation ends;
    // its failure fails the operation there. False where the store cannot: it is to run now.
    bool queueWrite(int file,
        const QString &sql,
        const QVariantList &values,
        std::function<void(const QVariantList &)> apply);
    // A row id for a new record of file taken ahead by the store, for a queued insert; -1 when
    // none is at hand.
    qint64 takeRowid(int file);
    // Notes a write of file in the current operation: of the record rowid, or of any (anyRow).
    static constexpr qint64 anyRow = -1;
    void noteWritten(int file, qint64 rowid = anyRow);
    // Goes up with every write noted for file: a view that wrote a record knows it as stored
    // while no other write of the file came after its own.
    quint64 lastWriteOf(int file) const { return m_lastWrites.value(file); }
    // Goes up whenever file's data may have changed as this copy knows: its own writes, a
    // rollback, others' commits noticed, a connection made again. What was read from the file
    // holds while this stays.
    quint64 changeStampOf(int file) const;
    SqlStore &store() { return *m_store; }

    void registerView(TableView *view, int file);
    void unregisterView(TableView *view);

    // Operations: the outermost begin starts one, nested ones join it.
    void beginOperation(int starterFile = -1);
    void commitOperation();
    void abortOperation();
    bool inOperation() const { return m_depth > 0; }
    bool writing() const;
    void touch(TableView *view); // remembers the view's state for a rollback

    // Record locks; releases inside an operation take effect when it commits. Before the write
    // transaction a lock held by another copy is waited for (the given time); inside it, tried.
    static constexpr int recordLockWaitMs = 1500;
    // read, when given, asks for the record with the lock (RecordLocks::acquireWaiting).
    void acquireLock(int file, qint64 record, RecordLocks::ReadAtTake *read = nullptr);
    void acquireTableLock(int file, int timeoutMs);
    void releaseLock(int file, qint64 record);
    RecordLocks *locks();

    // Change notices: asks the database which tables other copies changed and calls the notices
    // registered for views of those tables.
    void setChangeNotice(TableView *view, std::function<void()> notice);
    void checkForChanges();

    // Bumped whenever data may have changed (own commits, rollbacks, others' commits noticed):
    // cached calculated values older than this are worked out again.
    quint64 generation() const { return m_generation; }

private:
    struct LockRef
    {
        int file;
        qint64 record;
        bool operator==(const LockRef &other) const
        {
            return file == other.file && record == other.record;
        }
        friend size_t qHash(const LockRef &lock, size_t seed = 0)
        {
            return qHashMulti(seed, lock.file, lock.record);
        }
    };

    // Connects the store again when its connection went outside a transaction.
    void reconnectIfLost();
    // Refuses a write outside an operation; connects again first where the connection went.
    void prepareWrite();
    void acquire(int file, qint64 record, int timeoutMs, RecordLocks::ReadAtTake *read = nullptr);
    void release(const LockRef &lock);
    void finishOperation(bool committed);

    QString m_databaseName;
    QString m_driverName;
    QStringList m_params;
    QString m_controlDirectory;
    const Schema *m_schema = nullptr;
    bool m_connected = false;
    std::unique_ptr<SqlStore> m_store;

    QList<bool> m_checked; // per table: validated
    QHash<TableView *, int> m_viewFiles;
    QHash<TableView *, std::function<void()>> m_notices;
    std::unique_ptr<RecordLocks> m_locks;

    int m_depth = 0;
    QList<int> m_written;
    QHash<int, QSet<qint64>> m_writtenRows; // by file: the records written, anyRow for any
    QHash<int, quint64> m_lastWrites; // by file, numbered across files and operations
    quint64 m_writeCount = 0;
    QHash<int, quint64> m_othersWrites; // by file, others' commits noticed, numbered as above
    quint64 m_everythingChanged = 0; // numbered as above
    struct Touched;
    QList<std::shared_ptr<Touched>> m_touched;
    QList<LockRef> m_acquired;
    QList<LockRef> m_pendingReleases;
    QHash<LockRef, int> m_provisional; // checked under the write lock, not recorded yet
    quint64 m_generation = 1;
};

// Holds a whole-table lock for a scope: taken (and waited for, when no write transaction is open)
// on construction, let go of when the scope ends, also when it ends by an exception.
class TableLock
{
public:
    TableLock(TQVDatabase *database, int file, int timeoutMs)
        : m_database(database)
        , m_file(file)
    {
        m_database->acquireTableLock(m_file, timeoutMs);
    }
    ~TableLock();
    TableLock(const TableLock &) = delete;
    TableLock &operator=(const TableLock &) = delete;

private:
    TQVDatabase *m_database;
    int m_file;
};

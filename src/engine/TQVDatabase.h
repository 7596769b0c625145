#pragma once

#include "engine/TableDef.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSqlDatabase>
#include <QStringList>

#include <functional>
#include <memory>

class RecordLocks;
class TableView;

// The connection to a data directory of table files. Files are opened on the connections of
// their writer groups; every user operation (a post, cancel, delete, edit or insert with all that
// its hooks do on other views) is one transaction across the files it writes: it commits whole or
// leaves nothing stored and every view it touched as it was.
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

    // Connects to the directory of PATH. Throws EDatabaseError when the directory is missing.
    // Nothing in the directory is created or changed by connecting.
    void open();
    void close();
    bool isConnected() const { return m_connected; }

    // --- used by the views ---------------------------------------------------------------

    // The index of the file a table name refers to; opens its group and checks the file.
    // Throws EDatabaseError naming the file when it is missing, damaged or locked.
    int openFile(const QString &tableName);
    const TableDef &tableDef(int file) const;
    QString filePath(int file) const;
    QString fileName(int file) const { return tableDef(file).fileName; }
    QString tableRef(int file) const; // "f<n>".data

    QSqlDatabase reader(int file);
    QSqlDatabase writer(int file); // only inside an operation
    void noteWritten(int file);

    void registerView(TableView *view, int file);
    void unregisterView(TableView *view);

    // Operations: the outermost begin starts one, nested ones join it. The file of the view that
    // starts an operation decides its writer group.
    void beginOperation(int starterFile = -1);
    void commitOperation();
    void abortOperation();
    bool inOperation() const { return m_depth > 0; }
    void touch(TableView *view); // remembers the view's state for a rollback

    // Record locks; releases inside an operation take effect when it commits.
    static constexpr int recordLockWaitMs = 1500;
    void acquireLock(int file, qint64 record);
    void acquireTableLock(int file, int timeoutMs);
    void releaseLock(int file, qint64 record);
    RecordLocks *locks();

    // Change notices: checks every watched file for commits by other connections and calls the
    // notices registered for a changed file.
    void setChangeNotice(TableView *view, std::function<void()> notice);
    void checkForChanges();

    // Bumped whenever data may have changed (own commits, rollbacks, others' commits noticed):
    // cached calculated values older than this are worked out again.
    quint64 generation() const { return m_generation; }

private:
    struct Connection
    {
        QString name;
        QList<int> files;
        bool inTransaction = false;
        int writer = -1; // the twin that writes a group of several files
    };
    struct File
    {
        const TableDef *def = nullptr;
        int home = -1; // connection index
        int solo = -1; // single-file connection for writes outside the operation's group
        bool checked = false;
        qint64 dataVersion = -1;
    };
    struct LockRef
    {
        int file;
        qint64 record;
    };

    void ensureFiles();
    int openConnection(const QList<int> &files, const QString &mainFile = {});
    int writerConnection(int connection);
    void checkFile(int file);
    void exec(int connection, const QString &sql);
    int connectionFor(int file, bool write);
    qint64 dataVersion(int file);
    void finishOperation(bool committed);

    QString m_databaseName;
    QString m_driverName;
    QStringList m_params;
    QString m_controlDirectory;
    const Schema *m_schema = nullptr;
    bool m_connected = false;

    QList<File> m_files;
    QList<Connection> m_connections;
    QHash<TableView *, int> m_viewFiles;
    QHash<TableView *, std::function<void()>> m_notices;
    std::unique_ptr<RecordLocks> m_locks;

    int m_depth = 0;
    int m_primaryConnection = -1;
    QList<int> m_transactions; // connections in transaction, in the order begun
    QList<int> m_written;
    struct Touched;
    QList<std::shared_ptr<Touched>> m_touched;
    QList<LockRef> m_acquired;
    QList<LockRef> m_pendingReleases;
    quint64 m_generation = 1;
};

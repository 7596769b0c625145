#include "engine/TQVDatabase.h"

#include "engine/Exception.h"
#include "engine/RecordLocks.h"
#include "engine/TableFile.h"
#include "engine/TableView.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUuid>

#include <algorithm>

struct TQVDatabase::Touched
{
    QPointer<TableView> view;
    std::shared_ptr<TableView::Snapshot> snapshot;
};

namespace {

QString paramValue(const QStringList &params, const QString &name)
{
    for (const QString &param : params) {
        const qsizetype equals = param.indexOf(u'=');
        if (equals > 0 && param.left(equals).trimmed().compare(name, Qt::CaseInsensitive) == 0)
            return param.mid(equals + 1).trimmed();
    }
    return {};
}

} // namespace

TQVDatabase::TQVDatabase(QObject *parent)
    : QObject(parent)
{ }

TQVDatabase::~TQVDatabase()
{
    close();
}

QString TQVDatabase::path() const
{
    return paramValue(m_params, QStringLiteral("PATH"));
}

QString TQVDatabase::networkControlDirectory() const
{
    return m_controlDirectory.isEmpty() ? path() : m_controlDirectory;
}

void TQVDatabase::open()
{
    if (m_connected)
        return;
    if (!m_schema)
        throw EDatabaseError(tr("No table set is defined for the database %1").arg(m_databaseName));
    const QString directory = path();
    if (directory.isEmpty())
        throw EDatabaseError(tr("The database %1 has no PATH").arg(m_databaseName));
    if (!QFileInfo(directory).isDir())
        throw EDatabaseError(
            tr("The data directory %1 does not exist").arg(QDir::toNativeSeparators(directory)));
    m_files.clear();
    for (const TableDef &def : m_schema->tables) {
        File file;
        file.def = &def;
        m_files << file;
    }
    m_connected = true;
}

void TQVDatabase::close()
{
    if (!m_connected)
        return;
    if (m_depth > 0) {
        m_depth = 1;
        abortOperation();
    }
    for (auto it = m_viewFiles.begin(); it != m_viewFiles.end(); ++it) {
        if (it.key())
            it.key()->invalidate();
    }
    for (const Connection &connection : std::as_const(m_connections)) {
        {
            QSqlDatabase db = QSqlDatabase::database(connection.name, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(connection.name);
    }
    m_connections.clear();
    m_files.clear();
    m_locks.reset();
    m_connected = false;
}

const TableDef &TQVDatabase::tableDef(int file) const
{
    return *m_files.at(file).def;
}

QString TQVDatabase::filePath(int file) const
{
    return QDir(path()).filePath(tableDef(file).fileName);
}

QString TQVDatabase::tableRef(int file) const
{
    return QStringLiteral("\"f%1\".data").arg(file);
}

int TQVDatabase::openFile(const QString &tableName)
{
    if (!m_connected)
        throw EDatabaseError(tr("The database %1 is not connected").arg(m_databaseName));
    const TableDef *def = m_schema->resolve(tableName);
    if (!def)
        throw EDatabaseError(tr("Table %1 does not exist").arg(tableName));
    const int file = int(def - m_schema->tables.constData());
    if (m_files[file].home < 0) {
        // The file's group: the first declared group that lists it, else the file alone.
        QList<int> members { file };
        for (const WriterGroup &group : m_schema->groups) {
            if (group.fileNames.contains(def->fileName, Qt::CaseInsensitive)) {
                members.clear();
                for (const QString &name : group.fileNames) {
                    const TableDef *member = m_schema->resolve(name);
                    if (member)
                        members << int(member - m_schema->tables.constData());
                }
                break;
            }
        }
        const int connection = openConnection(members);
        for (int member : std::as_const(members)) {
            if (m_files[member].home < 0)
                m_files[member].home = connection;
        }
    }
    checkFile(file);
    return file;
}

int TQVDatabase::openConnection(const QList<int> &files, const QString &mainFile)
{
    // Files attach in one order shared by every connection and every copy of the program, so
    // two transactions always take their file locks in the same order and never deadlock.
    QList<int> ordered = files;
    std::sort(ordered.begin(), ordered.end(), [this](int a, int b) {
        return tableDef(a).fileName.compare(tableDef(b).fileName, Qt::CaseInsensitive) < 0;
    });
    for (int file : std::as_const(ordered)) {
        const QString filePath = this->filePath(file);
        const QFileInfo info(filePath);
        if (!info.exists())
            throw EDatabaseError(
                tr("Table file %1 does not exist").arg(QDir::toNativeSeparators(filePath)));
        if (!info.isFile() || !info.isReadable())
            throw EDatabaseError(
                tr("Table file %1 cannot be read").arg(QDir::toNativeSeparators(filePath)));
    }
    Connection connection;
    connection.name = QStringLiteral("tqv-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    connection.files = ordered;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection.name);
    db.setDatabaseName(mainFile.isEmpty()
            ? QStringLiteral(":memory:")
            : QUrl::fromLocalFile(mainFile).toString(QUrl::FullyEncoded)
                + QStringLiteral("?mode=ro"));
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000;QSQLITE_OPEN_URI"));
    if (!db.open()) {
        const QString error = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection.name);
        throw EDatabaseError(tr("Cannot open the database: %1").arg(error));
    }
    const int index = int(m_connections.size());
    m_connections << connection;
    for (int file : std::as_const(ordered)) {
        QSqlQuery query(db);
        query.prepare(QStringLiteral("ATTACH DATABASE ? AS \"f%1\"").arg(file));
        query.addBindValue(QUrl::fromLocalFile(filePath(file)).toString(QUrl::FullyEncoded)
            + QStringLiteral("?mode=rw"));
        if (!query.exec()) {
            throw EDatabaseError(tr("Cannot open table file %1: %2")
                                     .arg(QDir::toNativeSeparators(filePath(file)),
                                         query.lastError().databaseText()));
        }
    }
    return index;
}

// SQLite commits several attached files atomically only through a super-journal, which it keeps
// beside the main database; with an in-memory main it commits the files one by one, and a crash
// between them leaves them disagreeing. So a group of several files writes through a twin
// connection whose main is an empty file in the data directory, opened read-only so that no
// transaction ever waits on it; it is made at the first write, so reading creates nothing.
int TQVDatabase::writerConnection(int connection)
{
    if (m_connections.at(connection).files.size() < 2)
        return connection;
    if (m_connections.at(connection).writer < 0) {
        const QString mainFile = QDir(path()).filePath(QStringLiteral("Tessorin.txn"));
        QFile file(mainFile);
        if (!file.exists() && !file.open(QIODevice::WriteOnly | QIODevice::Append))
            throw EDatabaseError(tr("Cannot create %1: %2")
                                     .arg(QDir::toNativeSeparators(mainFile), file.errorString()));
        file.close();
        const int twin = openConnection(m_connections.at(connection).files, mainFile);
        m_connections[connection].writer = twin;
    }
    return m_connections.at(connection).writer;
}

void TQVDatabase::checkFile(int file)
{
    File &info = m_files[file];
    if (info.checked)
        return;
    TableFile::validate(m_connections.at(info.home).name, QStringLiteral("f%1").arg(file),
        *info.def, filePath(file));
    info.checked = true;
    info.dataVersion = dataVersion(file);
}

QSqlDatabase TQVDatabase::reader(int file)
{
    return QSqlDatabase::database(m_connections.at(connectionFor(file, false)).name, false);
}

QSqlDatabase TQVDatabase::writer(int file)
{
    if (m_depth == 0)
        throw EDatabaseError(tr("Internal error: a write outside an operation"));
    return QSqlDatabase::database(m_connections.at(connectionFor(file, true)).name, false);
}

void TQVDatabase::exec(int connection, const QString &sql)
{
    QSqlQuery query(QSqlDatabase::database(m_connections.at(connection).name, false));
    if (!query.exec(sql))
        throw EDatabaseError(tr("%1 failed: %2").arg(sql, query.lastError().databaseText()));
    query.finish();
}

int TQVDatabase::connectionFor(int file, bool write)
{
    for (int connection : std::as_const(m_transactions)) {
        if (m_connections.at(connection).files.contains(file))
            return connection;
    }
    if (!write)
        return m_files.at(file).home;
    if (m_primaryConnection < 0)
        m_primaryConnection = m_files.at(file).home;
    int chosen = m_connections.at(m_primaryConnection).files.contains(file) ? m_primaryConnection
                                                                            : m_files.at(file).home;
    // A group that shares a file with a transaction already begun would wait on our own lock.
    auto overlaps = [this](int candidate) {
        for (int busy : std::as_const(m_transactions)) {
            for (int member : m_connections.at(candidate).files) {
                if (m_connections.at(busy).files.contains(member))
                    return true;
            }
        }
        return false;
    };
    if (overlaps(chosen)) {
        if (m_files.at(file).solo < 0)
            m_files[file].solo = openConnection({ file });
        chosen = m_files.at(file).solo;
    }
    chosen = writerConnection(chosen);
    exec(chosen, QStringLiteral("BEGIN IMMEDIATE"));
    m_connections[chosen].inTransaction = true;
    m_transactions << chosen;
    return chosen;
}

void TQVDatabase::noteWritten(int file)
{
    if (!m_written.contains(file))
        m_written << file;
}

void TQVDatabase::registerView(TableView *view, int file)
{
    m_viewFiles.insert(view, file);
}

void TQVDatabase::unregisterView(TableView *view)
{
    m_viewFiles.remove(view);
    m_notices.remove(view);
    for (auto &touched : m_touched) {
        if (touched->view == view)
            touched->view = nullptr;
    }
}

void TQVDatabase::beginOperation(int starterFile)
{
    if (m_depth++ == 0 && starterFile >= 0 && starterFile < m_files.size())
        m_primaryConnection = m_files.at(starterFile).home;
}

void TQVDatabase::touch(TableView *view)
{
    if (m_depth == 0)
        return;
    for (const auto &touched : std::as_const(m_touched)) {
        if (touched->view == view)
            return;
    }
    auto touched = std::make_shared<Touched>();
    touched->view = view;
    touched->snapshot = view->snapshot();
    m_touched << touched;
}

void TQVDatabase::commitOperation()
{
    if (m_depth == 0 || --m_depth > 0)
        return;
    try {
        for (int connection : std::as_const(m_transactions)) {
            exec(connection, QStringLiteral("COMMIT"));
            m_connections[connection].inTransaction = false;
        }
    } catch (const Exception &) {
        m_depth = 1;
        abortOperation();
        throw;
    }
    for (const LockRef &lock : std::as_const(m_pendingReleases)) {
        try {
            m_locks->release(fileName(lock.file), lock.record);
        } catch (const Exception &) {
            // The lock row goes when this copy ends; others see it as held until then.
        }
    }
    finishOperation(true);
}

void TQVDatabase::abortOperation()
{
    if (m_depth == 0 || --m_depth > 0)
        return;
    for (int connection : std::as_const(m_transactions)) {
        QSqlQuery query(QSqlDatabase::database(m_connections.at(connection).name, false));
        query.exec(QStringLiteral("ROLLBACK"));
        m_connections[connection].inTransaction = false;
    }
    // Locks taken during the operation go; those it meant to release stay with their views.
    for (const LockRef &lock : std::as_const(m_acquired)) {
        try {
            m_locks->release(fileName(lock.file), lock.record);
        } catch (const Exception &) { }
    }
    for (auto it = m_touched.crbegin(); it != m_touched.crend(); ++it) {
        if ((*it)->view)
            (*it)->view->restore(*(*it)->snapshot);
    }
    finishOperation(false);
}

void TQVDatabase::finishOperation(bool committed)
{
    const QList<int> written = m_written;
    m_transactions.clear();
    m_primaryConnection = -1;
    m_written.clear();
    m_touched.clear();
    m_acquired.clear();
    m_pendingReleases.clear();
    if (!written.isEmpty() || !committed)
        ++m_generation;
    // Every view of a written file reads it again; a view whose own change was rolled back too.
    const QHash<TableView *, int> views = m_viewFiles;
    for (auto it = views.cbegin(); it != views.cend(); ++it) {
        if (written.contains(it.value()) && m_viewFiles.contains(it.key()))
            it.key()->invalidate();
    }
    // Our own commits are not news to the change check of the file's home connection, except
    // where a file was written on another connection.
    for (int file : written) {
        try {
            m_files[file].dataVersion = dataVersion(file);
        } catch (const Exception &) { }
    }
}

RecordLocks *TQVDatabase::locks()
{
    if (!m_locks)
        m_locks = std::make_unique<RecordLocks>(networkControlDirectory());
    return m_locks.get();
}

void TQVDatabase::acquireLock(int file, qint64 record)
{
    // Another copy lets go of its locks a moment after its commit, so a lock is waited for
    // briefly before the user is told who holds it.
    locks()->acquireWaiting(fileName(file), record, recordLockWaitMs);
    if (m_depth > 0)
        m_acquired << LockRef { file, record };
}

void TQVDatabase::acquireTableLock(int file, int timeoutMs)
{
    locks()->acquireWaiting(fileName(file), RecordLocks::wholeTable, timeoutMs);
    if (m_depth > 0)
        m_acquired << LockRef { file, RecordLocks::wholeTable };
}

void TQVDatabase::releaseLock(int file, qint64 record)
{
    if (m_depth > 0) {
        m_pendingReleases << LockRef { file, record };
        return;
    }
    if (m_locks)
        m_locks->release(fileName(file), record);
}

void TQVDatabase::setChangeNotice(TableView *view, std::function<void()> notice)
{
    if (notice)
        m_notices.insert(view, std::move(notice));
    else
        m_notices.remove(view);
}

qint64 TQVDatabase::dataVersion(int file)
{
    QSqlQuery query(QSqlDatabase::database(m_connections.at(m_files.at(file).home).name, false));
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("PRAGMA \"f%1\".data_version").arg(file)) || !query.next())
        throw EDatabaseError(query.lastError().text());
    const qint64 version = query.value(0).toLongLong();
    query.finish();
    return version;
}

void TQVDatabase::checkForChanges()
{
    if (!m_connected || m_depth > 0)
        return;
    QList<int> changed;
    QSet<int> watched;
    for (auto it = m_notices.cbegin(); it != m_notices.cend(); ++it)
        watched.insert(m_viewFiles.value(it.key(), -1));
    for (int file : std::as_const(watched)) {
        if (file < 0 || !m_files.at(file).checked)
            continue;
        try {
            const qint64 version = dataVersion(file);
            if (version != m_files.at(file).dataVersion) {
                m_files[file].dataVersion = version;
                changed << file;
            }
        } catch (const Exception &) {
            // A busy file is checked again next time.
        }
    }
    if (changed.isEmpty())
        return;
    ++m_generation;
    const auto notices = m_notices;
    for (auto it = notices.cbegin(); it != notices.cend(); ++it) {
        if (changed.contains(m_viewFiles.value(it.key(), -1)))
            it.value()();
    }
}

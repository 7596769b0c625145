#include "engine/TQVDatabase.h"

#include "engine/Exception.h"
#include "engine/RecordLocks.h"
#include "engine/TableView.h"

#include <QDir>
#include <QFileInfo>

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

TableLock::~TableLock()
{
    try {
        m_database->releaseLock(m_file, RecordLocks::wholeTable);
    } catch (const Exception &) {
        // The lock row goes when this copy ends; others see it as held until then.
    }
}

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

QString TQVDatabase::databasePath() const
{
    return m_store ? m_store->location() : QString();
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
    std::unique_ptr<SqlStore> store = SqlStore::connect(*m_schema, directory);
    const QString problem = store->writeProblem(networkControlDirectory());
    if (!problem.isEmpty())
        throw EDatabaseError(problem);
    m_store = std::move(store);
    // A store that hears of others' commits has them checked at once.
    m_store->setChangeListener([this] { checkForChanges(); });
    m_checked = QList<bool>(m_schema->tables.size(), false);
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
    // The locks first: a server's are kept by the store's connection.
    m_locks.reset();
    m_store.reset();
    m_checked.clear();
    m_connected = false;
}

void TQVDatabase::backup(const QString &path)
{
    if (!m_connected)
        throw EDatabaseError(tr("The database %1 is not connected").arg(m_databaseName));
    m_store->backup(path);
}

const TableDef &TQVDatabase::tableDef(int file) const
{
    return m_schema->tables.at(file);
}

QString TQVDatabase::tableRef(int file) const
{
    return SqlStore::tableRef(tableDef(file));
}

int TQVDatabase::openFile(const QString &tableName)
{
    if (!m_connected)
        throw EDatabaseError(tr("The database %1 is not connected").arg(m_databaseName));
    const TableDef *def = m_schema->resolve(tableName);
    if (!def)
        throw EDatabaseError(tr("Table %1 does not exist").arg(tableName));
    const int file = int(def - m_schema->tables.constData());
    if (!m_checked.at(file)) {
        m_store->validate(*def);
        m_checked[file] = true;
    }
    return file;
}

void TQVDatabase::reconnectIfLost()
{
    if (!m_store->connectionLost())
        return;
    // The record locks went with the old session; the views that held them find them gone
    // before they post.
    m_locks.reset();
    m_store->reconnect();
    ++m_generation;
    m_everythingChanged = ++m_writeCount;
}

QSqlDatabase TQVDatabase::reader(int)
{
    reconnectIfLost();
    m_store->settle(); // writes sent ahead are read before any statement of the driver
    return m_store->connection();
}

void TQVDatabase::prepareWrite()
{
    if (m_depth == 0)
        throw EDatabaseError(tr("Internal error: a write outside an operation"));
    if (!writing())
        reconnectIfLost();
}

QSqlDatabase TQVDatabase::writer(int)
{
    prepareWrite();
    m_store->begin();
    m_store->settle();
    return m_store->connection();
}

bool TQVDatabase::sendWrite(
    int file, const QString &sql, const QVariantList &values, QVariantList *row)
{
    prepareWrite();
    return m_store->sendWrite(sql, values, fileName(file), row);
}

bool TQVDatabase::queueWrite(int file,
    const QString &sql,
    const QVariantList &values,
    std::function<void(const QVariantList &)> apply)
{
    return m_depth > 0 && writing()
        && m_store->queueWrite(sql, values, fileName(file), std::move(apply));
}

qint64 TQVDatabase::takeRowid(int file)
{
    return m_depth > 0 && writing() ? m_store->takeRowid(fileName(file)) : -1;
}

bool TQVDatabase::writing() const
{
    return m_store && m_store->inTransaction();
}

quint64 TQVDatabase::changeStampOf(int file) const
{
    return std::max({ m_lastWrites.value(file), m_othersWrites.value(file), m_everythingChanged });
}

void TQVDatabase::noteWritten(int file, qint64 rowid)
{
    m_writtenRows[file].insert(rowid);
    m_lastWrites[file] = ++m_writeCount;
    if (!m_written.contains(file))
        m_written << file;
    m_store->noteWritten(fileName(file));
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

void TQVDatabase::beginOperation(int)
{
    ++m_depth;
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

void TQVDatabase::release(const LockRef &lock)
{
    if (!m_locks)
        return; // they went with a lost connection
    try {
        m_locks->release(fileName(lock.file), lock.record);
    } catch (const Exception &) {
        // The lock row goes when this copy ends; others see it as held until then.
    }
}

void TQVDatabase::commitOperation()
{
    if (m_depth == 0)
        return;
    if (m_depth > 1) {
        --m_depth;
        return;
    }
    // Locks only checked inside the write transaction that views still hold are recorded now, as
    // long as the write lock keeps every other copy out. A refusal leaves the operation open: its
    // scope rolls it back.
    for (auto it = m_provisional.begin(); it != m_provisional.end();) {
        for (int i = 0; i < it.value(); ++i) {
            locks()->acquire(fileName(it.key().file), it.key().record);
            m_acquired << it.key();
        }
        it = m_provisional.erase(it);
    }
    // Locks taken and given back inside the operation go while the write lock keeps every other
    // copy out, so no copy that gets the write lock after us finds them still held.
    QList<LockRef> afterCommit;
    for (const LockRef &lock : std::as_const(m_pendingReleases)) {
        if (m_acquired.contains(lock)) {
            release(lock);
            m_acquired.removeOne(lock);
        } else {
            afterCommit << lock;
        }
    }
    // What a lock taken before the operation protected is written only while the lock is still
    // this copy's: a server's lock goes with a dropped connection, and another copy may have
    // taken the record since. A connection found lost gives up its locks (reconnectIfLost), so
    // a lock still counted was taken in the session this transaction runs in; should that
    // session end before the commit, the commit fails with it. The refusal leaves the operation
    // open: its scope rolls it back.
    if (!m_written.isEmpty()) {
        for (const LockRef &lock : std::as_const(afterCommit)) {
            if (!m_locks || !m_locks->holds(fileName(lock.file), lock.record))
                throw EDatabaseError(
                    tr("%1: The lock on the record was lost with the connection to the database; "
                       "the change was not saved")
                        .arg(fileName(lock.file)),
                    EDatabaseError::Kind::LostConnection);
        }
    }
    m_pendingReleases.clear();
    // A commit that throws leaves the transaction open and the locks held: the scope rolls it back.
    const auto commit = [this] {
        m_store->commit();
        m_depth = 0;
    };
    if (afterCommit.isEmpty() || !m_locks) {
        commit();
    } else {
        QList<std::pair<QString, qint64>> locks;
        for (const LockRef &lock : std::as_const(afterCommit))
            locks.append({ fileName(lock.file), lock.record });
        m_locks->releaseAfter(commit, locks);
    }
    finishOperation(true);
}

void TQVDatabase::abortOperation()
{
    if (m_depth == 0 || --m_depth > 0)
        return;
    if (m_store)
        m_store->rollback();
    // Locks taken during the operation go; those it meant to release stay with their views.
    for (const LockRef &lock : std::as_const(m_acquired))
        release(lock);
    for (auto it = m_touched.crbegin(); it != m_touched.crend(); ++it) {
        if ((*it)->view)
            (*it)->view->restore(*(*it)->snapshot);
    }
    finishOperation(false);
}

void TQVDatabase::finishOperation(bool committed)
{
    const QList<int> written = m_written;
    m_written.clear();
    const QHash<int, QSet<qint64>> writtenRows = std::exchange(m_writtenRows, {});
    m_touched.clear();
    m_acquired.clear();
    m_pendingReleases.clear();
    m_provisional.clear();
    if (!written.isEmpty() || !committed)
        ++m_generation;
    if (!committed)
        m_everythingChanged = ++m_writeCount;
    // Every view of a written table reads it again; a view whose own change was rolled back too.
    // After a commit a view learns which of its records the operation wrote.
    const QHash<TableView *, int> views = m_viewFiles;
    for (auto it = views.cbegin(); it != views.cend(); ++it) {
        if (!written.contains(it.value()) || !m_viewFiles.contains(it.key()))
            continue;
        const auto rows = writtenRows.constFind(it.value());
        if (committed && rows != writtenRows.cend())
            it.key()->invalidate(*rows);
        else
            it.key()->invalidate();
    }
}

RecordLocks *TQVDatabase::locks()
{
    if (!m_locks)
        m_locks = m_store->openLocks(networkControlDirectory());
    return m_locks.get();
}

void TQVDatabase::acquire(int file, qint64 record, int timeoutMs, RecordLocks::ReadAtTake *read)
{
    const LockRef lock { file, record };
    if (writing()) {
        // Under the write lock nothing is waited for. No other copy can take a lock that needs
        // the database meanwhile, so a lock that is not held elsewhere is only noted here and
        // written to the lock-control file at the commit if a view still holds it then.
        if (!locks()->holds(fileName(file), record)) {
            locks()->check(fileName(file), record);
            ++m_provisional[lock];
            return;
        }
        locks()->acquire(fileName(file), record);
    } else {
        locks()->acquireWaiting(fileName(file), record, timeoutMs, read);
    }
    if (m_depth > 0)
        m_acquired << lock;
}

void TQVDatabase::acquireLock(int file, qint64 record, RecordLocks::ReadAtTake *read)
{
    // Another copy lets go of its locks a moment after its commit, so a lock is waited for
    // briefly before the user is told who holds it.
    acquire(file, record, recordLockWaitMs, read);
}

void TQVDatabase::acquireTableLock(int file, int timeoutMs)
{
    acquire(file, RecordLocks::wholeTable, timeoutMs);
}

void TQVDatabase::releaseLock(int file, qint64 record)
{
    const auto provisional = m_provisional.find(LockRef { file, record });
    if (provisional != m_provisional.end()) {
        if (--provisional.value() == 0)
            m_provisional.erase(provisional);
        return;
    }
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

void TQVDatabase::checkForChanges()
{
    if (!m_connected || m_depth > 0 || m_notices.isEmpty())
        return;
    QStringList changedTables;
    try {
        changedTables = m_store->changedTables();
    } catch (const Exception &) {
        return; // a busy database is asked again next time
    }
    if (changedTables.isEmpty())
        return;
    QSet<int> changed;
    for (const QString &table : std::as_const(changedTables)) {
        if (const TableDef *def = m_schema->resolve(table)) {
            const int file = int(def - m_schema->tables.constData());
            changed.insert(file);
            m_othersWrites[file] = ++m_writeCount;
        }
    }
    ++m_generation;
    const auto notices = m_notices;
    for (auto it = notices.cbegin(); it != notices.cend(); ++it) {
        if (m_notices.contains(it.key()) && changed.contains(m_viewFiles.value(it.key(), -1)))
            it.value()();
    }
}

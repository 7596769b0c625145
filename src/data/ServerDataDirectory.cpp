#include "data/ServerDataDirectory.h"

#include "data/DataDirectory.h"
#include "data/Errors.h"
#include "data/ServerTransfer.h"
#include "data/TableSchema.h"
#include "engine/EmbeddedStore.h"
#include "engine/FileRecordLocks.h"
#include "engine/LockFile.h"
#include "engine/LockSessions.h"
#include "engine/PreviousVersionLocks.h"
#include "engine/ServerConnection.h"
#include "engine/ServerSchema.h"
#include "engine/ServerSchemaCheck.h"
#include "engine/ServerStore.h"
#include "engine/SharedFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

#include <functional>

using namespace Qt::Literals::StringLiterals;

namespace {

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Removes, best effort, everything ServerSchema made in the database of server: what a failed
// creation left behind in a database that was empty before it.
void dropServerTables(const ServerConnection &server, const Schema &schema)
{
    const QString name = u"tessorin-drop-"_s + QUuid::createUuid().toString(QUuid::Id128);
    try {
        QSqlDatabase db = server.open(name);
        QSqlQuery query(db);
        query.exec(u"BEGIN"_s);
        for (const TableDef &def : schema.tables)
            query.exec(u"DROP TABLE IF EXISTS %1"_s.arg(SqlStore::tableRef(def)));
        for (const QString &table :
            { ServerSchema::formatTable(), SqlStore::changesTable(), u"TQVSessions"_s })
            query.exec(u"DROP TABLE IF EXISTS %1"_s.arg(SqlStore::quoted(table)));
        query.exec(u"DROP FUNCTION IF EXISTS %1()"_s.arg(ServerSchema::changeFunction()));
        for (const ServerSchema::Domain &domain : ServerSchema::domains())
            query.exec(u"DROP DOMAIN IF EXISTS %1"_s.arg(domain.name));
        query.exec(u"COMMIT"_s);
        query.finish();
        db.close();
    } catch (const Exception &) {
        // The server went: there is nothing more to do from here.
    }
    QSqlDatabase::removeDatabase(name);
}

// Refuses, before anything is made, a server database that is not empty, saying what it holds in
// a few words: the data of this program (which attach is for), or a few things of someone else's.
void refuseOccupiedDatabase(const ServerConnection &server)
{
    const QString name = u"tessorin-probe-"_s + QUuid::createUuid().toString(QUuid::Id128);
    QStringList found;
    QString failure;
    {
        QSqlDatabase db = server.open(name);
        try {
            found = ServerSchemaCheck::everythingFound(db, server.serverName());
        } catch (const Exception &error) {
            failure = error.message();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!failure.isEmpty())
        throw EDataDirectory(failure);
    if (found.isEmpty())
        return;
    const QString format = SqlStore::quoted(ServerSchema::formatTable());
    if (found.contains(u"table "_s + format)) {
        throw EDataDirectory(
            u"The database %1 is not empty: it already holds the data of this "
            "program. To use it from another computer, make a data directory "
            "for it with \"tessorin-data attach DIR URL\""_s.arg(server.serverName()));
    }
    constexpr int named = 5;
    throw EDataDirectory(
        u"The database %1 is not empty: it holds %2%3. Give an empty database"_s.arg(
            server.serverName(), found.mid(0, named).join(u", "_s),
            found.size() > named ? u" and %1 more"_s.arg(found.size() - named) : QString()));
}

// The accounts and computers of the copies of the program that have directory open, as its lock
// file tells: each running copy holds its slot there. Without a lock file no copy runs.
QStringList copiesUsing(const QString &directory)
{
    const QString path = QDir(directory).filePath(FileRecordLocks::lockFileName());
    if (!QFileInfo::exists(path))
        return {};
    const LockFile file(path, u"The lock file"_s);
    QStringList copies;
    for (const LockSessions::Session &session : LockSessions::running(file)) {
        copies << (session.user.isEmpty() ? u"a copy whose user cannot be read"_s
                                          : u"%1 on %2"_s.arg(session.user, session.host));
    }
    return copies;
}

// A copy of the previous version keeps its locks elsewhere and would go on writing the moved
// file: it is looked for too.
void refuseInUse(const QString &directory)
{
    const QStringList copies = copiesUsing(directory);
    if (!copies.isEmpty()) {
        throw EDataDirectory(
            u"Refusing to move %1 to a server: the program has it open (%2). "
            "Close every copy of the program first"_s.arg(native(directory), copies.join(u", "_s)));
    }
    const QString old = PreviousVersionLocks::runningCopy(directory);
    if (!old.isEmpty()) {
        throw EDataDirectory(u"Refusing to move %1 to a server: a copy of the previous version of "
                             "the program has it open (%2). Close it first"_s.arg(
                                 native(directory), old));
    }
}

// A data directory's new Tessorin.server and the server database behind it, undone when the
// switch does not complete: the file is written first under a name of its own, the database is
// made, then the file takes its name.
class ServerSwitch
{
public:
    ServerSwitch(QDir dir, const ServerConnection &server)
        : m_dir(std::move(dir))
        , m_server(server)
    { }
    ~ServerSwitch()
    {
        if (m_committed)
            return;
        QFile::remove(staging());
        if (m_named)
            QFile::remove(target());
        if (m_madeDatabase)
            dropServerTables(m_server, tessorinSchema());
    }
    ServerSwitch(const ServerSwitch &) = delete;
    ServerSwitch &operator=(const ServerSwitch &) = delete;

    void writeFile()
    {
        if (!SharedFolder::createFile(staging()))
            throw EDataDirectory(u"Cannot create %1"_s.arg(native(staging())));
        QFile file(staging());
        const QByteArray text = serverFileText(m_server).toUtf8();
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(text) != text.size() || !file.flush())
            throw EDataDirectory(
                u"Cannot write %1: %2"_s.arg(native(staging()), file.errorString()));
    }
    // make fills the server database: a failure after it removes what it made.
    void makeDatabase(const std::function<void()> &make)
    {
        make();
        m_madeDatabase = true;
    }
    void nameFile()
    {
        if (!QFile::rename(staging(), target()))
            throw EDataDirectory(u"Cannot create %1"_s.arg(native(target())));
        m_named = true;
    }
    void commit() { m_committed = true; }

private:
    QString target() const { return m_dir.filePath(ServerConnection::fileName()); }
    QString staging() const { return target() + u".new"_s; }

    QDir m_dir;
    const ServerConnection &m_server;
    bool m_madeDatabase = false;
    bool m_named = false;
    bool m_committed = false;
};

// A new data directory at path for server, whose database make fills; all or nothing.
void makeServerDirectory(
    const QString &path, const ServerConnection &server, const std::function<void()> &make)
{
    bool createdDir = false;
    const QDir dir = prepareNewDataDirectory(path, &createdDir);
    struct RemoveMadeDirectory
    {
        QDir dir;
        bool made;
        bool keep = false;
        ~RemoveMadeDirectory()
        {
            if (made && !keep)
                dir.rmdir(dir.absolutePath());
        }
    } removeDir { dir, createdDir };
    {
        ServerSwitch change(dir, server);
        change.writeFile();
        change.makeDatabase(make);
        change.nameFile();
        checkDatabase(dir.path()); // a directory reported as made is one the program can open
        change.commit();
    }
    removeDir.keep = true;
}

// Opens the embedded database of directory, checked as a restore checks what it brings in: every
// table as declared, nothing undeclared, the database's own check clean.
void openSoundEmbedded(EmbeddedStore &store, const QString &directory)
{
    store.open(directory);
    checkTables(store);
    const QStringList problems = store.integrityProblems();
    if (!problems.isEmpty())
        throw EDataDirectory(u"The database is damaged: %1"_s.arg(problems.join(u"; "_s)));
}

} // namespace

QString movedDatabaseFileName()
{
    return EmbeddedStore::databaseFileName() + u".moved"_s;
}

QString serverFileText(const ServerConnection &server)
{
    QString text = u"# The server holding this data directory's data (libpq connection keywords).\n"
                   "# Passwords belong in each user's ~/.pgpass or ~/.pg_service.conf.\n"_s;
    return text + keywordText(server.keywords());
}

QString keywordText(const QList<ServerConnection::Keyword> &keywords)
{
    QString text;
    for (const auto &[keyword, value] : keywords) {
        QString escaped = value;
        escaped.replace(u"\\"_s, u"\\\\"_s).replace(u"'"_s, u"\\'"_s);
        text += keyword + u"='"_s + escaped + u"'\n"_s;
    }
    return text;
}

void createServerDataDirectory(const QString &path, const ServerConnection &server)
{
    refuseOccupiedDatabase(server);
    makeServerDirectory(
        path, server, [&] { ServerStore::create(server, tessorinSchema(), insertFirstRows); });
}

void attachServerDataDirectory(const QString &path, const ServerConnection &server)
{
    {
        ServerStore store(tessorinSchema());
        store.open(server);
        checkTables(store);
        const QStringList problems = store.integrityProblems();
        if (!problems.isEmpty())
            throw EDataDirectory(u"The database %1 is damaged: %2"_s.arg(
                server.serverName(), problems.join(u"; "_s)));
    }
    bool createdDir = false;
    const QDir dir = prepareNewDataDirectory(path, &createdDir);
    try {
        ServerSwitch change(dir, server);
        change.writeFile();
        change.nameFile();
        checkDatabase(dir.path());
        change.commit();
    } catch (...) {
        if (createdDir)
            QDir().rmdir(dir.absolutePath());
        throw;
    }
}

void restoreDataDirectoryToServer(
    const QString &databaseFile, const QString &path, const ServerConnection &server)
{
    if (!QFileInfo(databaseFile).isFile())
        throw EDataDirectory(u"%1 is not a file"_s.arg(native(databaseFile)));
    const QString problem = EmbeddedStore::headerProblem(databaseFile);
    if (!problem.isEmpty())
        throw EDataDirectory(u"%1 %2"_s.arg(native(databaseFile), problem));
    refuseOccupiedDatabase(server);
    // The copy is checked and read where nothing else opens it.
    QTemporaryDir work(QDir::tempPath() + u"/tessorin-restore-XXXXXX"_s);
    if (!work.isValid())
        throw EDataDirectory(u"Cannot make a temporary directory: %1"_s.arg(work.errorString()));
    EmbeddedStore::copyDatabase(databaseFile, work.filePath(EmbeddedStore::databaseFileName()));
    EmbeddedStore source(tessorinSchema());
    openSoundEmbedded(source, work.path());
    source.beginSnapshot();
    struct EndRead
    {
        SqlStore &store;
        ~EndRead() { store.endSnapshot(); }
    } endRead { source };
    makeServerDirectory(
        path, server, [&] { ServerTransfer::copy(source.connection(), tessorinSchema(), server); });
}

void moveDataDirectoryToServer(const QString &path, const ServerConnection &server)
{
    const QDir dir(path);
    if (!QFileInfo(path).isDir())
        throw EDataDirectory(u"%1 is not a directory"_s.arg(native(path)));
    const QString database = dir.filePath(EmbeddedStore::databaseFileName());
    const QString moved = dir.filePath(movedDatabaseFileName());
    if (QFileInfo::exists(dir.filePath(ServerConnection::fileName())))
        throw EDataDirectory(
            u"%1 already names a server (%2)"_s.arg(native(path), ServerConnection::fileName()));
    if (!QFileInfo(database).isFile())
        throw EDataDirectory(u"%1 is missing"_s.arg(native(database)));
    if (QFileInfo::exists(moved))
        throw EDataDirectory(u"Refusing to move %1 to a server: %2 is in the way of keeping the "
                             "database under that name"_s.arg(native(path), native(moved)));
    refuseInUse(path);
    refuseOccupiedDatabase(server);

    EmbeddedStore source(tessorinSchema());
    openSoundEmbedded(source, path);
    // The write transaction keeps other copies from writing while the data is copied.
    source.begin();
    struct EndWrite
    {
        SqlStore &store;
        ~EndWrite()
        {
            if (store.inTransaction())
                store.rollback();
        }
    } endWrite { source };

    ServerSwitch change(dir, server);
    change.writeFile();
    change.makeDatabase(
        [&] { ServerTransfer::copy(source.connection(), tessorinSchema(), server); });
    refuseInUse(path); // a copy that started meanwhile would go on writing the old file
    source.rollback();
    source.close();
    if (!QFile::rename(database, moved))
        throw EDataDirectory(u"Cannot rename %1 to %2"_s.arg(native(database), native(moved)));
    try {
        change.nameFile();
        checkDatabase(path);
    } catch (...) {
        QFile::rename(moved, database);
        throw;
    }
    change.commit();
}

#include "data/DataDirectory.h"

#include "data/DataModuleMain.h"
#include "data/Errors.h"
#include "data/TableSchema.h"
#include "engine/EmbeddedStore.h"
#include "engine/ServerConnection.h"
#include "engine/SharedFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

using namespace Qt::Literals::StringLiterals;

namespace {

// A journal left beside a database would be played back into the new one, so it counts too; so
// do the table files of an older data directory and the address of a server.
bool looksLikeTableFile(const QString &entry, const Schema &schema)
{
    const QString name = entry.toLower();
    if (name.endsWith(u".db") || name.contains(u".db-")
        || name.startsWith(ServerConnection::fileName().toLower()))
        return true;
    for (const TableDef &table : schema.tables) {
        const QString fileName = table.fileName.toLower();
        if (name == fileName || name.startsWith(fileName + u'-'))
            return true;
    }
    return false;
}

void refuseOccupied(const QDir &dir, const Schema &schema)
{
    QStringList found;
    const QStringList entries = dir.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &entry : entries) {
        if (looksLikeTableFile(entry, schema))
            found << entry;
    }
    if (!found.isEmpty()) {
        throw EDataDirectory(u"Refusing to create a data directory in %1: it already holds table "
                             "files (%2). Give a new or empty directory."_s.arg(
                                 QDir::toNativeSeparators(dir.path()), found.join(u", "_s)));
    }
}

// Removes what a failed creation made, and only that.
class CreationRollback
{
public:
    CreationRollback(QDir dir, bool createdDir)
        : m_dir(std::move(dir))
        , m_createdDir(createdDir)
    { }
    ~CreationRollback()
    {
        if (m_committed)
            return;
        for (const QString &name : std::as_const(m_files)) {
            QFile::remove(m_dir.filePath(name));
            QFile::remove(m_dir.filePath(name + u"-journal"_s));
        }
        if (m_createdDir)
            m_dir.rmdir(m_dir.absolutePath());
    }
    CreationRollback(const CreationRollback &) = delete;
    CreationRollback &operator=(const CreationRollback &) = delete;

    void addFile(const QString &name) { m_files << name; }
    void commit() { m_committed = true; }

private:
    QDir m_dir;
    bool m_createdDir;
    QStringList m_files;
    bool m_committed = false;
};

} // namespace

void insertFirstRows(QSqlQuery &query)
{
    query.prepare(u"INSERT INTO \"PKey.DB\" (\"PrimaryKey\", \"CurrentKey\") VALUES (1, 0)"_s);
    SqlStore::run(query, u"PKey.DB"_s);
}

QDir prepareNewDataDirectory(const QString &path, bool *createdDir)
{
    const Schema &schema = tessorinSchema();
    const QFileInfo info(path);
    if (info.exists() && !info.isDir()) {
        throw EDataDirectory(u"Cannot create a data directory at %1: it is a file"_s.arg(
            QDir::toNativeSeparators(path)));
    }
    *createdDir = !info.exists();
    QDir dir(path);
    if (*createdDir && !QDir().mkpath(path)) {
        throw EDataDirectory(
            u"Cannot create the directory %1"_s.arg(QDir::toNativeSeparators(path)));
    }
    if (*createdDir)
        SharedFolder::adoptDirectory(path); // a data directory in a shared folder is shared too
    if (!*createdDir)
        refuseOccupied(dir, schema);
    return dir;
}

void checkTables(SqlStore &store)
{
    for (const TableDef &table : tessorinSchema().tables)
        store.validate(table);
    store.validateNothingElse();
}

void checkDatabase(const QString &directory)
{
    const std::unique_ptr<SqlStore> store = SqlStore::connect(tessorinSchema(), directory);
    checkTables(*store);
}

void createDataDirectory(const QString &path)
{
    bool createdDir = false;
    const QDir dir = prepareNewDataDirectory(path, &createdDir);
    CreationRollback rollback(dir, createdDir);
    // The database is made under a name of its own and renamed when it is whole, so a
    // directory never holds half a database under the name the program opens.
    const QString staging = EmbeddedStore::databaseFileName() + u".new"_s;
    rollback.addFile(staging);
    rollback.addFile(EmbeddedStore::databaseFileName());
    EmbeddedStore::create(dir.filePath(staging), tessorinSchema(), insertFirstRows);
    if (!QFile::rename(dir.filePath(staging), dir.filePath(EmbeddedStore::databaseFileName())))
        throw EDataDirectory(u"Cannot create %1"_s.arg(
            QDir::toNativeSeparators(dir.filePath(EmbeddedStore::databaseFileName()))));
    checkDatabase(dir.path()); // a directory reported as made is one the program can open
    rollback.commit();
}

void requireUsableDataDirectory(const QString &path)
{
    TDM dm;
    QString failure;
    dm.startupFailure = [&failure](const QString &message) { failure = message; };
    dm.requestTermination = [] {};
    dm.setDataDirectory(path);
    dm.DMCreate();
    if (!dm.isConnected())
        throw EDataDirectory(failure);
}

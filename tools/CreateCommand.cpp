#include "CreateCommand.h"

#include "DataCommand.h"
#include "data/TableSchema.h"
#include "engine/TableFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextStream>
#include <QUuid>

using namespace Qt::Literals::StringLiterals;

namespace {

// A short-lived connection to one table file, closed and unregistered when it goes.
class FileConnection
{
public:
    explicit FileConnection(const QString &path)
        : m_name(u"tessorin-data-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces))
        , m_path(path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
        db.setDatabaseName(path);
        if (!db.open())
            fail(db.lastError().text());
    }
    ~FileConnection()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    FileConnection(const FileConnection &) = delete;
    FileConnection &operator=(const FileConnection &) = delete;

    const QString &name() const { return m_name; }

    void exec(QSqlQuery &query) const
    {
        if (!query.exec())
            fail(query.lastError().text());
        query.finish();
    }

    [[noreturn]] void fail(const QString &why) const
    {
        throw DataToolError(u"Cannot write %1: %2"_s.arg(QFileInfo(m_path).fileName(), why));
    }

private:
    QString m_name;
    QString m_path;
};

// A journal left beside a table file would be played back into the new file, so it counts too.
bool looksLikeTableFile(const QString &entry, const Schema &schema)
{
    const QString name = entry.toLower();
    if (name.endsWith(u".db") || name.contains(u".db-"))
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
        throw DataToolError(u"Refusing to create a data directory in %1: it already holds table "
                            "files (%2). Give a new or empty directory."_s.arg(
                                QDir::toNativeSeparators(dir.path()), found.join(u", "_s)));
    }
}

void insertKeyCounter(const QString &path)
{
    FileConnection connection(path);
    QSqlQuery query(QSqlDatabase::database(connection.name(), false));
    query.prepare(u"BEGIN IMMEDIATE"_s);
    connection.exec(query);
    query.prepare(u"INSERT INTO data (\"PrimaryKey\", \"CurrentKey\") VALUES (?, ?)"_s);
    query.addBindValue(1.0);
    query.addBindValue(0.0);
    connection.exec(query);
    query.prepare(u"COMMIT"_s);
    connection.exec(query);
}

// Reads every file back, so a directory reported as made is one the program can open.
void validateAll(const QDir &dir, const Schema &schema)
{
    for (const TableDef &table : schema.tables) {
        const QString path = dir.filePath(table.fileName);
        FileConnection connection(path);
        TableFile::validate(connection.name(), u"main"_s, table, path);
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

void createDataDirectory(const QString &path)
{
    const Schema &schema = tessorinSchema();
    const QFileInfo info(path);
    if (info.exists() && !info.isDir()) {
        throw DataToolError(u"Cannot create a data directory at %1: it is a file"_s.arg(
            QDir::toNativeSeparators(path)));
    }
    const bool createdDir = !info.exists();
    QDir dir(path);
    if (createdDir && !QDir().mkpath(path)) {
        throw DataToolError(
            u"Cannot create the directory %1"_s.arg(QDir::toNativeSeparators(path)));
    }
    if (!createdDir)
        refuseOccupied(dir, schema);

    CreationRollback rollback(dir, createdDir);
    for (const TableDef &table : schema.tables) {
        const QString filePath = dir.filePath(table.fileName);
        if (QFileInfo::exists(filePath)) // made by someone else meanwhile: never ours to remove
            throw DataToolError(u"Cannot create %1: the file already exists"_s.arg(filePath));
        rollback.addFile(table.fileName);
        TableFile::create(filePath, table);
    }
    insertKeyCounter(dir.filePath(u"PKey.DB"_s));
    validateAll(dir, schema);
    rollback.commit();
}

int runCreateCommand(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.size() != 1 || arguments.first().isEmpty())
        return ExitUsage;
    const QString &path = arguments.first();
    try {
        createDataDirectory(path);
    } catch (const Exception &error) {
        err << "tessorin-data: " << error.message() << '\n';
        return ExitFailure;
    }
    out << "Created data directory " << QDir::toNativeSeparators(path) << " with "
        << tessorinSchema().tables.size() << " table files\n";
    return ExitOk;
}

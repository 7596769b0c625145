#include "engine/EmbeddedStore.h"

#include "engine/Exception.h"
#include "engine/FileRecordLocks.h"
#include "engine/PreviousVersionLocks.h"
#include "engine/RecordLocks.h"
#include "engine/SharedFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QUrl>
#include <QUuid>

#include <memory>
#include <sqlite3.h>
#include <unistd.h>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("EmbeddedStore", text);
}

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

sqlite3 *handleOf(const QSqlDriver *driver)
{
    if (!driver)
        return nullptr;
    const QVariant handle = driver->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

// How a database that another copy keeps locked for longer than a copy waits is reported, after
// "The database <file>" or a table's name.
QString busyProblem()
{
    return tr("is busy: another program holds it locked; try again in a moment");
}

// What SQLite's extended result code means to the program. The one place that reads SQLite's
// codes: everything above the store sees only the kind.
EDatabaseError::Kind kindOf(int extendedCode)
{
    using Kind = EDatabaseError::Kind;
    switch (extendedCode) {
    case SQLITE_CONSTRAINT_PRIMARYKEY:
    case SQLITE_CONSTRAINT_UNIQUE:
        return Kind::DuplicateKey;
    default:
        break;
    }
    switch (extendedCode & 0xff) {
    case SQLITE_OK:
        return Kind::None;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Kind::Busy;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return Kind::Damaged;
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return Kind::ReadOnly;
    case SQLITE_FULL:
        return Kind::DiskFull;
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
        return Kind::LostConnection;
    default:
        return Kind::Other;
    }
}

// The extended result code of the last failure on the connection of driver, or, when the
// connection never opened, the code QtSql kept with error.
int resultCodeOf(const QSqlDriver *driver, const QSqlError &error)
{
    if (sqlite3 *db = handleOf(driver))
        return sqlite3_extended_errcode(db);
    bool isNumber = false;
    const int code = error.nativeErrorCode().toInt(&isNumber);
    return isNumber ? code : SQLITE_ERROR;
}

EDatabaseError::Kind kindOf(const QSqlQuery &query)
{
    return kindOf(resultCodeOf(query.driver(), query.lastError()));
}

QString uriFor(const QString &path, const char *mode)
{
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded)
        + QStringLiteral("?mode=") + QLatin1String(mode);
}

// Opens the connection called name to the database at uri (waiting up to 5 s for other copies'
// locks). When it does not open it is unregistered again and EDatabaseError thrown, the failure in
// front of the driver's message.
QSqlDatabase openConnection(const QString &name, const QString &uri, const QString &failure)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(uri);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000;QSQLITE_OPEN_URI"));
    if (db.open())
        return db;
    const QString error = db.lastError().text();
    const EDatabaseError::Kind kind = kindOf(resultCodeOf(db.driver(), db.lastError()));
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(name);
    throw EDatabaseError(failure + QStringLiteral(": ") + error, kind);
}

// A connection of its own, closed and unregistered when it goes.
class Scratch
{
public:
    Scratch(const QString &databaseName, const QString &options)
        : m_name(
            QStringLiteral("tqv-scratch-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(databaseName);
        db.setConnectOptions(options);
    }
    ~Scratch()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    Scratch(const Scratch &) = delete;
    Scratch &operator=(const Scratch &) = delete;
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
};

// How long a copy keeps trying while other copies hold the database, in tries a millisecond apart.
constexpr int busyTries = 5000;

// Another copy's save, or a step of a backup, holds the database for a few milliseconds: the
// connection tries again every millisecond, for as long as SQLite's busy timeout would. SQLite's
// own wait sleeps ever longer between tries (up to 100 ms), so a save would go on waiting long
// after a short hold ended.
int tryEveryMillisecond(void *, int tries)
{
    if (tries >= busyTries)
        return 0;
    sqlite3_sleep(1);
    return 1;
}

[[noreturn]] void copyFailed(const QString &target, const QString &why, int code)
{
    throw EDatabaseError(
        tr("Cannot copy the database to %1: %2").arg(nativePath(target), why), kindOf(code));
}

// Copies in steps of a few milliseconds, each under a read lock held for that step alone: a save of
// another copy that comes during a step waits for that step only (the save's pending lock keeps
// the next step out until it is stored). A commit of another copy between two steps makes SQLite
// start the copy again from the first page, a copy being always of one commit; false when that
// keeps happening, when others save faster than a copy in steps can go.
bool copyInSteps(sqlite3 *from, sqlite3 *to, const QString &target)
{
    constexpr qint64 stepNs = 2'000'000; // what one step aims to take
    constexpr int restartsAllowed = 5;
    sqlite3_backup *backup = sqlite3_backup_init(to, "main", from, "main");
    if (!backup)
        copyFailed(target, QString::fromUtf8(sqlite3_errmsg(to)), sqlite3_extended_errcode(to));
    int rc = SQLITE_OK;
    int stepPages = 64;
    int busy = 0;
    int restarts = 0;
    int remaining = -1;
    QElapsedTimer step;
    for (;;) {
        step.start();
        rc = sqlite3_backup_step(backup, stepPages);
        const qint64 took = step.nsecsElapsed();
        if (rc == SQLITE_DONE || (rc != SQLITE_OK && rc != SQLITE_BUSY && rc != SQLITE_LOCKED))
            break;
        if (rc != SQLITE_OK) {
            if (++busy > busyTries)
                break; // another copy kept the database locked for seconds
        } else {
            busy = 0;
            if (took < stepNs / 2 && stepPages < 65536)
                stepPages *= 2;
            else if (took > stepNs * 2 && stepPages > 8)
                stepPages /= 2;
            const int now = sqlite3_backup_remaining(backup);
            if (remaining >= 0 && now >= remaining && ++restarts > restartsAllowed)
                break;
            remaining = now;
        }
        sqlite3_sleep(1); // lets a save that waited for the step in
    }
    const int finished = sqlite3_backup_finish(backup);
    if (rc == SQLITE_OK)
        return false;
    if (rc != SQLITE_DONE || finished != SQLITE_OK)
        copyFailed(target, QString::fromUtf8(sqlite3_errstr(rc)), rc);
    return true;
}

// The whole database as one commit left it, read at once under one read lock: SQLite reads it
// into memory at memory speed, so others' saves wait for that read alone, never for the copy's
// writing. For a database that others keep changing faster than a copy in steps goes.
void copyAtOnce(sqlite3 *from, const QString &partial, const QString &target)
{
    const auto release = [](unsigned char *bytes) { sqlite3_free(bytes); };
    std::unique_ptr<unsigned char, decltype(release)> bytes(nullptr, release);
    sqlite3_int64 size = 0;
    for (int tries = 0; !bytes; ++tries) {
        bytes.reset(sqlite3_serialize(from, "main", &size, 0));
        if (!bytes && tries >= busyTries)
            copyFailed(target, QString::fromUtf8(sqlite3_errstr(SQLITE_BUSY)), SQLITE_BUSY);
        if (!bytes)
            sqlite3_sleep(1);
    }
    QFile file(partial);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(reinterpret_cast<const char *>(bytes.get()), size) != size || !file.flush())
        copyFailed(target, file.errorString(), SQLITE_IOERR);
}

// The copy's own writes skip SQLite's syncs (the file is written once and only named when whole);
// its bytes reach the disk here, before it takes its name.
void syncFile(const QString &path, const QString &target)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || ::fsync(file.handle()) != 0)
        copyFailed(target, file.errorString(), SQLITE_IOERR_FSYNC);
}

} // namespace

EDatabaseError::Kind EmbeddedStore::errorKind(const QSqlQuery &query)
{
    return kindOf(query);
}

EmbeddedStore::EmbeddedStore(const Schema &schema)
    : SqlStore(schema)
{ }

EmbeddedStore::~EmbeddedStore()
{
    close();
}

// --- dialect ---------------------------------------------------------------------------------

QString EmbeddedStore::columnType(const FieldDef &field)
{
    switch (field.type) {
    case FieldType::Alpha:
        return QStringLiteral("ALPHA_TEXT(%1)").arg(field.size);
    case FieldType::Number:
        return QStringLiteral("NUMBER_REAL");
    case FieldType::Money:
        return QStringLiteral("MONEY_REAL");
    case FieldType::NumberMoney:
        return QStringLiteral("NUMBER_MONEY_REAL");
    case FieldType::Date:
        return QStringLiteral("DATE_TEXT");
    case FieldType::Memo:
        return QStringLiteral("MEMO_TEXT");
    case FieldType::Graphic:
        return QStringLiteral("GRAPHIC_BLOB");
    }
    return {};
}

static QString quotedList(const QStringList &names)
{
    QStringList parts;
    for (const QString &name : names)
        parts << SqlStore::quoted(name);
    return parts.join(QStringLiteral(", "));
}

QStringList EmbeddedStore::createStatements(const TableDef &def)
{
    QStringList columns;
    for (const FieldDef &field : def.fields)
        columns << quoted(field.name) + u' ' + columnType(field);
    if (!def.primaryKey.isEmpty())
        columns << QStringLiteral("PRIMARY KEY (%1)").arg(quotedList(def.primaryKey));
    QStringList statements;
    statements << QStringLiteral("CREATE TABLE %1 (%2)")
                      .arg(tableRef(def), columns.join(QStringLiteral(", ")));
    for (const IndexDef &index : def.indexes + def.lookupIndexes) {
        statements << QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                          .arg(quoted(storedIndexName(def, index)), tableRef(def),
                              quotedList(index.fields));
    }
    return statements;
}

QSqlDatabase EmbeddedStore::queryConnection()
{
    if (m_queryConnection.isEmpty()) {
        const QString name =
            QStringLiteral("tqv-query-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
        QSqlDatabase db = openConnection(name, uriFor(m_databasePath, "ro"),
            tr("Cannot open %1").arg(nativePath(m_databasePath)));
        QSqlQuery query(db);
        query.exec(QStringLiteral("PRAGMA query_only = 1"));
        query.finish();
        m_queryConnection = name;
    }
    return QSqlDatabase::database(m_queryConnection, false);
}

// SQLite's database header: the magic text, the file format versions (1 for a rollback journal,
// 2 for a write-ahead log) at 18 and 19, and the application id at 68, big-endian.
QString EmbeddedStore::headerProblem(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return tr("cannot be read: %1").arg(file.errorString());
    const QByteArray header = file.read(100);
    if (header.isEmpty())
        return tr("is empty");
    if (header.size() < 100 || !header.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        return tr("is not a database of this program");
    const auto byte = [&header](int at) { return quint32(quint8(header.at(at))); };
    const quint32 appId = byte(68) << 24 | byte(69) << 16 | byte(70) << 8 | byte(71);
    if (appId != quint32(applicationId))
        return tr("is not a database of this program");
    if (byte(18) != 1 || byte(19) != 1)
        return tr("is not in rollback-journal mode");
    return {};
}

// --- open and close --------------------------------------------------------------------------

void EmbeddedStore::open(const QString &directory)
{
    close();
    if (!QFileInfo(directory).isDir())
        throw EDatabaseError(tr("The data directory %1 does not exist").arg(nativePath(directory)));
    const QString path = QDir(directory).filePath(databaseFileName());
    const QFileInfo info(path);
    if (!info.exists())
        throw EDatabaseError(tr("The database %1 does not exist").arg(nativePath(path)));
    if (!info.isFile() || !info.isReadable())
        throw EDatabaseError(tr("The database %1 cannot be read").arg(nativePath(path)));

    const QString name =
        QStringLiteral("tqv-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    {
        const QSqlDatabase db = openConnection(name, uriFor(path, "rw"), // never creates a file
            tr("Cannot open the database %1").arg(nativePath(path)));
        if (sqlite3 *handle = handleOf(db.driver()))
            sqlite3_busy_handler(handle, tryEveryMillisecond, nullptr);
    }
    m_connection = name;
    m_databasePath = path;
    // A database another copy holds locked longer than we wait is busy, not unreadable.
    EDatabaseError::Kind kind = EDatabaseError::Kind::None;
    const auto unreadable = [&kind](EDatabaseError::Kind found, const QString &why) {
        kind = found;
        return found == EDatabaseError::Kind::Busy ? busyProblem() : why;
    };
    const QString problem = [&] {
        QSqlQuery query(connection());
        query.setForwardOnly(true);
        auto value = [&query](const QString &pragma, QVariant *result) {
            const bool ok = query.exec(pragma) && query.next();
            *result = query.value(0);
            query.finish();
            return ok;
        };
        QVariant result;
        if (!value(QStringLiteral("PRAGMA application_id"), &result))
            return unreadable(
                kindOf(query), tr("cannot be read: %1").arg(query.lastError().databaseText()));
        if (result.toInt() != applicationId)
            return tr("is not a database of this program");
        if (!value(QStringLiteral("PRAGMA user_version"), &result))
            return unreadable(
                kindOf(query), tr("cannot be read: %1").arg(query.lastError().databaseText()));
        const bool older =
            result.toInt() >= oldestUpgradableFormatVersion && result.toInt() < formatVersion;
        if (result.toInt() != formatVersion && !older)
            return tr("has format %1, not %2").arg(result.toInt()).arg(formatVersion);
        // Every commit reaches the disk before it is reported done.
        if (!query.exec(QStringLiteral("PRAGMA synchronous = FULL")))
            return query.lastError().databaseText();
        query.finish();
        if (older) {
            try {
                upgradeStoredTexts();
            } catch (const EDatabaseError &error) {
                return tr("cannot be brought up to format %1: %2")
                    .arg(formatVersion)
                    .arg(error.message());
            }
        }
        try {
            m_dataVersion = dataVersion();
            m_counters = readCounters();
        } catch (const EDatabaseError &error) {
            return unreadable(error.kind(), tr("is damaged: %1").arg(error.message()));
        }
        return QString();
    }();
    if (!problem.isEmpty()) {
        close();
        throw EDatabaseError(tr("The database %1 %2").arg(nativePath(path), problem), kind);
    }
}

void EmbeddedStore::close()
{
    if (m_inTransaction)
        rollback();
    m_countChanges = QSqlQuery();
    removeConnection(&m_queryConnection);
    removeConnection(&m_connection);
    m_counters.clear();
    m_written.clear();
    m_dataVersion = -1;
}

// --- creation, checks and copies ---------------------------------------------------------------

void EmbeddedStore::create(
    const QString &path, const Schema &schema, const std::function<void(QSqlQuery &)> &fill)
{
    if (QFileInfo::exists(path))
        throw EDatabaseError(tr("Cannot create %1: the file already exists").arg(nativePath(path)));
    // Made empty first with the folder's sharing; SQLite makes a database of an empty file.
    SharedFolder::createFile(path);
    Scratch scratch(path, {});
    QSqlDatabase db = scratch.db();
    if (!db.open())
        throw EDatabaseError(
            tr("Cannot create %1: %2").arg(nativePath(path), db.lastError().text()));
    QSqlQuery query(db);
    const QString context = tr("Cannot create %1").arg(nativePath(path));
    run(query, QStringLiteral("PRAGMA journal_mode = DELETE"), context);
    run(query, QStringLiteral("PRAGMA application_id = %1").arg(applicationId), context);
    run(query, QStringLiteral("PRAGMA user_version = %1").arg(formatVersion), context);
    run(query, QStringLiteral("BEGIN IMMEDIATE"), context);
    for (const TableDef &def : schema.tables) {
        for (const QString &statement : createStatements(def))
            run(query, statement, context);
    }
    run(query,
        QStringLiteral("CREATE TABLE %1 (TableName TEXT PRIMARY KEY, Counter INTEGER NOT NULL)")
            .arg(changesTable()),
        context);
    for (const TableDef &def : schema.tables) {
        query.prepare(QStringLiteral("INSERT INTO %1 VALUES (?, 0)").arg(changesTable()));
        query.addBindValue(def.fileName.toUpper());
        run(query, context);
    }
    if (fill)
        fill(query);
    query.finish();
    run(query, QStringLiteral("COMMIT"), context);
}

QList<std::pair<QString, QString>> EmbeddedStore::storedFields(const TableDef &def)
{
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("PRAGMA table_info(%1)").arg(tableRef(def)));
    run(query, def.fileName);
    QList<std::pair<QString, QString>> found; // name and declared type, in order
    while (query.next())
        found.append({ query.value(1).toString(), query.value(2).toString() });
    query.finish();
    return found;
}

void EmbeddedStore::upgradeStoredTexts()
{
    static const QRegularExpression storedText(QStringLiteral("^ALPHA_TEXT\\((\\d+)\\)$"));
    begin();
    try {
        QSqlQuery query(connection());
        query.setForwardOnly(true);
        // Another copy may have brought it up while this one waited for the write lock.
        query.prepare(QStringLiteral("PRAGMA user_version"));
        run(query, databaseFileName());
        const bool stillOld = query.next() && query.value(0).toInt() < formatVersion;
        query.finish();
        if (stillOld) {
            for (const TableDef &def : m_schema.tables) {
                const auto found = storedFields(def);
                if (found.size() != def.fields.size())
                    continue;
                bool narrower = false;
                bool otherwise = false;
                for (int i = 0; i < def.fields.size(); ++i) {
                    const FieldDef &declared = def.fields.at(i);
                    if (found.at(i).first != declared.name)
                        otherwise = true;
                    else if (found.at(i).second == columnType(declared))
                        continue;
                    else if (const auto match = storedText.match(found.at(i).second);
                             declared.type == FieldType::Alpha && match.hasMatch()
                             && match.captured(1).toInt() < declared.size)
                        narrower = true;
                    else
                        otherwise = true;
                }
                if (narrower && !otherwise)
                    rebuildTable(def);
                // Indexes that only speed up look-ups and searches came with formats 3 and 4;
                // copies still running see the table as changed and read it again.
                bool indexed = false;
                for (const IndexDef &index : def.lookupIndexes) {
                    if (hasIndex(storedIndexName(def, index)))
                        continue;
                    run(query,
                        QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                            .arg(quoted(storedIndexName(def, index)), tableRef(def),
                                quotedList(index.fields)),
                        def.fileName);
                    indexed = true;
                }
                if (indexed)
                    noteWritten(def.fileName);
            }
            run(query, QStringLiteral("PRAGMA user_version = %1").arg(formatVersion),
                databaseFileName());
        }
        commit();
    } catch (const EDatabaseError &) {
        rollback();
        throw;
    }
}

bool EmbeddedStore::hasIndex(const QString &storedName)
{
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'index' AND name = ?"));
    query.addBindValue(storedName);
    run(query, databaseFileName());
    const bool found = query.next();
    query.finish();
    return found;
}

// SQLite cannot change a column's declared type in place: the table is made anew under a
// passing name, the rows copied with their row ids, the old table dropped, the new one renamed
// and the old one's indexes made again from their own statements.
void EmbeddedStore::rebuildTable(const TableDef &def)
{
    const QString context = def.fileName;
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral(
        "SELECT sql FROM sqlite_master WHERE type = 'index' AND tbl_name = ? AND sql IS NOT NULL"));
    query.addBindValue(def.fileName);
    run(query, context);
    QStringList indexes;
    while (query.next())
        indexes << query.value(0).toString();
    query.finish();

    TableDef passing = def;
    passing.fileName = def.fileName + QStringLiteral("/widening");
    passing.indexes.clear();
    QStringList columns;
    for (const FieldDef &field : def.fields)
        columns << quoted(field.name);
    const QString list = columns.join(QStringLiteral(", "));
    run(query, createStatements(passing).first(), context);
    run(query,
        QStringLiteral("INSERT INTO %1 (rowid, %2) SELECT rowid, %2 FROM %3")
            .arg(tableRef(passing), list, tableRef(def)),
        context);
    run(query, QStringLiteral("DROP TABLE %1").arg(tableRef(def)), context);
    run(query, QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(tableRef(passing), tableRef(def)),
        context);
    for (const QString &index : std::as_const(indexes))
        run(query, index, context);
    noteWritten(def.fileName);
}

void EmbeddedStore::validate(const TableDef &def)
{
    auto fail = [&](const QString &what) {
        throw EDatabaseError(
            tr("Table %1 is damaged: %2").arg(def.fileName, what), EDatabaseError::Kind::Damaged);
    };
    // A table that could not be read is damaged only when the database says so.
    auto failRead = [&](const QSqlQuery &query) {
        const EDatabaseError::Kind kind = kindOf(query);
        if (kind == EDatabaseError::Kind::Busy)
            throw EDatabaseError(tr("Table %1 %2").arg(def.fileName, busyProblem()), kind);
        throw EDatabaseError(
            tr("Table %1 is damaged: %2").arg(def.fileName, query.lastError().databaseText()),
            kind);
    };
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("PRAGMA table_info(%1)").arg(tableRef(def))))
        failRead(query);
    QList<std::pair<QString, QString>> found; // name and declared type, in order
    QStringList primaryKey;
    while (query.next()) {
        found.append({ query.value(1).toString(), query.value(2).toString() });
        const int pkPosition = query.value(5).toInt();
        if (pkPosition > 0) {
            while (primaryKey.size() < pkPosition)
                primaryKey << QString();
            primaryKey[pkPosition - 1] = query.value(1).toString();
        }
    }
    query.finish();
    if (found.isEmpty()) {
        throw EDatabaseError(tr("Table %1 does not exist in the database %2")
                                 .arg(def.fileName, nativePath(m_databasePath)));
    }
    if (found.size() != def.fields.size())
        fail(tr("it has %1 fields where %2 are expected").arg(found.size()).arg(def.fields.size()));
    for (int i = 0; i < def.fields.size(); ++i) {
        const FieldDef &expected = def.fields.at(i);
        if (found.at(i).first != expected.name)
            fail(tr("field %1 should be %2, not %3")
                     .arg(i + 1)
                     .arg(expected.name, found.at(i).first));
        if (found.at(i).second != columnType(expected))
            fail(tr("field %1 has type %2, not %3")
                     .arg(expected.name, found.at(i).second, columnType(expected)));
    }
    if (primaryKey != def.primaryKey)
        fail(tr("its primary key is wrong"));
    for (const IndexDef &index : def.indexes) {
        if (!query.exec(
                QStringLiteral("PRAGMA index_info(%1)").arg(quoted(storedIndexName(def, index)))))
            failRead(query);
        QStringList columns;
        while (query.next())
            columns << query.value(2).toString();
        query.finish();
        if (columns != index.fields)
            fail(tr("index %1 is missing or wrong").arg(index.name));
    }
}

void EmbeddedStore::validateNothingElse()
{
    QSet<QString> declared { changesTable() };
    for (const TableDef &def : m_schema.tables) {
        declared << def.fileName;
        for (const IndexDef &index : def.indexes + def.lookupIndexes)
            declared << storedIndexName(def, index);
    }
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT type, name, tbl_name FROM sqlite_schema"));
    run(query, nativePath(m_databasePath));
    QStringList found;
    while (query.next()) {
        const QString type = query.value(0).toString();
        const QString name = query.value(1).toString();
        // SQLite's own index of a declared table's primary key comes with the table.
        const bool own = type == QStringLiteral("index")
            && name.startsWith(QStringLiteral("sqlite_autoindex_"))
            && declared.contains(query.value(2).toString());
        if (own
            || ((type == QStringLiteral("table") || type == QStringLiteral("index"))
                && declared.contains(name)))
            continue;
        found << QStringLiteral("%1 \"%2\"").arg(type, name);
    }
    query.finish();
    if (!found.isEmpty())
        throw EDatabaseError(
            tr("The database %1 holds what this program does not declare: %2")
                .arg(nativePath(m_databasePath), found.join(QStringLiteral(", "))));
}

void EmbeddedStore::backup(const QString &path)
{
    copyDatabase(m_databasePath, path);
}

// The copy is made under a name of its own beside the target and renamed when whole: a copy that
// is killed leaves no half file under the target's name. The name is the same for every copy to
// one target, so the next copy clears what a killed one left.
void EmbeddedStore::copyDatabase(const QString &from, const QString &to)
{
    if (QFileInfo::exists(to))
        throw EDatabaseError(
            tr("Cannot copy the database to %1: the file already exists").arg(nativePath(to)));
    if (!QFileInfo(from).isFile())
        throw EDatabaseError(tr("The database %1 does not exist").arg(nativePath(from)));
    const QFileInfo target(to);
    const QString partial =
        target.absoluteDir().filePath(u'.' + target.fileName() + QStringLiteral(".partial"));
    const auto removePartial = [&partial] {
        QFile::remove(partial);
        QFile::remove(partial + QStringLiteral("-journal"));
    };
    removePartial();
    try {
        // The copy reads through a connection of its own, so that no transaction or statement
        // of this copy of the program mixes with it; the file is read through memory mapping,
        // which spares a step a system call for every page.
        Scratch source(uriFor(from, "ro"), QStringLiteral("QSQLITE_OPEN_URI"));
        QSqlDatabase in = source.db();
        if (!in.open())
            throw EDatabaseError(
                tr("Cannot open the database %1: %2").arg(nativePath(from), in.lastError().text()),
                kindOf(resultCodeOf(in.driver(), in.lastError())));
        QSqlQuery(in).exec(QStringLiteral("PRAGMA mmap_size = 1073741824"));
        // A busy database is tried again here, a millisecond apart, not after SQLite's longer
        // sleeps: the copy waits for a save no longer than the save takes.
        sqlite3_busy_timeout(handleOf(in.driver()), 0);
        SharedFolder::createFile(partial);
        bool whole = false;
        {
            // Written once to a name nobody uses: no journal, no syncs until it is whole.
            Scratch copy(partial, {});
            QSqlDatabase out = copy.db();
            if (!out.open())
                copyFailed(to, out.lastError().text(), SQLITE_CANTOPEN);
            QSqlQuery pragmas(out);
            run(pragmas, QStringLiteral("PRAGMA journal_mode = OFF"), nativePath(partial));
            run(pragmas, QStringLiteral("PRAGMA synchronous = OFF"), nativePath(partial));
            pragmas.finish();
            whole = copyInSteps(handleOf(in.driver()), handleOf(out.driver()), to);
        }
        if (!whole)
            copyAtOnce(handleOf(in.driver()), partial, to);
        syncFile(partial, to);
    } catch (const EDatabaseError &) {
        removePartial();
        throw;
    }
    if (!QFile::rename(partial, to)) { // never over a file that appeared meanwhile
        removePartial();
        throw EDatabaseError(tr("Cannot copy the database to %1: it cannot be renamed from %2")
                                 .arg(nativePath(to), nativePath(partial)));
    }
}

QStringList EmbeddedStore::integrityProblems()
{
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("PRAGMA integrity_check"));
    run(query, nativePath(m_databasePath));
    QStringList problems;
    while (query.next()) {
        const QString line = query.value(0).toString();
        if (line != QStringLiteral("ok"))
            problems << line;
    }
    query.finish();
    return problems;
}

// What keeps this account from writing the database, with the lock-control files in
// controlDirectory: the database would open read-only and the first save fail. Files not made yet
// are covered by their folder.
QString EmbeddedStore::writeProblem(const QString &controlDirectory) const
{
    const QFileInfo database(m_databasePath);
    const QDir control(controlDirectory);
    const std::pair<QString, QString> needed[] = {
        { tr("The data directory"), database.absolutePath() },
        { tr("The database"), database.absoluteFilePath() },
        { tr("The lock control directory"), control.absolutePath() },
        { tr("The lock control file"), control.filePath(PreviousVersionLocks::controlFileName()) },
        { tr("The lock file"), control.filePath(FileRecordLocks::lockFileName()) },
    };
    for (const auto &[what, path] : needed) {
        const QString problem = SharedFolder::writeProblem(path, what);
        if (!problem.isEmpty())
            return problem;
    }
    return {};
}

std::unique_ptr<RecordLocks> EmbeddedStore::openLocks(const QString &controlDirectory)
{
    return RecordLocks::open(controlDirectory);
}

// --- transactions and change counters ----------------------------------------------------------

void EmbeddedStore::begin()
{
    if (m_inTransaction)
        return;
    QSqlQuery query(connection());
    run(query, QStringLiteral("BEGIN IMMEDIATE"), tr("Cannot start writing"));
    m_inTransaction = true;
}

void EmbeddedStore::beginSnapshot()
{
    QSqlQuery query(connection());
    // Deferred: the read lock comes with the first read and is kept until endSnapshot.
    run(query, QStringLiteral("BEGIN"), tr("Cannot read the database"));
}

void EmbeddedStore::endSnapshot()
{
    QSqlQuery query(connection());
    query.exec(QStringLiteral("COMMIT"));
    query.finish();
}

void EmbeddedStore::commit()
{
    if (!m_inTransaction)
        return;
    try {
        // Tables that count their own writes in a field are left out.
        QStringList counted;
        for (const QString &table : std::as_const(m_written)) {
            const TableDef *def = m_schema.resolve(table);
            if (!def || def->changeField.isEmpty())
                counted << table;
        }
        if (!counted.isEmpty()) {
            // One statement, prepared once per connection, counts a change for every table
            // written (named in a JSON array) and reads the counts back.
            const QSqlDatabase db = connection();
            if (m_countChanges.driver() != db.driver()) {
                m_countChanges = QSqlQuery(db);
                m_countChanges.setForwardOnly(true);
                m_countChanges.prepare(
                    QStringLiteral("UPDATE %1 SET Counter = Counter + 1 WHERE TableName IN "
                                   "(SELECT value FROM json_each(?)) RETURNING TableName, Counter")
                        .arg(changesTable()));
            }
            m_countChanges.bindValue(0,
                QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(counted))
                                      .toJson(QJsonDocument::Compact)));
            run(m_countChanges, counted.join(QStringLiteral(", ")));
            // Our own change is no news to this copy's views: they are told directly.
            while (m_countChanges.next())
                m_counters[m_countChanges.value(0).toString()] =
                    m_countChanges.value(1).toLongLong();
            m_countChanges.finish();
        }
        QSqlQuery query(connection());
        run(query, QStringLiteral("COMMIT"), tr("Cannot store the changes"));
    } catch (const EDatabaseError &) {
        rollback();
        throw;
    }
    m_inTransaction = false;
    m_committedSincePoll = m_committedSincePoll || !m_written.isEmpty();
    m_written.clear();
}

void EmbeddedStore::rollback()
{
    if (!m_inTransaction)
        return;
    QSqlQuery query(connection());
    query.exec(QStringLiteral("ROLLBACK"));
    query.finish();
    m_inTransaction = false;
    m_written.clear();
}

qint64 EmbeddedStore::dataVersion()
{
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("PRAGMA data_version")) || !query.next())
        throw EDatabaseError(query.lastError().databaseText(), kindOf(query));
    const qint64 version = query.value(0).toLongLong();
    query.finish();
    return version;
}

QHash<QString, qint64> EmbeddedStore::readCounters()
{
    QSqlQuery query(connection());
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT TableName, Counter FROM %1").arg(changesTable()));
    run(query, changesTable());
    QHash<QString, qint64> counters;
    while (query.next())
        counters.insert(query.value(0).toString(), query.value(1).toLongLong());
    query.finish();
    // A table that counts its own writes in a field: the field's total and the rows join its
    // count, which only copies of an earlier version still raise.
    for (const TableDef &def : m_schema.tables) {
        if (def.changeField.isEmpty())
            continue;
        query.prepare(QStringLiteral("SELECT TOTAL(%1), COUNT(*) FROM %2")
                          .arg(quoted(def.changeField), tableRef(def)));
        run(query, def.fileName);
        if (query.next()) {
            const QString key = def.fileName.toUpper();
            quint64 mixed = quint64(counters.value(key));
            mixed = mixed * 1000003u + quint64(qint64(query.value(0).toDouble()));
            mixed = mixed * 1000003u + quint64(query.value(1).toLongLong());
            counters.insert(key, qint64(mixed));
        }
        query.finish();
    }
    return counters;
}

QStringList EmbeddedStore::changedTables()
{
    if (!isOpen() || m_inTransaction)
        return {};
    const qint64 version = dataVersion();
    if (version == m_dataVersion)
        return {};
    const QHash<QString, qint64> counters = readCounters();
    m_dataVersion = version;
    QStringList changed;
    for (auto it = counters.cbegin(); it != counters.cend(); ++it) {
        if (m_counters.value(it.key(), -1) != it.value())
            changed << it.key();
    }
    // Someone changed the database without counting (a tool outside the program): every table
    // may have changed. Unless our own commits took in the counts meanwhile.
    if (changed.isEmpty() && !m_committedSincePoll) {
        for (const TableDef &def : m_schema.tables)
            changed << def.fileName.toUpper();
    }
    m_committedSincePoll = false;
    m_counters = counters;
    return changed;
}

#include "engine/ServerSchemaCheck.h"

#include "engine/Exception.h"
#include "engine/ServerErrors.h"
#include "engine/ServerSchema.h"
#include "engine/SqlStore.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ServerSchemaCheck", text);
}

// The current schema's namespace, for the catalog statements below.
const QString ns = u"WITH ns AS (SELECT oid FROM pg_namespace WHERE nspname = current_schema()) "_s;

// Kind, name and the table it belongs to (or NULL) of every object of the current schema that
// someone made: the identity sequences of columns and the views' own rules come with their owner.
const QString objectsSql = ns
    + u"SELECT CASE c.relkind WHEN 'r' THEN 'table' WHEN 'p' THEN 'table' "
      "WHEN 'f' THEN 'foreign table' WHEN 'v' THEN 'view' WHEN 'm' THEN 'materialized view' "
      "WHEN 'S' THEN 'sequence' WHEN 'i' THEN 'index' WHEN 'I' THEN 'index' ELSE 'type' END, "
      "c.relname::text, t.relname::text FROM pg_class c JOIN ns ON c.relnamespace = ns.oid "
      "LEFT JOIN pg_index x ON x.indexrelid = c.oid LEFT JOIN pg_class t ON t.oid = x.indrelid "
      "WHERE c.relkind <> 't' AND NOT (c.relkind = 'S' AND EXISTS (SELECT 1 FROM pg_depend d "
      "WHERE d.classid = 'pg_class'::regclass AND d.objid = c.oid AND d.deptype = 'i')) "
      "UNION ALL SELECT 'trigger', g.tgname::text, t.relname::text FROM pg_trigger g "
      "JOIN pg_class t ON t.oid = g.tgrelid JOIN ns ON t.relnamespace = ns.oid "
      "WHERE NOT g.tgisinternal "
      "UNION ALL SELECT 'rule', r.rulename::text, t.relname::text FROM pg_rewrite r "
      "JOIN pg_class t ON t.oid = r.ev_class JOIN ns ON t.relnamespace = ns.oid "
      "WHERE r.rulename <> '_RETURN' "
      "UNION ALL SELECT 'policy', p.polname::text, t.relname::text FROM pg_policy p "
      "JOIN pg_class t ON t.oid = p.polrelid JOIN ns ON t.relnamespace = ns.oid "
      "UNION ALL SELECT 'function', p.proname::text, NULL FROM pg_proc p "
      "JOIN ns ON p.pronamespace = ns.oid "
      "UNION ALL SELECT 'type', y.typname::text, NULL FROM pg_type y "
      "JOIN ns ON y.typnamespace = ns.oid WHERE y.typtype IN ('d', 'e', 'r', 'm') "
      "UNION ALL SELECT 'event trigger', e.evtname::text, NULL FROM pg_event_trigger e"_s;

// Table, column, its type as declared, its collation, not null, default and identity, in order.
const QString columnsSql = ns
    + u"SELECT c.relname::text, a.attname::text, format_type(a.atttypid, a.atttypmod), "
      "co.collname::text, a.attnotnull, a.atthasdef, a.attidentity::text "
      "FROM pg_class c JOIN ns ON c.relnamespace = ns.oid "
      "JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped "
      "LEFT JOIN pg_collation co ON co.oid = a.attcollation "
      "WHERE c.relkind IN ('r', 'p') ORDER BY c.relname, a.attnum"_s;

// Table, index, primary, unique, method, partial or on expressions, and its columns in order.
const QString indexesSql = ns
    + u"SELECT t.relname::text, i.relname::text, x.indisprimary, x.indisunique, am.amname::text, "
      "x.indpred IS NOT NULL OR x.indexprs IS NOT NULL, (SELECT string_agg(a.attname::text, "
      "chr(31) ORDER BY k.o) FROM unnest(x.indkey::int2[]) WITH ORDINALITY k(n, o) "
      "JOIN pg_attribute a ON a.attrelid = t.oid AND a.attnum = k.n) "
      "FROM pg_index x JOIN pg_class i ON i.oid = x.indexrelid "
      "JOIN pg_class t ON t.oid = x.indrelid JOIN ns ON t.relnamespace = ns.oid "
      "JOIN pg_am am ON am.oid = i.relam"_s;

// Table, trigger, type bits, enabled, function, its arguments, column list and condition.
const QString triggersSql = ns
    + u"SELECT t.relname::text, g.tgname::text, g.tgtype::int, g.tgenabled::text, "
      "p.proname::text, p.pronamespace = ns.oid, encode(g.tgargs, 'escape'), "
      "cardinality(g.tgattr::int2[]) = 0 AND g.tgqual IS NULL "
      "FROM pg_trigger g JOIN pg_class t ON t.oid = g.tgrelid "
      "JOIN ns ON t.relnamespace = ns.oid JOIN pg_proc p ON p.oid = g.tgfoid "
      "WHERE NOT g.tgisinternal"_s;

// Function, its language, body, result type, arguments, run as its owner, its search path ours.
const QString functionsSql = ns
    + u"SELECT p.proname::text, l.lanname::text, p.prosrc, format_type(p.prorettype, NULL), "
      "p.pronargs, p.prosecdef, p.proconfig = ARRAY['search_path=' || "
      "quote_ident(current_schema()) || ', pg_temp'] FROM pg_proc p "
      "JOIN ns ON p.pronamespace = ns.oid JOIN pg_language l ON l.oid = p.prolang"_s;

// Domain, its base type, not null, collation and whether it has constraints.
const QString domainsSql = ns
    + u"SELECT y.typname::text, format_type(y.typbasetype, y.typtypmod), y.typnotnull, "
      "co.collname::text, EXISTS (SELECT 1 FROM pg_constraint k WHERE k.contypid = y.oid) "
      "FROM pg_type y JOIN ns ON y.typnamespace = ns.oid "
      "LEFT JOIN pg_collation co ON co.oid = y.typcollation WHERE y.typtype = 'd'"_s;

// Statement-level AFTER INSERT, DELETE, UPDATE and TRUNCATE (the catalog's trigger type bits).
constexpr int changeTriggerType = 4 | 8 | 16 | 32;

class CatalogReader
{
public:
    CatalogReader(const QSqlDatabase &connection, const QString &serverName)
        : m_query(connection)
        , m_serverName(serverName)
    {
        m_query.setForwardOnly(true);
    }

    QSqlQuery &read(const QString &sql)
    {
        if (!m_query.exec(sql)) {
            const QSqlError error = m_query.lastError();
            throw EDatabaseError(tr("Cannot read the database %1: %2")
                                     .arg(m_serverName, error.databaseText().trimmed()),
                ServerErrors::kindOf(error));
        }
        return m_query;
    }

private:
    QSqlQuery m_query;
    QString m_serverName;
};

// A column as the check compares it: the declared type, then what else is declared about it.
QString described(const QSqlQuery &row)
{
    QString text = row.value(2).toString();
    const QString collation = row.value(3).toString();
    if (!collation.isEmpty() && collation != "C"_L1)
        text += u" COLLATE \"%1\""_s.arg(collation);
    const QString identity = row.value(6).toString();
    if (identity == "d"_L1)
        text += " GENERATED BY DEFAULT AS IDENTITY"_L1;
    else if (identity == "a"_L1)
        text += " GENERATED ALWAYS AS IDENTITY"_L1;
    else if (row.value(4).toBool())
        text += " NOT NULL"_L1;
    if (row.value(5).toBool())
        text += " DEFAULT"_L1;
    return text;
}

using Columns = QList<std::pair<QString, QString>>; // name and description, in order

struct Index
{
    bool primary = false;
    bool unique = false;
    bool plain = false; // a b-tree on columns alone, over every row
    QStringList columns;
};

QString found(const QString &kind, const QString &name, const QString &table)
{
    QString text = u"%1 %2"_s.arg(kind, SqlStore::quoted(name));
    if (!table.isEmpty())
        text += u" on %1"_s.arg(SqlStore::quoted(table));
    return text;
}

// The tables beside the schema's and how they are declared.
QHash<QString, Columns> ownTables()
{
    const QString counted = u"bigint NOT NULL"_s;
    const QString named = u"text COLLATE \"default\" NOT NULL"_s;
    return {
        { ServerSchema::formatTable(),
            { { u"ApplicationId"_s, u"integer NOT NULL"_s },
                { u"FormatVersion"_s, u"integer NOT NULL"_s } } },
        { SqlStore::changesTable(),
            { { u"TableName"_s, u"text NOT NULL"_s }, { u"Counter"_s, counted } } },
        { u"TQVSessions"_s,
            { { u"pid"_s, u"integer NOT NULL"_s }, { u"user_name"_s, named },
                { u"host_name"_s, named },
                { u"started"_s, u"timestamp with time zone NOT NULL"_s } } },
    };
}

class Check
{
public:
    Check(const QSqlDatabase &connection, const Schema &schema, const QString &serverName)
        : m_reader(connection, serverName)
        , m_schema(schema)
        , m_server(serverName)
    { }

    QStringList run(const QSqlDatabase &connection)
    {
        const QStringList everything = ServerSchemaCheck::everythingFound(connection, m_server);
        if (everything.isEmpty())
            return {
                tr("The database %1 is empty: it holds no tables of this program").arg(m_server)
            };
        if (const QString marker = markerProblem(); !marker.isEmpty())
            return { tr("The database %1 %2").arg(m_server, marker) };
        readColumns();
        readIndexes();
        checkDomains();
        checkFunction();
        checkOwnTables();
        checkCounters();
        for (const TableDef &def : m_schema.tables)
            checkTable(def);
        checkTriggers();
        checkNothingElse(everything);
        return m_problems;
    }

private:
    QString markerProblem()
    {
        if (!m_reader
                 .read(ns
                     + u"SELECT 1 FROM pg_class c JOIN ns ON c.relnamespace = ns.oid "
                       "WHERE c.relname = '%1' AND c.relkind = 'r'"_s.arg(
                           ServerSchema::formatTable()))
                 .next())
            return tr("is not a database of this program");
        int applicationId = 0;
        int format = 0;
        int rows = 0;
        try {
            QSqlQuery &query =
                m_reader.read(u"SELECT \"ApplicationId\", \"FormatVersion\" FROM %1"_s.arg(
                    SqlStore::quoted(ServerSchema::formatTable())));
            while (query.next() && ++rows == 1) {
                applicationId = query.value(0).toInt();
                format = query.value(1).toInt();
            }
        } catch (const EDatabaseError &error) {
            // A table of that name with other fields is someone else's.
            if (error.kind() == EDatabaseError::Kind::LostConnection)
                throw;
        }
        if (rows != 1 || applicationId != SqlStore::applicationId)
            return tr("is not a database of this program");
        if (format != SqlStore::formatVersion)
            return tr("has format %1, not %2").arg(format).arg(SqlStore::formatVersion);
        return {};
    }

    void readColumns()
    {
        QSqlQuery &query = m_reader.read(columnsSql);
        while (query.next())
            m_columns[query.value(0).toString()].append(
                { query.value(1).toString(), described(query) });
    }

    void readIndexes()
    {
        QSqlQuery &query = m_reader.read(indexesSql);
        while (query.next()) {
            Index index;
            index.primary = query.value(2).toBool();
            index.unique = query.value(3).toBool();
            index.plain = query.value(4).toString() == "btree"_L1 && !query.value(5).toBool();
            index.columns = query.value(6).toString().split(QChar(31));
            m_indexes[query.value(0).toString()].insert(query.value(1).toString(), index);
        }
    }

    void checkDomains()
    {
        QHash<QString, QString> found;
        QSqlQuery &query = m_reader.read(domainsSql);
        while (query.next()) {
            QString text = query.value(1).toString();
            if (query.value(2).toBool() || query.value(4).toBool())
                text += " with constraints"_L1;
            const QString collation = query.value(3).toString();
            if (!collation.isEmpty() && collation != "C"_L1)
                text += u" COLLATE \"%1\""_s.arg(collation);
            found.insert(query.value(0).toString(), text);
        }
        for (const ServerSchema::Domain &domain : ServerSchema::domains()) {
            if (found.value(domain.name) != domain.baseType)
                m_problems << tr("The database %1 is damaged: the type %2 is missing or not %3")
                                  .arg(m_server, domain.name, domain.baseType);
        }
    }

    void checkFunction()
    {
        QSqlQuery &query = m_reader.read(functionsSql);
        bool sound = false;
        while (query.next()) {
            if (query.value(0).toString() != ServerSchema::changeFunction())
                continue;
            sound = query.value(1).toString() == "plpgsql"_L1
                && query.value(2).toString() == ServerSchema::changeFunctionBody()
                && query.value(3).toString() == "trigger"_L1 && query.value(4).toInt() == 0
                && !query.value(5).toBool() && query.value(6).toBool();
        }
        if (!sound)
            m_problems << tr("The database %1 is damaged: the function %2 that counts changes is "
                             "missing or changed")
                              .arg(m_server, ServerSchema::changeFunction());
    }

    void checkOwnTables()
    {
        const QHash<QString, Columns> own = ownTables();
        for (auto it = own.cbegin(); it != own.cend(); ++it) {
            if (!m_columns.contains(it.key()))
                m_problems
                    << tr("Table %1 does not exist in the database %2").arg(it.key(), m_server);
            else if (m_columns.value(it.key()) != it.value())
                damaged(it.key(), tr("its fields are not declared as this program makes them"));
        }
    }

    void checkCounters()
    {
        if (m_columns.value(SqlStore::changesTable())
            != ownTables().value(SqlStore::changesTable()))
            return;
        QSet<QString> counted;
        QSqlQuery &query = m_reader.read(
            u"SELECT \"TableName\" FROM %1"_s.arg(SqlStore::quoted(SqlStore::changesTable())));
        while (query.next())
            counted << query.value(0).toString();
        for (const TableDef &def : m_schema.tables) {
            if (!counted.contains(ServerSchema::changeKey(def)))
                damaged(def.fileName, tr("its change counter is missing"));
        }
    }

    void checkTable(const TableDef &def)
    {
        if (!m_columns.contains(def.fileName)) {
            m_problems
                << tr("Table %1 does not exist in the database %2").arg(def.fileName, m_server);
            return;
        }
        const Columns &found = m_columns.value(def.fileName);
        const int fields = int(def.fields.size());
        const bool hasRowId = !found.isEmpty() && found.last().first == ServerSchema::rowIdColumn();
        if (found.size() - (hasRowId ? 1 : 0) != fields) {
            damaged(def.fileName,
                tr("it has %1 fields where %2 are expected")
                    .arg(found.size() - (hasRowId ? 1 : 0))
                    .arg(fields));
            return;
        }
        for (int i = 0; i < fields; ++i) {
            const FieldDef &expected = def.fields.at(i);
            // A key's fields hold a value in every row.
            const QString type = ServerSchema::columnType(expected)
                + (def.primaryKey.contains(expected.name) ? " NOT NULL"_L1 : ""_L1);
            if (found.at(i).first != expected.name)
                return damaged(def.fileName,
                    tr("field %1 should be %2, not %3")
                        .arg(i + 1)
                        .arg(expected.name, found.at(i).first));
            if (found.at(i).second != type)
                return damaged(def.fileName,
                    tr("field %1 has type %2, not %3")
                        .arg(expected.name, found.at(i).second, type));
        }
        const QHash<QString, Index> indexes = m_indexes.value(def.fileName);
        const Index rowIdKey = indexes.value(ServerSchema::rowIdKeyName(def));
        if (!hasRowId || found.last().second != u"bigint GENERATED BY DEFAULT AS IDENTITY"_s
            || !rowIdKey.unique || !rowIdKey.plain
            || rowIdKey.columns != QStringList { ServerSchema::rowIdColumn() })
            damaged(def.fileName, tr("its row id column is missing or wrong"));
        const Index primary = indexes.value(ServerSchema::primaryKeyName(def));
        const bool anotherPrimary = std::any_of(indexes.cbegin(), indexes.cend(),
                                        [&](const Index &index) { return index.primary; })
            && !primary.primary;
        if (def.primaryKey.isEmpty()
                ? anotherPrimary || primary.primary
                : !primary.primary || !primary.plain || primary.columns != def.primaryKey)
            damaged(def.fileName, tr("its primary key is wrong"));
        for (const IndexDef &declared : def.indexes + def.lookupIndexes) {
            const auto index = indexes.constFind(SqlStore::storedIndexName(def, declared));
            if (index == indexes.cend() || index->unique || !index->plain
                || index->columns != declared.fields)
                damaged(def.fileName, tr("index %1 is missing or wrong").arg(declared.name));
        }
    }

    void checkTriggers()
    {
        QHash<QString, bool> ours; // table -> its change trigger is as made
        QSqlQuery &query = m_reader.read(triggersSql);
        while (query.next()) {
            if (query.value(1).toString() != ServerSchema::changeTrigger())
                continue;
            const QString table = query.value(0).toString();
            const TableDef *def = declaredTable(table);
            ours.insert(table,
                def && query.value(2).toInt() == changeTriggerType
                    && query.value(3).toString() == "O"_L1
                    && query.value(4).toString() == ServerSchema::changeFunction()
                    && query.value(5).toBool()
                    && query.value(6).toString() == ServerSchema::changeKey(*def) + "\\000"_L1
                    && query.value(7).toBool());
        }
        for (const TableDef &def : m_schema.tables) {
            if (m_columns.contains(def.fileName) && !ours.value(def.fileName))
                damaged(def.fileName, tr("its change notices are missing or wrong"));
        }
    }

    void checkNothingElse(const QStringList &everything)
    {
        QSet<QString> declared;
        const auto declare = [&declared](const QString &kind, const QString &name,
                                 const QString &table = {}) {
            declared << found(kind, name, table);
        };
        for (const QString &table : ownTables().keys())
            declare(u"table"_s, table);
        declare(u"index"_s, SqlStore::changesTable() + "_pkey"_L1, SqlStore::changesTable());
        declare(u"index"_s, u"TQVSessions_pkey"_s, u"TQVSessions"_s);
        declare(u"function"_s, ServerSchema::changeFunction());
        for (const ServerSchema::Domain &domain : ServerSchema::domains())
            declare(u"type"_s, domain.name);
        for (const TableDef &def : m_schema.tables) {
            declare(u"table"_s, def.fileName);
            declare(u"trigger"_s, ServerSchema::changeTrigger(), def.fileName);
            if (!def.primaryKey.isEmpty())
                declare(u"index"_s, ServerSchema::primaryKeyName(def), def.fileName);
            declare(u"index"_s, ServerSchema::rowIdKeyName(def), def.fileName);
            for (const IndexDef &index : def.indexes + def.lookupIndexes)
                declare(u"index"_s, SqlStore::storedIndexName(def, index), def.fileName);
        }
        QStringList extra;
        for (const QString &object : everything) {
            if (!declared.contains(object))
                extra << object;
        }
        if (!extra.isEmpty())
            m_problems << tr("The database %1 holds what this program does not declare: %2")
                              .arg(m_server, extra.join(", "_L1));
    }

    const TableDef *declaredTable(const QString &name) const
    {
        for (const TableDef &def : m_schema.tables) {
            if (def.fileName == name)
                return &def;
        }
        return nullptr;
    }

    void damaged(const QString &table, const QString &what)
    {
        m_problems << tr("Table %1 in the database %2 is damaged: %3").arg(table, m_server, what);
    }

    CatalogReader m_reader;
    const Schema &m_schema;
    QString m_server;
    QStringList m_problems;
    QHash<QString, Columns> m_columns;
    QHash<QString, QHash<QString, Index>> m_indexes; // table -> index name -> index
};

} // namespace

QStringList ServerSchemaCheck::everythingFound(
    const QSqlDatabase &connection, const QString &serverName)
{
    CatalogReader reader(connection, serverName);
    QSqlQuery &query = reader.read(objectsSql);
    QStringList objects;
    while (query.next())
        objects << found(
            query.value(0).toString(), query.value(1).toString(), query.value(2).toString());
    std::sort(objects.begin(), objects.end());
    return objects;
}

QStringList ServerSchemaCheck::problems(
    const QSqlDatabase &connection, const Schema &schema, const QString &serverName)
{
    return Check(connection, schema, serverName).run(connection);
}

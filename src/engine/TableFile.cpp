#include "engine/TableFile.h"

#include "engine/Exception.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace TableFile {

QString quoted(const QString &identifier)
{
    QString text = identifier;
    text.replace(u'"', QStringLiteral("\"\""));
    return u'"' + text + u'"';
}

QString columnType(const FieldDef &field)
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
        parts << quoted(name);
    return parts.join(QStringLiteral(", "));
}

QStringList createStatements(const TableDef &def, const QString &schemaAlias)
{
    QStringList columns;
    for (const FieldDef &field : def.fields)
        columns << quoted(field.name) + u' ' + columnType(field);
    if (!def.primaryKey.isEmpty())
        columns << QStringLiteral("PRIMARY KEY (%1)").arg(quotedList(def.primaryKey));
    QStringList statements;
    statements << QStringLiteral("CREATE TABLE %1.data (%2)")
                      .arg(quoted(schemaAlias), columns.join(QStringLiteral(", ")));
    for (const IndexDef &index : def.indexes) {
        statements << QStringLiteral("CREATE INDEX %1.%2 ON data (%3)")
                          .arg(quoted(schemaAlias), quoted(index.name), quotedList(index.fields));
    }
    return statements;
}

namespace {

// A private connection that closes and unregisters itself.
class ScratchConnection
{
public:
    explicit ScratchConnection(const QString &path, const QString &options = {})
        : m_name(QStringLiteral("scratch-") + QUuid::createUuid().toString(QUuid::WithoutBraces))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        db.setConnectOptions(options);
    }
    ~ScratchConnection() { QSqlDatabase::removeDatabase(m_name); }
    QSqlDatabase db() const { return QSqlDatabase::database(m_name, false); }
    const QString &name() const { return m_name; }

private:
    QString m_name;
};

void exec(QSqlQuery &query, const QString &sql, const QString &path)
{
    if (!query.exec(sql)) {
        throw EDatabaseError(QCoreApplication::translate("TableFile", "Cannot create %1: %2")
                                 .arg(QFileInfo(path).fileName(), query.lastError().text()));
    }
    query.finish();
}

} // namespace

void create(const QString &path, const TableDef &def)
{
    if (QFileInfo::exists(path)) {
        throw EDatabaseError(
            QCoreApplication::translate("TableFile", "Cannot create %1: the file already exists")
                .arg(path));
    }
    {
        ScratchConnection scratch(path);
        QSqlDatabase db = scratch.db();
        if (!db.open()) {
            throw EDatabaseError(QCoreApplication::translate("TableFile", "Cannot create %1: %2")
                                     .arg(path, db.lastError().text()));
        }
        {
            QSqlQuery query(db);
            exec(query, QStringLiteral("PRAGMA journal_mode=DELETE"), path);
            exec(query, QStringLiteral("PRAGMA application_id=%1").arg(applicationId), path);
            exec(query, QStringLiteral("PRAGMA user_version=%1").arg(formatVersion), path);
            exec(query, QStringLiteral("BEGIN IMMEDIATE"), path);
            for (const QString &statement : createStatements(def))
                exec(query, statement, path);
            exec(query, QStringLiteral("COMMIT"), path);
        }
        db.close();
    }
}

void validate(const QString &connectionName,
    const QString &schemaAlias,
    const TableDef &def,
    const QString &filePath)
{
    const QString file = QFileInfo(filePath).fileName();
    auto fail = [&](const QString &what) {
        throw EDatabaseError(
            QCoreApplication::translate("TableFile", "Table file %1 is damaged: %2")
                .arg(file, what));
    };
    QSqlQuery query(QSqlDatabase::database(connectionName, false));
    query.setForwardOnly(true);
    const QString alias = quoted(schemaAlias);
    if (!query.exec(QStringLiteral("PRAGMA %1.application_id").arg(alias)) || !query.next())
        fail(query.lastError().text());
    const int appId = query.value(0).toInt();
    query.finish();
    if (appId != applicationId)
        fail(QCoreApplication::translate("TableFile", "it is not a table file of this program"));

    if (!query.exec(QStringLiteral("PRAGMA %1.table_info(data)").arg(alias)))
        fail(query.lastError().text());
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
    if (found.isEmpty())
        fail(QCoreApplication::translate("TableFile", "it holds no table"));
    if (found.size() != def.fields.size()) {
        fail(QCoreApplication::translate("TableFile", "it has %1 fields where %2 are expected")
                 .arg(found.size())
                 .arg(def.fields.size()));
    }
    for (int i = 0; i < def.fields.size(); ++i) {
        const FieldDef &expected = def.fields.at(i);
        if (found.at(i).first != expected.name)
            fail(QCoreApplication::translate("TableFile", "field %1 should be %2, not %3")
                     .arg(i + 1)
                     .arg(expected.name, found.at(i).first));
        if (found.at(i).second != columnType(expected))
            fail(QCoreApplication::translate("TableFile", "field %1 has type %2, not %3")
                     .arg(expected.name, found.at(i).second, columnType(expected)));
    }
    if (primaryKey != def.primaryKey)
        fail(QCoreApplication::translate("TableFile", "its primary key is wrong"));

    for (const IndexDef &index : def.indexes) {
        if (!query.exec(QStringLiteral("PRAGMA %1.index_info(%2)").arg(alias, quoted(index.name))))
            fail(query.lastError().text());
        QStringList columns;
        while (query.next())
            columns << query.value(2).toString();
        query.finish();
        if (columns != index.fields)
            fail(QCoreApplication::translate("TableFile", "index %1 is missing or wrong")
                     .arg(index.name));
    }
}

} // namespace TableFile

#include "FileStatement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace {

// Whether word, written bare in a statement, names a column in the tables' spelling (Quote_No,
// Val, TotalMaterials) rather than a keyword (SELECT) or a function (length): the embedded
// database finds such a name in any case, a server only when it is quoted.
bool namesColumn(const QString &word)
{
    if (!word.at(0).isUpper())
        return false;
    for (const QChar c : word) {
        if (c.isLower())
            return true;
    }
    return word.contains(u'_') || word == QStringLiteral("ID");
}

} // namespace

QString onTable(const QString &table, const QString &sql)
{
    return onTable(table, sql, false);
}

QString onTable(const QString &table, const QString &sql, bool quoteColumns)
{
    QString quoted = table;
    quoted.replace(u'"', QStringLiteral("\"\""));
    quoted = u'"' + quoted + u'"';
    QString out;
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql.at(i);
        if (c == u'\'' || c == u'"') { // literals and quoted names pass unchanged
            const qsizetype end = sql.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? sql.size() : end + 1;
            out += sql.mid(i, stop - i);
            i = stop;
            continue;
        }
        if (c.isLetterOrNumber() || c == u'_') {
            qsizetype end = i;
            while (end < sql.size() && (sql.at(end).isLetterOrNumber() || sql.at(end) == u'_'))
                ++end;
            const QString word = sql.mid(i, end - i);
            if (word.compare(QStringLiteral("data"), Qt::CaseInsensitive) == 0)
                out += quoted;
            else if (quoteColumns && namesColumn(word))
                out += u'"' + word + u'"';
            else
                out += word;
            i = end;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

namespace {

// The connection keywords of the server a data directory names, on one line; empty for a
// directory of the embedded database.
QString serverKeywords(const QString &directory)
{
    QFile file(QDir(directory).filePath(QStringLiteral("Tessorin.server")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList keywords;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (!line.trimmed().startsWith(u'#'))
            keywords << line.trimmed();
    }
    return keywords.join(u' ').trimmed();
}

} // namespace

QVariant runOnTable(const QString &directory, const QString &table, const QString &sql)
{
    const QString name = QUuid::createUuid().toString();
    const QString server = serverKeywords(directory);
    QVariant result;
    {
        QSqlDatabase db;
        if (server.isEmpty()) {
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(QDir(directory).filePath(QStringLiteral("Tessorin.db")));
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        } else {
            db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
            db.setConnectOptions(server);
        }
        if (!db.open())
            qWarning("%s: %s", qPrintable(directory), qPrintable(db.lastError().text()));
        QSqlQuery query(db);
        const QString statement = onTable(table, sql, !server.isEmpty());
        const QString verb = sql.trimmed().section(u' ', 0, 0).toUpper();
        const bool writes = verb != QStringLiteral("SELECT") && verb != QStringLiteral("PRAGMA");
        if (writes)
            query.exec(
                server.isEmpty() ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"));
        if (!query.exec(statement))
            qWarning("%s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
        else if (query.next())
            result = query.value(0);
        query.finish();
        if (writes) {
            // As the program does: the table's change counter goes up with the change, so the
            // views of the table notice it. (On a server the table's trigger counts it.)
            if (server.isEmpty()) {
                query.prepare(QStringLiteral(
                    "UPDATE TQVChanges SET Counter = Counter + 1 WHERE TableName = ?"));
                query.addBindValue(table.toUpper());
                query.exec();
            }
            query.exec(QStringLiteral("COMMIT"));
            query.finish();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

QVariant runOnFile(const QString &path, const QString &sql)
{
    const QFileInfo info(path);
    return runOnTable(info.path(), info.fileName(), sql);
}

#include "engine/ReportQuery.h"

#include "engine/Exception.h"
#include "engine/TQVDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>
#include <QUuid>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ReportQuery", text);
}

constexpr int maxAttachedFiles = 10;

} // namespace

ReportQuery::ReportQuery(TQVDatabase *database)
    : m_database(database)
{ }

void ReportQuery::bindValue(const QString &placeholder, const QVariant &value)
{
    m_named << std::pair { placeholder, value };
}

void ReportQuery::addBindValue(const QVariant &value)
{
    m_positional << value;
}

void ReportQuery::clearBindings()
{
    m_named.clear();
    m_positional.clear();
}

QString ReportQuery::translate(QList<int> *files) const
{
    const Schema *schema = m_database->schema();
    QString out;
    out.reserve(m_sql.size() + 64);
    qsizetype i = 0;
    while (i < m_sql.size()) {
        const QChar c = m_sql.at(i);
        if (c == u'\'') { // a string literal passes unchanged
            const qsizetype start = i++;
            while (i < m_sql.size()) {
                if (m_sql.at(i) == u'\'') {
                    if (i + 1 < m_sql.size() && m_sql.at(i + 1) == u'\'') {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            out += m_sql.mid(start, i - start);
            continue;
        }
        if (c == u'"') {
            const qsizetype end = m_sql.indexOf(u'"', i + 1);
            if (end < 0)
                throw EDatabaseError(tr("Invalid query: a quoted name is not closed"));
            const QString name = m_sql.mid(i + 1, end - i - 1);
            // Only names with an extension can be table files; column names never have one.
            const TableDef *def = name.contains(u'.') && schema ? schema->resolve(name) : nullptr;
            if (def) {
                const int file = int(def - schema->tables.constData());
                if (!files->contains(file))
                    files->append(file);
                out += QStringLiteral("\"t%1\".data").arg(file);
            } else if (name.contains(u'.')) {
                throw EDatabaseError(tr("Invalid query: there is no table file %1").arg(name));
            } else {
                out += m_sql.mid(i, end - i + 1);
            }
            i = end + 1;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

void ReportQuery::exec()
{
    m_columns.clear();
    m_rows.clear();
    const QString trimmed = m_sql.trimmed();
    const QString firstWord =
        trimmed.section(QRegularExpression(QStringLiteral("\\s+")), 0, 0).toUpper();
    if (firstWord != QStringLiteral("SELECT"))
        throw EDatabaseError(tr("Invalid query: only SELECT statements can be run"));
    QList<int> files;
    const QString sql = translate(&files);
    if (files.size() > maxAttachedFiles)
        throw EDatabaseError(
            tr("Invalid query: it reads more than %1 table files").arg(maxAttachedFiles));

    const QString name =
        QStringLiteral("report-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QStringLiteral(":memory:"));
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000;QSQLITE_OPEN_URI"));
        if (!db.open()) {
            failure = db.lastError().text();
        } else {
            QSqlQuery query(db);
            query.setForwardOnly(true);
            for (int file : std::as_const(files)) {
                m_database->openFile(m_database->fileName(file)); // checks the file is sound
                query.prepare(QStringLiteral("ATTACH DATABASE ? AS \"t%1\"").arg(file));
                query.addBindValue(
                    QUrl::fromLocalFile(m_database->filePath(file)).toString(QUrl::FullyEncoded)
                    + QStringLiteral("?mode=ro"));
                if (!query.exec()) {
                    failure = tr("%1: %2").arg(
                        m_database->fileName(file), query.lastError().databaseText());
                    break;
                }
            }
            if (failure.isEmpty() && !query.exec(QStringLiteral("PRAGMA query_only = 1")))
                failure = query.lastError().databaseText();
            if (failure.isEmpty() && !query.prepare(sql))
                failure = query.lastError().databaseText();
            if (failure.isEmpty()) {
                for (const QVariant &value : std::as_const(m_positional))
                    query.addBindValue(value);
                for (const auto &[placeholder, value] : std::as_const(m_named))
                    query.bindValue(placeholder, value);
                if (!query.exec()) {
                    failure = query.lastError().databaseText();
                } else {
                    const QSqlRecord record = query.record();
                    for (int c = 0; c < record.count(); ++c)
                        m_columns << record.fieldName(c);
                    while (query.next()) {
                        QVector<QVariant> row(record.count());
                        for (int c = 0; c < record.count(); ++c)
                            row[c] = query.value(c);
                        m_rows << row;
                    }
                }
            }
            query.finish();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!failure.isEmpty()) {
        m_columns.clear();
        m_rows.clear();
        throw EDatabaseError(tr("The report query failed: %1").arg(failure));
    }
}

QVariant ReportQuery::value(int row, int column) const
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_columns.size())
        return {};
    return m_rows.at(row).at(column);
}

int ReportQuery::columnIndex(const QString &name, int occurrence) const
{
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_columns.at(c).compare(name, Qt::CaseInsensitive) == 0 && occurrence-- == 0)
            return c;
    }
    return -1;
}

#include "engine/ReportQuery.h"

#include "engine/Exception.h"
#include "engine/TQVDatabase.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ReportQuery", text);
}

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

// A quoted name with an extension can only be a table; one the table set lacks is refused with
// its name rather than SQLite's "no such table".
static void checkTableNames(const QString &sql, const Schema *schema)
{
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql.at(i);
        if (c == u'\'') { // a string literal is skipped whole
            for (++i; i < sql.size(); ++i) {
                if (sql.at(i) == u'\'') {
                    if (i + 1 < sql.size() && sql.at(i + 1) == u'\'') {
                        ++i;
                        continue;
                    }
                    break;
                }
            }
            ++i;
            continue;
        }
        if (c == u'"') {
            const qsizetype end = sql.indexOf(u'"', i + 1);
            if (end < 0)
                throw EDatabaseError(tr("Invalid query: a quoted name is not closed"));
            const QString name = sql.mid(i + 1, end - i - 1);
            if (name.contains(u'.') && schema && !schema->resolve(name))
                throw EDatabaseError(tr("Invalid query: there is no table %1").arg(name));
            i = end + 1;
            continue;
        }
        ++i;
    }
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
    if (!m_database || !m_database->isConnected())
        throw EDatabaseError(tr("The report query failed: the database is not connected"));
    checkTableNames(m_sql, m_database->schema());

    QSqlQuery query(m_database->store().queryConnection());
    query.setForwardOnly(true);
    QString failure;
    if (!query.prepare(m_sql)) {
        failure = query.lastError().databaseText();
    } else {
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

#include "controls/dataaware/LookupQueryModel.h"

#include "engine/CaseSpellings.h"
#include "engine/Exception.h"
#include "engine/ReportQuery.h"
#include "engine/SqlDialect.h"
#include "engine/SqlStore.h"
#include "engine/TQVDatabase.h"

#include <algorithm>

namespace {

// The table as SQL text, in the spelling the table set declares.
QString tableRef(const TQVDatabase *database, const QString &table)
{
    const TableDef *def = database->schema() ? database->schema()->resolve(table) : nullptr;
    return def ? SqlStore::tableRef(*def) : SqlStore::quoted(table);
}

bool sameKey(const QVariant &a, const QVariant &b)
{
    bool aNumber = false;
    bool bNumber = false;
    const double x = a.toDouble(&aNumber);
    const double y = b.toDouble(&bNumber);
    return aNumber && bNumber ? x == y : a.toString() == b.toString();
}

// The order SQLite gives text: by its UTF-8 bytes, then by rowid.
bool storedBefore(const QByteArray &a, qint64 aRow, const QByteArray &b, qint64 bRow)
{
    return a != b ? a < b : aRow < bRow;
}

} // namespace

LookupQueryModel::LookupQueryModel(QObject *parent)
    : QAbstractListModel(parent)
{ }

void LookupQueryModel::setSource(
    TQVDatabase *database, const QString &table, const QString &keyField, const QString &shownField)
{
    m_database = database;
    m_table = table;
    m_keyField = keyField;
    m_shownField = shownField;
    reload();
}

void LookupQueryModel::setPrefix(const QString &text)
{
    m_prefix = text;
    reload();
}

bool LookupQueryModel::ready() const
{
    return m_database && m_database->isConnected() && !m_table.isEmpty() && !m_keyField.isEmpty()
        && !m_shownField.isEmpty();
}

// Nothing is read until a view asks: a dialog that opens with a lookup costs no query.
void LookupQueryModel::reload()
{
    beginResetModel();
    m_entries.clear();
    m_more = true;
    endResetModel();
}

QList<LookupQueryModel::Entry> LookupQueryModel::readPage() const
{
    if (m_prefix.isEmpty())
        return readAll(int(m_entries.size()));
    // Each spelling of the start gives its next screenful in order; merged, the first screenful
    // of them all follows the last entry read.
    QList<std::pair<QByteArray, Entry>> merged;
    for (const QString &spelling : CaseSpellings::of(m_prefix)) {
        for (const Entry &entry : readStartingWith(spelling))
            merged.append({ entry.text.toUtf8(), entry });
    }
    std::sort(merged.begin(), merged.end(), [](const auto &a, const auto &b) {
        return storedBefore(a.first, a.second.rowid, b.first, b.second.rowid);
    });
    QList<Entry> page;
    for (qsizetype i = 0; i < merged.size() && page.size() < Screenful; ++i)
        page << merged.at(i).second;
    return page;
}

QList<LookupQueryModel::Entry> LookupQueryModel::readAll(int offset) const
{
    QList<Entry> page;
    const QString shown = SqlStore::quoted(m_shownField);
    ReportQuery query(m_database);
    // SQLite's order puts empty fields first; said here, as every database orders alike.
    query.setSql(
        QStringLiteral("SELECT %1, %2, %4 FROM %3 ORDER BY %2 NULLS FIRST, %4 LIMIT ? OFFSET ?")
            .arg(SqlStore::quoted(m_keyField), shown, tableRef(m_database, m_table),
                SqlDialect::rowIdColumn()));
    query.addBindValue(Screenful);
    query.addBindValue(offset);
    try {
        query.exec();
    } catch (const Exception &) {
        return page; // a list that cannot be read offers nothing more; the next reload tries again
    }
    for (int row = 0; row < query.rowCount(); ++row) {
        page.append({ query.value(row, 0), query.value(row, 1).toString(),
            query.value(row, 2).toLongLong() });
    }
    return page;
}

// The entries whose field starts with spelling (the stretch of the field's order its index
// finds) and with the whole prefix case aside, after the last entry read.
QList<LookupQueryModel::Entry> LookupQueryModel::readStartingWith(const QString &spelling) const
{
    QList<Entry> page;
    const QString shown = SqlStore::quoted(m_shownField);
    const QString rowId = SqlDialect::rowIdColumn();
    QString sql = QStringLiteral("SELECT %1, %2, %4 FROM %3 WHERE %2 >= ? AND %2 < ? AND %5")
                      .arg(SqlStore::quoted(m_keyField), shown, tableRef(m_database, m_table),
                          rowId,
                          SqlDialect::of(m_database->store().connection())
                              .startsWithCaseBlind(shown));
    ReportQuery query(m_database);
    query.addBindValue(spelling);
    query.addBindValue(spelling + QString::fromUcs4(U"\U0010FFFF", 1));
    query.addBindValue(SqlDialect::startsWithPattern(m_prefix));
    if (!m_entries.isEmpty()) {
        sql += QStringLiteral(" AND (%1 > ? OR (%1 = ? AND %2 > ?))").arg(shown, rowId);
        query.addBindValue(m_entries.last().text);
        query.addBindValue(m_entries.last().text);
        query.addBindValue(m_entries.last().rowid);
    }
    sql += QStringLiteral(" ORDER BY %1, %2 LIMIT ?").arg(shown, rowId);
    query.addBindValue(Screenful);
    query.setSql(sql);
    try {
        query.exec();
    } catch (const Exception &) {
        return page;
    }
    for (int row = 0; row < query.rowCount(); ++row) {
        page.append({ query.value(row, 0), query.value(row, 1).toString(),
            query.value(row, 2).toLongLong() });
    }
    return page;
}

bool LookupQueryModel::ordersThroughIndex() const
{
    const TableDef *def =
        ready() && m_database->schema() ? m_database->schema()->resolve(m_table) : nullptr;
    if (!def)
        return false;
    const auto leads = [this](const QStringList &fields) {
        return !fields.isEmpty() && fields.first().compare(m_shownField, Qt::CaseInsensitive) == 0;
    };
    if (leads(def->primaryKey))
        return true;
    const auto anyLeads = [&leads](const QList<IndexDef> &indexes) {
        return std::any_of(indexes.cbegin(), indexes.cend(),
            [&leads](const IndexDef &index) { return leads(index.fields); });
    };
    return anyLeads(def->indexes) || anyLeads(def->lookupIndexes);
}

int LookupQueryModel::rowOfKey(const QVariant &key) const
{
    if (key.isNull())
        return -1;
    for (int row = 0; row < m_entries.size(); ++row) {
        if (!m_entries.at(row).key.isNull() && sameKey(m_entries.at(row).key, key))
            return row;
    }
    return -1;
}

QString LookupQueryModel::textOfKey(const QVariant &key) const
{
    if (key.isNull() || !ready())
        return {};
    ReportQuery query(m_database);
    query.setSql(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ? LIMIT 1")
                     .arg(SqlStore::quoted(m_shownField), tableRef(m_database, m_table),
                         SqlStore::quoted(m_keyField)));
    query.addBindValue(key);
    try {
        query.exec();
    } catch (const Exception &) {
        return {};
    }
    return query.value(0, 0).toString();
}

int LookupQueryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant LookupQueryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    const Entry &entry = m_entries.at(index.row());
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return entry.text;
    if (role == Qt::UserRole)
        return entry.key;
    return {};
}

bool LookupQueryModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && m_more && (m_scrolls || m_entries.isEmpty()) && ready();
}

void LookupQueryModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    if (!ready())
        return;
    const QList<Entry> page = readPage();
    m_more = page.size() == Screenful;
    if (page.isEmpty())
        return;
    beginInsertRows({}, int(m_entries.size()), int(m_entries.size() + page.size() - 1));
    m_entries << page;
    endInsertRows();
}

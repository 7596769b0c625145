#include "IncrementalSearchBox.h"

#include "controls/window/CommandGuard.h"
#include "engine/FilterExpression.h"
#include "engine/ReportQuery.h"
#include "engine/SqlDialect.h"
#include "engine/SqlStore.h"
#include "engine/TQVDatabase.h"
#include "engine/TableView.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QStandardItemModel>
#include <QTableView>

using namespace Qt::StringLiterals;

IncrementalSearchBox::IncrementalSearchBox(QWidget *parent)
    : QComboBox(parent)
    , m_items(new QStandardItemModel(this))
    , m_popup(new QTableView(this))
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // The view moves as the user types; completing the text as well would move it again.
    setCompleter(nullptr);
    setModel(m_items);
    m_popup->horizontalHeader()->hide();
    m_popup->verticalHeader()->hide();
    m_popup->horizontalHeader()->setStretchLastSection(true);
    m_popup->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_popup->setShowGrid(false);
    setView(m_popup);
    connect(lineEdit(), &QLineEdit::textEdited, this, &IncrementalSearchBox::textTyped);
    connect(this, &QComboBox::activated, this, &IncrementalSearchBox::itemChosen);
}

void IncrementalSearchBox::setSearch(TableView *view, const QString &listFields)
{
    m_view = view;
    m_fields.clear();
    for (const QString &name : listFields.split(u';', Qt::SkipEmptyParts))
        m_fields << name.trimmed();
}

void IncrementalSearchBox::setDropDownWidth(int pixels)
{
    m_popup->setMinimumWidth(pixels);
}

void IncrementalSearchBox::setShowColumnLines(bool on)
{
    m_popup->setShowGrid(on);
}

void IncrementalSearchBox::setShowColumnTitles(bool on)
{
    m_popup->horizontalHeader()->setVisible(on);
}

QString IncrementalSearchBox::candidateSql(
    const QStringList &columns, int limit, int offset, QVariantList &values) const
{
    const QString searchField = m_fields.first();
    QStringList quoted;
    for (const QString &column : columns)
        quoted << SqlStore::quoted(column);
    const SqlDialect dialect = SqlDialect::of(m_view->database()->store().connection());
    QString where = dialect.atOrAfterCaseBlind(SqlStore::quoted(searchField));
    values << lineEdit()->text();
    // Only what the list shows is offered: its filter (completed quotes hidden) applies here too.
    if (m_view->filtered() && !m_view->filter().trimmed().isEmpty()) {
        const FilterExpression filter =
            FilterExpression::parse(m_view->filter(), m_view->tableDef());
        where += u" AND ("_s + filter.sql() + u')';
        values << filter.values();
    }
    return u"SELECT %1 FROM %2 WHERE %3 ORDER BY %4 LIMIT %5 OFFSET %6"_s
        .arg(quoted.join(u", "_s), SqlStore::tableRef(m_view->tableDef()), where,
            dialect.caseBlindOrder(SqlStore::quoted(searchField)))
        .arg(limit)
        .arg(offset);
}

bool IncrementalSearchBox::search(const QString &text)
{
    if (!m_view || !m_view->active() || m_fields.isEmpty() || text.isEmpty())
        return false;
    if (lineEdit()->text() != text)
        lineEdit()->setText(text);
    const QStringList order = m_view->orderFields();
    constexpr int Batch = 20;
    // The first candidate is normally the one; later ones cover records the view leaves out.
    for (int offset = 0; offset < 10 * Batch; offset += Batch) {
        QVariantList values;
        ReportQuery query(m_view->database());
        query.setSql(candidateSql(order, Batch, offset, values));
        for (const QVariant &value : std::as_const(values))
            query.addBindValue(value);
        query.exec();
        for (const QVector<QVariant> &row : query.rows()) {
            if (m_view->findKey(QVariantList(row.cbegin(), row.cend())))
                return true;
        }
        if (query.rowCount() < Batch)
            break;
    }
    return false;
}

void IncrementalSearchBox::textTyped(const QString &text)
{
    runGuarded(this, [&] { search(text); });
}

void IncrementalSearchBox::showPopup()
{
    runGuarded(this, [&] {
        if (!m_view || !m_view->active() || m_fields.isEmpty())
            return;
        QVariantList values;
        ReportQuery query(m_view->database());
        query.setSql(candidateSql(m_fields, DropDownRecords, 0, values));
        for (const QVariant &value : std::as_const(values))
            query.addBindValue(value);
        query.exec();
        const QString typed = lineEdit()->text();
        // Refilling the list moves its current item; that is no choice of the user's.
        const QScopedValueRollback<bool> filling(m_filling, true);
        m_items->clear();
        m_items->setHorizontalHeaderLabels(m_fields);
        for (const QVector<QVariant> &row : query.rows()) {
            QList<QStandardItem *> cells;
            for (const QVariant &value : row)
                cells << new QStandardItem(value.toString());
            m_items->appendRow(cells);
        }
        setCurrentIndex(-1);
        lineEdit()->setText(typed);
    });
    QComboBox::showPopup();
}

void IncrementalSearchBox::itemChosen(int index)
{
    if (m_filling || index < 0)
        return;
    const QString number = m_items->item(index, 0)->text();
    runGuarded(this, [&] { search(number); });
}

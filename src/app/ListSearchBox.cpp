#include "ListSearchBox.h"

#include "controls/window/CommandGuard.h"
#include "engine/FilterExpression.h"
#include "engine/ReportQuery.h"
#include "engine/SqlStore.h"
#include "engine/TableView.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>

using namespace Qt::StringLiterals;

ListSearchBox::ListSearchBox(QWidget *parent)
    : QComboBox(parent)
    , m_items(new QStandardItemModel(this))
    , m_popup(new QTableView(this))
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setModel(m_items);
    m_popup->horizontalHeader()->hide();
    m_popup->verticalHeader()->hide();
    m_popup->horizontalHeader()->setStretchLastSection(true);
    m_popup->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_popup->setShowGrid(false);
    m_popup->setMinimumWidth(DropDownWidth);
    setView(m_popup);
    setMaxVisibleItems(DropDownRows);
    connect(lineEdit(), &QLineEdit::textEdited, this, &ListSearchBox::textTyped);
    connect(this, &QComboBox::activated, this, &ListSearchBox::itemChosen);
}

void ListSearchBox::setSearch(
    TableView *view, const QString &searchField, const QString &descriptionField)
{
    m_view = view;
    m_searchField = searchField;
    m_descriptionField = descriptionField;
}

void ListSearchBox::setShowColumnLines(bool on)
{
    m_popup->setShowGrid(on);
}

QString ListSearchBox::candidateSql(
    const QStringList &columns, int limit, int offset, QVariantList &values) const
{
    QStringList quoted;
    for (const QString &column : columns)
        quoted << SqlStore::quoted(column);
    QString where = SqlStore::quoted(m_searchField) + u" >= ? COLLATE NOCASE"_s;
    values << lineEdit()->text();
    // Only what the list shows is offered: its filter (completed quotes hidden) applies here too.
    if (m_view->filtered() && !m_view->filter().trimmed().isEmpty()) {
        const FilterExpression filter =
            FilterExpression::parse(m_view->filter(), m_view->tableDef());
        where += u" AND ("_s + filter.sql() + u')';
        values << filter.values();
    }
    return u"SELECT %1 FROM \"%2\" WHERE %3 ORDER BY %4 COLLATE NOCASE LIMIT %5 OFFSET %6"_s
        .arg(quoted.join(u", "_s), m_view->fileName(), where, SqlStore::quoted(m_searchField))
        .arg(limit)
        .arg(offset);
}

bool ListSearchBox::search(const QString &text)
{
    if (!m_view || !m_view->active() || text.isEmpty())
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

void ListSearchBox::textTyped(const QString &text)
{
    runGuarded(this, [&] { search(text); });
}

void ListSearchBox::showPopup()
{
    runGuarded(this, [&] {
        if (!m_view || !m_view->active())
            return;
        QStringList columns { m_searchField };
        if (!m_descriptionField.isEmpty())
            columns << m_descriptionField;
        QVariantList values;
        ReportQuery query(m_view->database());
        query.setSql(candidateSql(columns, 50, 0, values));
        for (const QVariant &value : std::as_const(values))
            query.addBindValue(value);
        query.exec();
        const QString typed = lineEdit()->text();
        m_filling = true;
        m_items->clear();
        for (const QVector<QVariant> &row : query.rows()) {
            QList<QStandardItem *> cells;
            for (const QVariant &value : row)
                cells << new QStandardItem(value.toString());
            m_items->appendRow(cells);
        }
        setCurrentIndex(-1);
        lineEdit()->setText(typed);
        m_filling = false;
    });
    QComboBox::showPopup();
}

void ListSearchBox::itemChosen(int index)
{
    if (m_filling || index < 0)
        return;
    const QString number = m_items->item(index, 0)->text();
    runGuarded(this, [&] { search(number); });
}

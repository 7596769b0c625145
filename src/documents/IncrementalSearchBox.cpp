#include "documents/IncrementalSearchBox.h"

#include "controls/window/CommandGuard.h"
#include "engine/Field.h"
#include "engine/TableView.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QTableView>

IncrementalSearchBox::IncrementalSearchBox(QWidget *parent)
    : QComboBox(parent)
    , m_items(new QStandardItemModel(this))
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setModel(m_items);
    auto *list = new QTableView(this);
    list->setShowGrid(true);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->verticalHeader()->hide();
    list->horizontalHeader()->setStretchLastSection(true);
    list->setMinimumWidth(DropDownWidth);
    setView(list);
    connect(lineEdit(), &QLineEdit::textEdited, this,
        [this](const QString &text) { runGuarded(this, [&] { search(text); }); });
    connect(this, &QComboBox::activated, this, &IncrementalSearchBox::picked);
}

void IncrementalSearchBox::setSearch(TableView *view, const QString &listFields)
{
    m_view = view;
    m_fields.clear();
    for (const QString &name : listFields.split(u';'))
        m_fields << name.trimmed();
}

bool IncrementalSearchBox::search(const QString &text)
{
    if (!m_view || m_fields.isEmpty() || text.isEmpty())
        return false;
    const int field = m_view->fieldByName(m_fields.first())->index();
    const int rows = m_view->rowCount();
    for (int row = 0; row < rows; ++row) {
        if (m_view->rowValue(row, field).toString().startsWith(text, Qt::CaseInsensitive)) {
            m_view->setRecNo(row);
            return true;
        }
    }
    return false;
}

void IncrementalSearchBox::showPopup()
{
    runGuarded(this, [&] { rebuild(); });
    QComboBox::showPopup();
}

void IncrementalSearchBox::rebuild()
{
    const QString typed = currentText();
    m_items->clear();
    m_items->setHorizontalHeaderLabels(m_fields);
    if (!m_view)
        return;
    QList<int> columns;
    for (const QString &name : std::as_const(m_fields))
        columns << m_view->fieldByName(name)->index();
    const int rows = m_view->rowCount();
    for (int row = 0; row < rows; ++row) {
        QList<QStandardItem *> items;
        for (int column : std::as_const(columns))
            items << new QStandardItem(m_view->rowDisplayText(row, column));
        m_items->appendRow(items);
    }
    // Rebuilding the list must not overwrite what the user typed.
    setEditText(typed);
}

void IncrementalSearchBox::picked(int index)
{
    runGuarded(this, [&] {
        if (m_view && index >= 0 && index < m_view->rowCount())
            m_view->setRecNo(index);
    });
}

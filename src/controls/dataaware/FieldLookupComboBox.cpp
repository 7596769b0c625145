#include "FieldLookupComboBox.h"

#include "controls/dataaware/FieldDataLink.h"
#include "controls/dataaware/LookupQueryModel.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "engine/Exception.h"
#include "engine/Field.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QTableView>

FieldLookupComboBox::FieldLookupComboBox(QWidget *parent)
    : QComboBox(parent)
    , FieldLinkedControl(new FieldDataLink(this))
    , m_items(new QStandardItemModel(this))
{
    setModel(m_items);
    setMaxVisibleItems(7);
    connect(m_link, &FieldDataLink::changed, this, [this] {
        if (!m_applying)
            showField();
    });
    connect(this, &QComboBox::activated, this, &FieldLookupComboBox::userChose);
    showField();
}

TQVDataSource *FieldLookupComboBox::listSource() const
{
    return m_listSource;
}

void FieldLookupComboBox::setListSource(TQVDataSource *source)
{
    for (const auto &connection : std::as_const(m_listConnections))
        disconnect(connection);
    m_listConnections.clear();
    m_listSource = source;
    if (source) {
        m_listConnections
            << connect(source, &DataSource::dataSetChanged, this, &FieldLookupComboBox::listChanged)
            << connect(source, &DataSource::dataChanged, this, &FieldLookupComboBox::listChanged)
            << connect(source, &DataSource::stateChanged, this, &FieldLookupComboBox::listChanged)
            << connect(source, &DataSource::fieldChanged, this, &FieldLookupComboBox::listChanged)
            << connect(source, &QObject::destroyed, this, &FieldLookupComboBox::listChanged);
    }
    listChanged();
}

void FieldLookupComboBox::setKeyField(const QString &name)
{
    m_keyField = name;
    listChanged();
}

void FieldLookupComboBox::setListField(const QString &names)
{
    m_listField = names;
    listChanged();
}

void FieldLookupComboBox::setDropDownWidth(int pixels)
{
    view()->setMinimumWidth(pixels);
}

void FieldLookupComboBox::setSearchedTable(TQVDatabase *database, const QString &table)
{
    if (m_query)
        return;
    const QString shown = m_listField.section(u';', 0, 0).trimmed();
    m_query = new LookupQueryModel(this);
    m_query->setSource(database, table, m_keyField, shown.isEmpty() ? m_keyField : shown);
    m_completions = new LookupQueryModel(this);
    m_completions->setScrolls(false);
    m_completions->setSource(database, table, m_keyField, shown.isEmpty() ? m_keyField : shown);
    setListSource(nullptr);
    m_dirty = false;
    {
        const QSignalBlocker blocker(this);
        // Made editable while its list is still empty: the line edit's own completer, which
        // would read the whole table looking for matches, is made on the empty list and dropped.
        setEditable(true);
        delete QComboBox::completer();
        setModel(m_query); // the list model goes with it
        m_items = nullptr;
    }
    // What is typed only ever finds a record; it never becomes one.
    setInsertPolicy(QComboBox::NoInsert);
    auto *completer = new QCompleter(m_completions, this);
    completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    setCompleter(completer);
    connect(completer, qOverload<const QModelIndex &>(&QCompleter::activated), this,
        [this](const QModelIndex &index) { userChoseKey(index.data(Qt::UserRole)); });
    connect(lineEdit(), &QLineEdit::textEdited, this, &FieldLookupComboBox::typed);
    // Text typed and left without a choice gives way to the record the field holds.
    connect(lineEdit(), &QLineEdit::editingFinished, this, [this] { showField(); });
    showField();
}

void FieldLookupComboBox::showPopup()
{
    if (m_query) {
        // Read again from the first screenful: records another copy added are listed too.
        m_query->reload();
        m_shownKey = QVariant();
        m_query->fetchMore({});
        showField();
    } else if (m_dirty) {
        showField();
    }
    QComboBox::showPopup();
}

// The arrows walk a searched list as its drop-down shows it: the first screenful is read when
// the box takes the focus, and the next one when an arrow passes the last row read.
void FieldLookupComboBox::readOnward()
{
    if (!m_query || !m_query->canFetchMore({}))
        return;
    m_query->fetchMore({});
    showField();
}

void FieldLookupComboBox::focusInEvent(QFocusEvent *event)
{
    // A list in an order no index keeps is read at the first arrow, not on every visit.
    if (m_query && m_query->rowCount() == 0 && m_query->ordersThroughIndex())
        readOnward();
    QComboBox::focusInEvent(event);
}

void FieldLookupComboBox::keyPressEvent(QKeyEvent *event)
{
    const bool onward = event->key() == Qt::Key_Down || event->key() == Qt::Key_PageDown;
    const bool arrow = onward || event->key() == Qt::Key_Up || event->key() == Qt::Key_PageUp;
    if (m_query && !(event->modifiers() & Qt::AltModifier)
        && ((onward && currentIndex() >= m_query->rowCount() - 1)
            || (arrow && m_query->rowCount() == 0)))
        readOnward();
    QComboBox::keyPressEvent(event);
}

void FieldLookupComboBox::typed(const QString &text)
{
    QCompleter *searching = completer();
    if (!m_completions || !searching)
        return;
    if (text.isEmpty()) {
        searching->popup()->hide();
        return;
    }
    m_completions->setPrefix(text);
    m_completions->fetchMore({});
    searching->setMaxVisibleItems(maxVisibleItems());
    searching->setCompletionPrefix(text);
    searching->complete();
}

void FieldLookupComboBox::listChanged()
{
    m_dirty = true;
    showField();
}

void FieldLookupComboBox::rebuild()
{
    m_dirty = false;
    if (!m_items)
        return;
    m_items->clear();
    TableView *list = m_listSource ? m_listSource->dataSet() : nullptr;
    if (!list || !list->active())
        return;
    const Field *key = list->findField(m_keyField);
    QList<const Field *> shown;
    for (const QString &name : m_listField.split(u';', Qt::SkipEmptyParts)) {
        if (const Field *f = list->findField(name.trimmed()))
            shown << f;
    }
    if (!key)
        return;
    if (shown.isEmpty())
        shown << key;
    // Reading rows by position leaves the list view's current record where it is.
    try {
        const int rows = list->rowCount();
        const int insertRow = list->state() == DataSetState::Insert ? list->currentRow() : -1;
        for (int row = 0; row < rows; ++row) {
            if (row == insertRow)
                continue;
            QList<QStandardItem *> cells;
            for (const Field *f : std::as_const(shown))
                cells << new QStandardItem(list->rowDisplayText(row, f->index()));
            cells.first()->setData(list->rowValue(row, key->index()), Qt::UserRole);
            m_items->appendRow(cells);
        }
    } catch (const Exception &) {
        // A list that cannot be read offers what was read of it; the next change reads it again.
        m_dirty = true;
    }
    if (shown.size() > 1 && !qobject_cast<QTableView *>(view())) {
        auto *table = new QTableView(this);
        table->horizontalHeader()->hide();
        table->verticalHeader()->hide();
        table->setSelectionBehavior(QAbstractItemView::SelectRows);
        table->setShowGrid(false);
        setView(table);
    }
}

int FieldLookupComboBox::indexOfKey(const QVariant &stored) const
{
    if (stored.isNull())
        return -1;
    for (int i = 0; i < count(); ++i) {
        const QVariant key = itemData(i, Qt::UserRole);
        if (key.isNull())
            continue;
        const bool numeric = key.typeId() == QMetaType::Double || key.typeId() == QMetaType::Int
            || key.typeId() == QMetaType::LongLong;
        if (numeric ? key.toDouble() == stored.toDouble() : key.toString() == stored.toString())
            return i;
    }
    return -1;
}

QString FieldLookupComboBox::keyText(const QVariant &key) const
{
    if (key.isNull())
        return {};
    bool number = false;
    const double value = key.toDouble(&number);
    if (number && value == double(qint64(value)))
        return QString::number(qint64(value));
    return number ? QString::number(value, 'g', 17) : key.toString();
}

void FieldLookupComboBox::userChoseKey(const QVariant &key)
{
    m_applying = true;
    m_link->applyText(keyText(key));
    m_applying = false;
    showField();
    if (!key.isNull())
        emit keyChosen(key);
}

void FieldLookupComboBox::userChose(int index)
{
    const QVariant key = itemData(index, Qt::UserRole);
    if (m_query) {
        if (index >= 0)
            userChoseKey(key);
        return;
    }
    TableView *list = m_listSource ? m_listSource->dataSet() : nullptr;
    const Field *keyField = list ? list->findField(m_keyField) : nullptr;
    QString text;
    if (!key.isNull())
        text = keyField ? keyField->textFor(key) : key.toString();
    m_applying = true;
    m_link->applyText(text);
    m_applying = false;
    showField();
    if (!key.isNull())
        emit keyChosen(key);
}

void FieldLookupComboBox::showField()
{
    const QSignalBlocker blocker(this);
    const Field *f = m_link->field();
    setEnabled(m_link->canModify());
    if (m_query) {
        const QVariant key = f ? f->value() : QVariant();
        const int row = m_query->rowOfKey(key);
        // A record not among the rows read yet is named by one read of the table.
        if (key.isNull() != m_shownKey.isNull() || key != m_shownKey) {
            m_shownKey = key;
            m_shownText = row >= 0 ? itemText(row) : m_query->textOfKey(key);
        }
        setCurrentIndex(row);
        setEditText(m_shownText);
        return;
    }
    if (m_dirty)
        rebuild();
    const int index = f ? indexOfKey(f->value()) : -1;
    setCurrentIndex(index);
    setPlaceholderText(index < 0 && f ? f->asString() : QString());
}

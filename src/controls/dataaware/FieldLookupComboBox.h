#pragma once

#include "controls/dataaware/FieldLinkedControl.h"

#include <QComboBox>
#include <QPointer>

class LookupQueryModel;
class QStandardItemModel;
class TQVDatabase;
class TQVDataSource;

// A drop-down list bound to a field that offers the records of another view: it lists the list
// fields of each record and stores the chosen record's key field, without moving that view.
// Given a table to search instead, it reads that table a screenful at a time in the order of the
// first list field, and what the user types lists the records starting with it (letter case
// aside) to choose from.
class FieldLookupComboBox : public QComboBox, public FieldLinkedControl
{
    Q_OBJECT

public:
    explicit FieldLookupComboBox(QWidget *parent = nullptr);

    TQVDataSource *listSource() const;
    void setListSource(TQVDataSource *source);
    const QString &keyField() const { return m_keyField; }
    void setKeyField(const QString &name);
    // One or more field names separated by semicolons; the first shows in the box.
    const QString &listField() const { return m_listField; }
    void setListField(const QString &names);
    int dropDownRows() const { return maxVisibleItems(); }
    void setDropDownRows(int rows) { setMaxVisibleItems(rows); }
    void setDropDownWidth(int pixels);
    // Searches table rather than listing a view; key and list fields are the table's.
    void setSearchedTable(TQVDatabase *database, const QString &table);
    bool searched() const { return m_query != nullptr; }

    void showPopup() override;

protected:
    void focusInEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

signals:
    // The user chose the record with key; the bound field holds it already.
    void keyChosen(const QVariant &key);

private:
    void readOnward();
    void listChanged();
    void rebuild();
    int indexOfKey(const QVariant &stored) const;
    void userChose(int index);
    void userChoseKey(const QVariant &key);
    void typed(const QString &text);
    void showField();
    QString keyText(const QVariant &key) const;

    QStandardItemModel *m_items;
    QPointer<TQVDataSource> m_listSource;
    QList<QMetaObject::Connection> m_listConnections;
    QString m_keyField;
    QString m_listField;
    LookupQueryModel *m_query = nullptr; // the searched table, a screenful at a time
    LookupQueryModel *m_completions = nullptr; // its records starting with what is typed
    QVariant m_shownKey;
    QString m_shownText;
    bool m_dirty = true;
    bool m_applying = false;
};

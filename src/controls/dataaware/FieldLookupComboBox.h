#pragma once

#include "controls/dataaware/FieldLinkedControl.h"

#include <QComboBox>
#include <QPointer>

class QStandardItemModel;
class TQVDataSource;

// A drop-down list bound to a field that offers the records of another view: it lists the list
// fields of each record and stores the chosen record's key field, without moving that view.
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

    void showPopup() override;

private:
    void listChanged();
    void rebuild();
    int indexOfKey(const QVariant &stored) const;
    void userChose(int index);
    void showField();

    QStandardItemModel *m_items;
    QPointer<TQVDataSource> m_listSource;
    QList<QMetaObject::Connection> m_listConnections;
    QString m_keyField;
    QString m_listField;
    bool m_dirty = true;
    bool m_applying = false;
};

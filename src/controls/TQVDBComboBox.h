#pragma once

#include <QComboBox>

class Field;
class FieldDataLink;
class TQVDataSource;

// A drop-down list bound to a field that shows texts and stores values (a priority word stores its
// number, a status word its letter): each item's data is the value it stores, and an item whose
// value is null empties the field. Choosing an item stores its value at once.
class TQVDBComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit TQVDBComboBox(QWidget *parent = nullptr);

    TQVDataSource *dataSource() const;
    void setDataSource(TQVDataSource *source);
    QString dataField() const;
    void setDataField(const QString &name);
    Field *field() const;

    // Replaces the items: texts[i] stores values[i] (a missing value stores nothing).
    void setItems(const QStringList &texts, const QVariantList &values);
    // The item showing a stored value, or -1.
    int indexOfValue(const QVariant &stored) const;

private:
    void userChose(int index);
    void showField();

    FieldDataLink *m_link;
    bool m_applying = false;
};

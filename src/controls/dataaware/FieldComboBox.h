#pragma once

#include "controls/dataaware/FieldLinkedControl.h"

#include <QComboBox>

// A drop-down list bound to a field that shows texts and stores values (a priority word stores its
// number, a status word its letter): each item's data is the value it stores, and an item whose
// value is null empties the field. Choosing an item stores its value at once.
class FieldComboBox : public QComboBox, public FieldLinkedControl
{
    Q_OBJECT

public:
    explicit FieldComboBox(QWidget *parent = nullptr);

    // Replaces the items: texts[i] stores values[i] (a missing value stores nothing).
    void setItems(const QStringList &texts, const QVariantList &values);
    // The item showing a stored value, or -1.
    int indexOfValue(const QVariant &stored) const;

private:
    void userChose(int index);
    void showField();

    bool m_applying = false;
};

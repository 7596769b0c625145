#pragma once

#include "controls/FieldLinkedControl.h"

#include <QDoubleSpinBox>

class Field;

// A number field with up and down steps: typing or stepping puts the record into edit, and the
// number is stored through the field's conversion when the user leaves the field or presses Enter.
class TQVDBSpinEdit : public QDoubleSpinBox, public FieldLinkedControl
{
    Q_OBJECT

public:
    explicit TQVDBSpinEdit(QWidget *parent = nullptr);

    bool isModified() const { return m_modified; }
    // Stores a changed number now; false when it was refused (and the field's value shows again).
    bool applyChanges();

    void stepBy(int steps) override;

protected:
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool startChange();
    void linkChanged(Field *changedField);
    void showField();

    bool m_modified = false;
    bool m_applying = false;
};

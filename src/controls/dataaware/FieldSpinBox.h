#pragma once

#include "controls/dataaware/TypedFieldControl.h"

#include <QDoubleSpinBox>

class Field;

// A number field with up and down steps: typing or stepping puts the record into edit, and the
// number is stored through the field's conversion when the user leaves the field or presses Enter.
class FieldSpinBox : public QDoubleSpinBox, public TypedFieldControl
{
    Q_OBJECT

public:
    explicit FieldSpinBox(QWidget *parent = nullptr);

    void stepBy(int steps) override;

protected:
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString pendingText() override;
    void showField() override;
};

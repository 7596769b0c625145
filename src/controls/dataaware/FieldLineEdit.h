#pragma once

#include "controls/dataaware/TypedFieldControl.h"

#include <QLineEdit>

class Field;

// A one-line edit bound to a field: shows the current record's value, puts the record into edit
// when the user starts typing and stores the text through the field's conversion when the user
// leaves it or presses Enter; a refused text is reported and the stored value comes back.
class FieldLineEdit : public QLineEdit, public TypedFieldControl
{
    Q_OBJECT

public:
    explicit FieldLineEdit(QWidget *parent = nullptr);

    // Keeps the edit read-only whatever the record allows (a number the system gives).
    bool fieldReadOnly() const { return m_fieldReadOnly; }
    void setFieldReadOnly(bool on);

protected:
    // The text shown for the field, and the text handed to the field for what the user typed.
    virtual QString textOf(const Field &field) const;
    virtual QString textToStore(const QString &typed) const;
    // Replaces the text as if the user had typed it and stores it at once.
    void storeUserText(const QString &text);

    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void userEdited();
    QString pendingText() override;
    void showField() override;

    bool m_fieldReadOnly = false;
};

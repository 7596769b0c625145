#pragma once

#include "controls/dataaware/TypedFieldControl.h"

#include <QPlainTextEdit>

class Field;

// A multi-line plain-text edit bound to a memo or text field: typing puts the record into edit and
// leaving the memo stores the text through the field's conversion.
class FieldPlainTextEdit : public QPlainTextEdit, public TypedFieldControl
{
    Q_OBJECT

public:
    explicit FieldPlainTextEdit(QWidget *parent = nullptr);

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    void userEdited();
    QString pendingText() override;
    void showField() override;

    bool m_loading = false;
};

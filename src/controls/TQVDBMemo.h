#pragma once

#include "controls/FieldLinkedControl.h"

#include <QPlainTextEdit>

class Field;

// A multi-line plain-text edit bound to a memo or text field: typing puts the record into edit and
// leaving the memo stores the text through the field's conversion.
class TQVDBMemo : public QPlainTextEdit, public FieldLinkedControl
{
    Q_OBJECT

public:
    explicit TQVDBMemo(QWidget *parent = nullptr);

    bool isModified() const { return m_modified; }
    // Stores a changed text now; false when it was refused (and the field's value shows again).
    bool applyChanges();

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    void userEdited();
    void linkChanged(Field *changedField);
    void showField();

    bool m_modified = false;
    bool m_applying = false;
    bool m_loading = false;
};

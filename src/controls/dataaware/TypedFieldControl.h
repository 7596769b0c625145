#pragma once

#include "controls/dataaware/FieldLinkedControl.h"

// The editing protocol of the controls the user types into: the first change puts the record
// into edit, the typed text stays pending until it is stored through the field's set-text
// conversion, and the field shows again once it is stored or refused. A control connects its
// link's changed signal to linkChanged() and its updateRecord signal to applyChanges().
class TypedFieldControl : public FieldLinkedControl
{
public:
    // Whether the text differs from the field because the user changed it.
    bool isModified() const { return m_modified; }
    // Stores a changed text now; false when it was refused (and the field's value shows again).
    bool applyChanges();

protected:
    using FieldLinkedControl::FieldLinkedControl;
    ~TypedFieldControl() = default;

    // The user began a change: the record goes into edit. False, with nothing pending, when the
    // record cannot be edited (locked elsewhere, a link without automatic edit).
    bool startChange();
    // The link reports a change: the field shows again, except that what the user is typing stays
    // until it is stored, unless this very field changed underneath.
    void linkChanged(Field *changedField);

    // The text to store for what the user entered.
    virtual QString pendingText() = 0;
    // Shows the field's value as stored; clears m_modified.
    virtual void showField() = 0;

    bool m_modified = false;
    bool m_applying = false;
};

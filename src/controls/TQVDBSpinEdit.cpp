#include "TQVDBSpinEdit.h"

#include "controls/FieldDataLink.h"
#include "controls/TQVDataSourceSrc.h"
#include "engine/Field.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

TQVDBSpinEdit::TQVDBSpinEdit(QWidget *parent)
    : QDoubleSpinBox(parent)
    , FieldLinkedControl(new FieldDataLink(this))
{
    setDecimals(0);
    setSingleStep(1);
    setMaximum(99999);
    setKeyboardTracking(true);
    connect(m_link, &FieldDataLink::changed, this, &TQVDBSpinEdit::linkChanged);
    connect(m_link, &FieldDataLink::updateRecord, this, [this] { applyChanges(); });
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] {
        if (!startChange())
            showField();
    });
    showField();
}

bool TQVDBSpinEdit::startChange()
{
    if (m_modified)
        return true;
    m_modified = true;
    if (m_link->edit())
        return true;
    m_modified = false;
    return false;
}

void TQVDBSpinEdit::stepBy(int steps)
{
    if (isReadOnly() || !startChange())
        return;
    QDoubleSpinBox::stepBy(steps);
}

bool TQVDBSpinEdit::applyChanges()
{
    if (!m_modified || m_applying)
        return true;
    interpretText();
    m_applying = true;
    const bool stored = m_link->applyText(textFromValue(value()));
    m_applying = false;
    m_modified = false;
    showField();
    return stored;
}

void TQVDBSpinEdit::linkChanged(Field *changedField)
{
    if (m_applying)
        return;
    if (m_modified && m_link->isEditing() && changedField != field())
        return;
    showField();
}

void TQVDBSpinEdit::showField()
{
    const Field *f = m_link->field();
    m_modified = false;
    const QSignalBlocker blocker(this);
    setReadOnly(!m_link->canModify());
    setValue(f ? f->asFloat() : 0.0);
}

void TQVDBSpinEdit::focusOutEvent(QFocusEvent *event)
{
    applyChanges();
    QDoubleSpinBox::focusOutEvent(event);
}

void TQVDBSpinEdit::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        applyChanges();
    QDoubleSpinBox::keyPressEvent(event);
}

#include "FieldSpinBox.h"

#include "controls/dataaware/FieldDataLink.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "engine/Field.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

FieldSpinBox::FieldSpinBox(QWidget *parent)
    : QDoubleSpinBox(parent)
    , TypedFieldControl(new FieldDataLink(this))
{
    setDecimals(0);
    setSingleStep(1);
    setMaximum(99999);
    setKeyboardTracking(true);
    connect(m_link, &FieldDataLink::changed, this, [this](Field *f) { linkChanged(f); });
    connect(m_link, &FieldDataLink::updateRecord, this, [this] { applyChanges(); });
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] {
        if (!startChange())
            showField();
    });
    showField();
}

void FieldSpinBox::stepBy(int steps)
{
    if (isReadOnly() || !startChange())
        return;
    QDoubleSpinBox::stepBy(steps);
}

QString FieldSpinBox::pendingText()
{
    interpretText();
    return textFromValue(value());
}

void FieldSpinBox::showField()
{
    const Field *f = m_link->field();
    m_modified = false;
    const QSignalBlocker blocker(this);
    setReadOnly(!m_link->canModify());
    setValue(f ? f->asFloat() : 0.0);
}

void FieldSpinBox::focusOutEvent(QFocusEvent *event)
{
    applyChanges();
    QDoubleSpinBox::focusOutEvent(event);
}

void FieldSpinBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        applyChanges();
    QDoubleSpinBox::keyPressEvent(event);
}

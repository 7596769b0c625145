#include "FieldLineEdit.h"

#include "controls/dataaware/DisplayFormat.h"
#include "controls/dataaware/FieldDataLink.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "engine/Field.h"

#include <QKeyEvent>

FieldLineEdit::FieldLineEdit(QWidget *parent)
    : QLineEdit(parent)
    , TypedFieldControl(new FieldDataLink(this))
{
    connect(m_link, &FieldDataLink::changed, this, [this](Field *f) { linkChanged(f); });
    connect(m_link, &FieldDataLink::updateRecord, this, [this] { applyChanges(); });
    connect(this, &QLineEdit::textEdited, this, &FieldLineEdit::userEdited);
    showField();
}

void FieldLineEdit::setFieldReadOnly(bool on)
{
    m_fieldReadOnly = on;
    showField();
}

QString FieldLineEdit::textOf(const Field &field) const
{
    // Amounts show as the grids show them, at two decimals.
    if (field.isCurrency() && !field.isNull())
        return DisplayFormat::amount(field.asFloat());
    return field.asString();
}

QString FieldLineEdit::textToStore(const QString &typed) const
{
    return typed;
}

void FieldLineEdit::userEdited()
{
    // A record that cannot be edited takes no typing.
    if (!startChange())
        showField();
}

QString FieldLineEdit::pendingText()
{
    return textToStore(text());
}

void FieldLineEdit::storeUserText(const QString &text)
{
    setText(text);
    userEdited();
    applyChanges();
}

void FieldLineEdit::showField()
{
    const Field *f = m_link->field();
    m_modified = false;
    setText(f ? textOf(*f) : QString());
    setReadOnly(m_fieldReadOnly || !m_link->canModify());
    setMaxLength(f && f->dataType() == FieldType::Alpha && f->size() > 0 ? f->size() : 32767);
    setCursorPosition(0);
}

void FieldLineEdit::focusOutEvent(QFocusEvent *event)
{
    applyChanges();
    QLineEdit::focusOutEvent(event);
}

void FieldLineEdit::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        applyChanges();
        selectAll();
        break;
    case Qt::Key_Escape:
        if (m_modified) {
            showField();
            return;
        }
        break;
    default:
        break;
    }
    QLineEdit::keyPressEvent(event);
}

#include "TQVDBEdit.h"

#include "controls/FieldDataLink.h"
#include "controls/TQVDataSourceSrc.h"
#include "engine/Field.h"

#include <QKeyEvent>

TQVDBEdit::TQVDBEdit(QWidget *parent)
    : QLineEdit(parent)
    , FieldLinkedControl(new FieldDataLink(this))
{
    connect(m_link, &FieldDataLink::changed, this, &TQVDBEdit::linkChanged);
    connect(m_link, &FieldDataLink::updateRecord, this, [this] { applyChanges(); });
    connect(this, &QLineEdit::textEdited, this, &TQVDBEdit::userEdited);
    showField();
}

void TQVDBEdit::setFieldReadOnly(bool on)
{
    m_fieldReadOnly = on;
    showField();
}

QString TQVDBEdit::textOf(const Field &field) const
{
    return field.asString();
}

QString TQVDBEdit::textToStore(const QString &typed) const
{
    return typed;
}

void TQVDBEdit::userEdited()
{
    if (m_modified)
        return;
    m_modified = true;
    // A record that cannot be edited (locked elsewhere, link without automatic edit) takes no
    // typing.
    if (!m_link->edit()) {
        m_modified = false;
        showField();
    }
}

bool TQVDBEdit::applyChanges()
{
    if (!m_modified || m_applying)
        return true;
    m_applying = true;
    const bool stored = m_link->applyText(textToStore(text()));
    m_applying = false;
    m_modified = false;
    showField();
    return stored;
}

void TQVDBEdit::storeUserText(const QString &text)
{
    setText(text);
    userEdited();
    applyChanges();
}

void TQVDBEdit::linkChanged(Field *changedField)
{
    if (m_applying)
        return;
    // What the user is typing stays until it is stored, unless this very field changed underneath.
    if (m_modified && m_link->isEditing() && changedField != field())
        return;
    showField();
}

void TQVDBEdit::showField()
{
    const Field *f = m_link->field();
    m_modified = false;
    setText(f ? textOf(*f) : QString());
    setReadOnly(m_fieldReadOnly || !m_link->canModify());
    setMaxLength(f && f->dataType() == FieldType::Alpha && f->size() > 0 ? f->size() : 32767);
    setCursorPosition(0);
}

void TQVDBEdit::focusOutEvent(QFocusEvent *event)
{
    applyChanges();
    QLineEdit::focusOutEvent(event);
}

void TQVDBEdit::keyPressEvent(QKeyEvent *event)
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

#include "TQVDBEdit.h"

#include "controls/dataaware/FieldDataLink.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "engine/Field.h"

#include <QKeyEvent>

TQVDBEdit::TQVDBEdit(QWidget *parent)
    : QLineEdit(parent)
    , TypedFieldControl(new FieldDataLink(this))
{
    connect(m_link, &FieldDataLink::changed, this, [this](Field *f) { linkChanged(f); });
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
    // A record that cannot be edited takes no typing.
    if (!startChange())
        showField();
}

QString TQVDBEdit::pendingText()
{
    return textToStore(text());
}

void TQVDBEdit::storeUserText(const QString &text)
{
    setText(text);
    userEdited();
    applyChanges();
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

#include "FieldPlainTextEdit.h"

#include "controls/dataaware/FieldDataLink.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "engine/Field.h"

FieldPlainTextEdit::FieldPlainTextEdit(QWidget *parent)
    : QPlainTextEdit(parent)
    , TypedFieldControl(new FieldDataLink(this))
{
    connect(m_link, &FieldDataLink::changed, this, [this](Field *f) { linkChanged(f); });
    connect(m_link, &FieldDataLink::updateRecord, this, [this] { applyChanges(); });
    connect(this, &QPlainTextEdit::textChanged, this, &FieldPlainTextEdit::userEdited);
    showField();
}

void FieldPlainTextEdit::userEdited()
{
    if (!m_loading && !startChange())
        showField();
}

QString FieldPlainTextEdit::pendingText()
{
    return toPlainText();
}

void FieldPlainTextEdit::showField()
{
    const Field *f = m_link->field();
    const QString text = f ? f->asString() : QString();
    m_modified = false;
    setReadOnly(!m_link->canModify());
    if (text == toPlainText())
        return;
    m_loading = true;
    setPlainText(text);
    m_loading = false;
}

void FieldPlainTextEdit::focusOutEvent(QFocusEvent *event)
{
    applyChanges();
    QPlainTextEdit::focusOutEvent(event);
}

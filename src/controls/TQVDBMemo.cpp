#include "TQVDBMemo.h"

#include "controls/FieldDataLink.h"
#include "controls/TQVDataSourceSrc.h"
#include "engine/Field.h"

TQVDBMemo::TQVDBMemo(QWidget *parent)
    : QPlainTextEdit(parent)
    , FieldLinkedControl(new FieldDataLink(this))
{
    connect(m_link, &FieldDataLink::changed, this, &TQVDBMemo::linkChanged);
    connect(m_link, &FieldDataLink::updateRecord, this, [this] { applyChanges(); });
    connect(this, &QPlainTextEdit::textChanged, this, &TQVDBMemo::userEdited);
    showField();
}

void TQVDBMemo::userEdited()
{
    if (m_loading || m_modified)
        return;
    m_modified = true;
    if (!m_link->edit()) {
        m_modified = false;
        showField();
    }
}

bool TQVDBMemo::applyChanges()
{
    if (!m_modified || m_applying)
        return true;
    m_applying = true;
    const bool stored = m_link->applyText(toPlainText());
    m_applying = false;
    m_modified = false;
    showField();
    return stored;
}

void TQVDBMemo::linkChanged(Field *changedField)
{
    if (m_applying)
        return;
    if (m_modified && m_link->isEditing() && changedField != field())
        return;
    showField();
}

void TQVDBMemo::showField()
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

void TQVDBMemo::focusOutEvent(QFocusEvent *event)
{
    applyChanges();
    QPlainTextEdit::focusOutEvent(event);
}

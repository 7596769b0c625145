#include "TypedFieldControl.h"

#include "controls/dataaware/FieldDataLink.h"
#include "controls/dataaware/TQVDataSourceSrc.h"

bool TypedFieldControl::applyChanges()
{
    if (!m_modified || m_applying)
        return true;
    const QString text = pendingText();
    m_applying = true;
    const bool stored = m_link->applyText(text);
    m_applying = false;
    showField();
    return stored;
}

bool TypedFieldControl::startChange()
{
    if (m_modified)
        return true;
    m_modified = true;
    if (m_link->edit())
        return true;
    m_modified = false;
    return false;
}

void TypedFieldControl::linkChanged(Field *changedField)
{
    if (m_applying)
        return;
    if (m_modified && m_link->isEditing() && changedField != field())
        return;
    showField();
}

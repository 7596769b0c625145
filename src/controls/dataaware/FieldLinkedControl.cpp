#include "FieldLinkedControl.h"

#include "controls/dataaware/FieldDataLink.h"
#include "controls/dataaware/TQVDataSourceSrc.h"

TQVDataSource *FieldLinkedControl::dataSource() const
{
    return m_link->dataSource();
}

void FieldLinkedControl::setDataSource(TQVDataSource *source)
{
    m_link->setDataSource(source);
}

QString FieldLinkedControl::dataField() const
{
    return m_link->dataField();
}

void FieldLinkedControl::setDataField(const QString &name)
{
    m_link->setDataField(name);
}

Field *FieldLinkedControl::field() const
{
    return m_link->field();
}

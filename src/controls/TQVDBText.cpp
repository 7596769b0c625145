#include "TQVDBText.h"

#include "controls/FieldDataLink.h"
#include "controls/TQVDataSourceSrc.h"
#include "engine/Field.h"

TQVDBText::TQVDBText(QWidget *parent)
    : QLabel(parent)
    , m_link(new FieldDataLink(this))
{
    setTextFormat(Qt::PlainText);
    connect(m_link, &FieldDataLink::changed, this, &TQVDBText::showField);
}

TQVDataSource *TQVDBText::dataSource() const
{
    return m_link->dataSource();
}

void TQVDBText::setDataSource(TQVDataSource *source)
{
    m_link->setDataSource(source);
}

QString TQVDBText::dataField() const
{
    return m_link->dataField();
}

void TQVDBText::setDataField(const QString &name)
{
    m_link->setDataField(name);
}

void TQVDBText::showField()
{
    const Field *f = m_link->field();
    setText(f ? f->displayText() : QString());
}

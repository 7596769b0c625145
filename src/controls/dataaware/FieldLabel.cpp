#include "FieldLabel.h"

#include "controls/dataaware/DisplayFormat.h"
#include "controls/dataaware/FieldDataLink.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "engine/Field.h"

FieldLabel::FieldLabel(QWidget *parent)
    : QLabel(parent)
    , FieldLinkedControl(new FieldDataLink(this))
{
    setTextFormat(Qt::PlainText);
    connect(m_link, &FieldDataLink::changed, this, &FieldLabel::showField);
}

void FieldLabel::showField()
{
    const Field *f = m_link->field();
    setText(f ? DisplayFormat::fieldText(*f, f->value()) : QString());
}

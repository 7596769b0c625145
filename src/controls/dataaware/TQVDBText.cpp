#include "TQVDBText.h"

#include "controls/dataaware/DisplayFormat.h"
#include "controls/dataaware/FieldDataLink.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "engine/Field.h"

TQVDBText::TQVDBText(QWidget *parent)
    : QLabel(parent)
    , FieldLinkedControl(new FieldDataLink(this))
{
    setTextFormat(Qt::PlainText);
    connect(m_link, &FieldDataLink::changed, this, &TQVDBText::showField);
}

void TQVDBText::showField()
{
    const Field *f = m_link->field();
    setText(f ? DisplayFormat::fieldText(*f, f->value()) : QString());
}

#include "FieldProgressBar.h"

#include "controls/dataaware/FieldDataLink.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "engine/Field.h"

#include <algorithm>
#include <cmath>

FieldProgressBar::FieldProgressBar(QWidget *parent)
    : QProgressBar(parent)
    , FieldLinkedControl(new FieldDataLink(this))
{
    setRange(0, 100);
    connect(m_link, &FieldDataLink::changed, this, &FieldProgressBar::showField);
    showField();
}

void FieldProgressBar::showField()
{
    const Field *f = m_link->field();
    const double percent = f ? f->asFloat() : 0.0;
    // NaN and huge numbers must not reach the integer conversion.
    setValue(std::isfinite(percent) ? int(std::lround(std::clamp(percent, 0.0, 100.0))) : 0);
}

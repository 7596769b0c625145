#include "FieldComboBox.h"

#include "controls/dataaware/FieldDataLink.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "engine/Field.h"

#include <QSignalBlocker>

FieldComboBox::FieldComboBox(QWidget *parent)
    : QComboBox(parent)
    , FieldLinkedControl(new FieldDataLink(this))
{
    connect(m_link, &FieldDataLink::changed, this, [this] {
        if (!m_applying)
            showField();
    });
    connect(this, &QComboBox::activated, this, &FieldComboBox::userChose);
    showField();
}

void FieldComboBox::setItems(const QStringList &texts, const QVariantList &values)
{
    const QSignalBlocker blocker(this);
    clear();
    for (qsizetype i = 0; i < texts.size(); ++i)
        addItem(texts.at(i), i < values.size() ? values.at(i) : QVariant());
    showField();
}

int FieldComboBox::indexOfValue(const QVariant &stored) const
{
    const Field *f = m_link->field();
    for (int i = 0; i < count(); ++i) {
        const QVariant value = itemData(i);
        if (value.isNull() || stored.isNull()) {
            if (value.isNull() && stored.isNull())
                return i;
            continue;
        }
        if (f && f->isNumeric()) {
            bool ok = false;
            const double number = value.toString().toDouble(&ok);
            if (ok && number == stored.toDouble())
                return i;
        } else if (value.toString() == stored.toString()) {
            return i;
        }
    }
    return -1;
}

void FieldComboBox::userChose(int index)
{
    const QVariant value = itemData(index);
    m_applying = true;
    m_link->applyText(value.isNull() ? QString() : value.toString());
    m_applying = false;
    showField();
}

void FieldComboBox::showField()
{
    const Field *f = m_link->field();
    const QSignalBlocker blocker(this);
    setEnabled(m_link->canModify());
    const int index = f ? indexOfValue(f->value()) : -1;
    setCurrentIndex(index);
    // A stored value that no item stands for still shows, greyed.
    setPlaceholderText(index < 0 && f ? f->asString() : QString());
}

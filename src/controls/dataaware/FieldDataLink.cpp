#include "FieldDataLink.h"

#include "controls/dataaware/TQVDataSourceSrc.h"
#include "controls/window/CommandGuard.h"
#include "engine/Field.h"

#include <QWidget>

FieldDataLink::FieldDataLink(QWidget *control)
    : QObject(control)
    , m_control(control)
{ }

void FieldDataLink::setDataSource(TQVDataSource *source)
{
    if (m_source == source)
        return;
    m_source = source;
    connectSource();
    emit changed(nullptr);
}

void FieldDataLink::setDataField(const QString &name)
{
    if (m_dataField == name)
        return;
    m_dataField = name;
    emit changed(nullptr);
}

void FieldDataLink::connectSource()
{
    for (const auto &connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    if (!m_source)
        return;
    const auto everything = [this] { emit changed(nullptr); };
    m_connections << connect(m_source, &DataSource::dataSetChanged, this, everything)
                  << connect(m_source, &DataSource::stateChanged, this, everything)
                  << connect(m_source, &DataSource::currentChanged, this, everything)
                  << connect(m_source, &DataSource::dataChanged, this, everything)
                  << connect(m_source, &DataSource::fieldChanged, this, &FieldDataLink::changed)
                  << connect(m_source, &DataSource::updateRecord, this, &FieldDataLink::updateRecord)
                  << connect(m_source, &QObject::destroyed, this, everything);
}

Field *FieldDataLink::field() const
{
    if (!m_source || !m_source->isActive() || m_dataField.isEmpty())
        return nullptr;
    return m_source->dataSet()->findField(m_dataField);
}

bool FieldDataLink::canModify() const
{
    const Field *f = field();
    return f && f->kind() == Field::Kind::Data;
}

bool FieldDataLink::isEditing() const
{
    return m_source && m_source->isEditing();
}

bool FieldDataLink::edit()
{
    if (!canModify())
        return false;
    if (m_source->isEditing())
        return true;
    if (!m_source->autoEdit())
        return false;
    runGuarded(m_control, [this] { m_source->edit(); });
    return m_source && m_source->isEditing();
}

bool FieldDataLink::applyText(const QString &text)
{
    if (!edit())
        return false;
    return runGuarded(m_control, [this, &text] {
        if (Field *f = field())
            f->setAsString(text);
    });
}

#include "TQVDataSourceSrc.h"

TQVDataSource::TQVDataSource(QObject *parent)
    : DataSource(parent)
{ }

DataSetState TQVDataSource::state() const
{
    return dataSet() ? dataSet()->state() : DataSetState::Inactive;
}

bool TQVDataSource::isEditing() const
{
    return dataSet() && dataSet()->isEditing();
}

bool TQVDataSource::isActive() const
{
    return dataSet() && dataSet()->active();
}

void TQVDataSource::edit()
{
    if (state() == DataSetState::Browse)
        dataSet()->edit();
}

#include "engine/DataSource.h"

#include "engine/TableView.h"

DataSource::DataSource(QObject *parent)
    : QObject(parent)
{ }

void DataSource::setDataSet(TableView *view)
{
    if (m_dataSet == view)
        return;
    for (const auto &connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    m_dataSet = view;
    if (view) {
        m_connections << connect(view, &TableView::updateRecord, this, &DataSource::updateRecord)
                      << connect(view, &TableView::stateChanged, this, &DataSource::stateChanged)
                      << connect(
                             view, &TableView::currentChanged, this, &DataSource::currentChanged)
                      << connect(view, &TableView::fieldChanged, this, &DataSource::fieldChanged)
                      << connect(view, &TableView::dataChanged, this, &DataSource::dataChanged);
    }
    emit dataSetChanged();
}

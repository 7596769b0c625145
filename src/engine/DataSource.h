#pragma once

#include <QObject>
#include <QPointer>

class Field;
class TableView;

// A link between a table view and whatever shows or follows it (controls, detail views). The view
// it points to may be switched at run time; followers hear one set of signals whichever view it is.
class DataSource : public QObject
{
    Q_OBJECT

public:
    explicit DataSource(QObject *parent = nullptr);

    TableView *dataSet() const { return m_dataSet; }
    void setDataSet(TableView *view);

signals:
    void dataSetChanged();
    void updateRecord();
    void stateChanged();
    void currentChanged();
    void fieldChanged(Field *field);
    void dataChanged();

private:
    QPointer<TableView> m_dataSet;
    QList<QMetaObject::Connection> m_connections;
};

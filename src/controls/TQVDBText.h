#pragma once

#include <QLabel>

class FieldDataLink;
class TQVDataSource;

// A read-only label showing a field of the current record as grids show it (money as currency).
class TQVDBText : public QLabel
{
    Q_OBJECT

public:
    explicit TQVDBText(QWidget *parent = nullptr);

    TQVDataSource *dataSource() const;
    void setDataSource(TQVDataSource *source);
    QString dataField() const;
    void setDataField(const QString &name);

private:
    void showField();

    FieldDataLink *m_link;
};

#pragma once

#include <QProgressBar>

class FieldDataLink;
class TQVDataSource;

// A progress bar showing a percentage field of the current record (a job's percentage complete);
// values outside 0 to 100 show as the nearest end.
class TQVDBProgressBar : public QProgressBar
{
    Q_OBJECT

public:
    explicit TQVDBProgressBar(QWidget *parent = nullptr);

    TQVDataSource *dataSource() const;
    void setDataSource(TQVDataSource *source);
    QString dataField() const;
    void setDataField(const QString &name);

private:
    void showField();

    FieldDataLink *m_link;
};

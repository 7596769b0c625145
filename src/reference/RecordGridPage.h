#pragma once

#include <QWidget>

class TQVDataSource;
class TQVDBGrid;
class TQVTable;
struct GridColumn;

// A list edited in place under a tool bar of record commands: "New" (focus the grid, then
// insert), "Save", "Cancel" and "Delete" (after asking), all acting on the page's own table.
class RecordGridPage : public QWidget
{
    Q_OBJECT

public:
    RecordGridPage(TQVTable *table,
        const QString &name,
        const QList<GridColumn> &columns,
        QWidget *parent = nullptr);

    TQVDataSource *source() const { return m_source; }
    TQVDBGrid *grid() const { return m_grid; }

    void btnNewClick();
    void btnSaveClick();
    void btnCancelClick();
    void btnDeleteClick();

private:
    TQVDataSource *m_source;
    TQVDBGrid *m_grid;
};

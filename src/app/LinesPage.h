#pragma once

#include "controls/dataaware/TQVDBGridSrc.h"

#include <QWidget>

class QToolButton;
class TQVDataSource;

// A line page ("Materials" or "Labour"): the lines of the current quote or job in a grid, with
// the buttons that add, edit and delete them.
class LinesPage : public QWidget
{
    Q_OBJECT

public:
    struct Design
    {
        QString gridName;
        // Widths as designed, in pixels; a negative width is a number of characters.
        QList<GridColumn> columns;
        QString layoutKey;
        QString addName, addHint;
        QString editName, editHint;
        QString deleteName, deleteHint;
    };

    static Design materials();
    static Design labour();

    LinesPage(const Design &design, TQVDataSource *lines, QWidget *parent = nullptr);

    TQVDBGrid *grid() const { return m_grid; }
    QToolButton *addButton() const { return m_add; }
    QToolButton *editButton() const { return m_edit; }
    QToolButton *deleteButton() const { return m_delete; }

private:
    TQVDBGrid *m_grid;
    QToolButton *m_add;
    QToolButton *m_edit;
    QToolButton *m_delete;
};

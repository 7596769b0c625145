#pragma once

#include "controls/dataaware/TQVDBGridSrc.h"

#include <QFontMetrics>
#include <QStyle>
#include <QWidget>

#include <algorithm>
#include <cmath>

// The windows were designed in pixels for a small font whose characters average five pixels
// across. Column widths grow with the font the desktop actually uses, so a column still shows
// what it was sized for; a column designed without a width gets room for a number of characters,
// as a grid sizes a column from its field's display width.
namespace DesignScale {

inline double factor(const QWidget *widget)
{
    return std::max(1.0, widget->fontMetrics().averageCharWidth() / 5.0);
}

inline GridColumn column(
    const QWidget *grid, const QString &field, const QString &title, int designPixels)
{
    return { field, title, int(std::lround(designPixels * factor(grid))) };
}

inline GridColumn columnOfChars(
    const QWidget *grid, const QString &field, const QString &title, int characters)
{
    return { field, title, grid->fontMetrics().averageCharWidth() * characters + 8 };
}

// A column at least wide enough to show sample whole in a cell of the grid: dates and amounts
// are wider at some fonts than their design allowed.
inline GridColumn fitting(const QWidget *grid, GridColumn column, const QString &sample)
{
    const int margins = 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1);
    column.width = std::max(column.width, grid->fontMetrics().horizontalAdvance(sample) + margins + 4);
    return column;
}

// The columns as designed, a negative width being a number of characters, at the grid's font.
inline QList<GridColumn> columns(const QWidget *grid, const QList<GridColumn> &designed)
{
    QList<GridColumn> result;
    for (const GridColumn &c : designed) {
        result << (c.width < 0 ? columnOfChars(grid, c.fieldName, c.title, -c.width)
                               : column(grid, c.fieldName, c.title, c.width));
    }
    return result;
}

} // namespace DesignScale

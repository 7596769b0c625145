#pragma once

#include <QAction>
#include <QWidget>

// A hint is written as "short|long": the tool tip shows the short part and the status bar the long
// part; a hint without "|" is both.
namespace Hints {

inline QString shortPart(const QString &hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.left(bar);
}

inline void setHint(QWidget *widget, const QString &hint)
{
    widget->setToolTip(shortPart(hint));
    widget->setStatusTip(hint);
}

inline void setHint(QAction *action, const QString &hint)
{
    action->setToolTip(shortPart(hint));
    action->setStatusTip(hint);
}

} // namespace Hints

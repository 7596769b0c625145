#pragma once

#include <QObject>

// Returns the mouse cursor to the normal arrow whenever the application becomes idle, so a command
// may show the hourglass and leave clearing it to this rule. The application-start cursor
// (Qt::BusyCursor) is the one override that stays. Several instances may live at once; they agree.
class IdleCursorRule : public QObject
{
    Q_OBJECT

public:
    explicit IdleCursorRule(QObject *parent);

    // Clears the override cursors now, as becoming idle does.
    static void applyIdleRule();
};

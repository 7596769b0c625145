#pragma once

#include "controls/window/OverrideCursor.h"

#include <functional>

class QWidget;

// Runs one user command and shows any error it raises in the application's standard error box;
// nothing it throws ever reaches the Qt event loop. True when the command ran to its end.
bool runGuarded(QWidget *parent, const std::function<void()> &command) noexcept;

// The hourglass for the length of a scope; the idle rule would clear it in any case.
class WaitCursor : public OverrideCursor
{
public:
    WaitCursor()
        : OverrideCursor(Qt::WaitCursor)
    { }
};

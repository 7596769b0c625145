#pragma once

#include <Qt>

// Shows an application-wide cursor for the lifetime of the object. The idle rule may have taken
// the cursor away already; then the destructor leaves whatever cursor is showing alone.
class OverrideCursor
{
public:
    explicit OverrideCursor(Qt::CursorShape shape);
    ~OverrideCursor();

    OverrideCursor(const OverrideCursor &) = delete;
    OverrideCursor &operator=(const OverrideCursor &) = delete;

private:
    Qt::CursorShape m_shape;
};

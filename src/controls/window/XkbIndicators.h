#pragma once

#include <QByteArray>

#include <memory>
#include <optional>

struct _XDisplay;

// The keyboard indicators (Caps Lock, Num Lock) as an X server keeps them through its keyboard
// extension. This is right on any X display, also a remote or virtual one where the kernel
// publishes no keyboard light. Xlib stays inside the source file: its macros clash with Qt's.
class XkbIndicators
{
public:
    // Opens a connection of its own to the display (empty: $DISPLAY); null when there is no such
    // display or it lacks the keyboard extension.
    static std::shared_ptr<XkbIndicators> open(const QByteArray &displayName = {});
    // The display the application itself shows on when it runs on X11, else null.
    static std::shared_ptr<XkbIndicators> forApplication();

    ~XkbIndicators();
    XkbIndicators(const XkbIndicators &) = delete;
    XkbIndicators &operator=(const XkbIndicators &) = delete;

    // The indicator of that name ("Caps Lock", "Num Lock"); nullopt when the server has none.
    std::optional<bool> state(const char *indicatorName) const;

private:
    explicit XkbIndicators(_XDisplay *display);

    _XDisplay *m_display;
};

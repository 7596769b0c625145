#include "XkbIndicators.h"

#include <QGuiApplication>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

std::shared_ptr<XkbIndicators> XkbIndicators::open(const QByteArray &displayName)
{
    int event = 0;
    int error = 0;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    int reason = 0;
    Display *display = XkbOpenDisplay(displayName.isEmpty() ? nullptr : displayName.constData(),
        &event, &error, &major, &minor, &reason);
    if (!display)
        return nullptr;
    return std::shared_ptr<XkbIndicators>(new XkbIndicators(display));
}

std::shared_ptr<XkbIndicators> XkbIndicators::forApplication()
{
    // Only when the application shows on X11 is $DISPLAY known to answer.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    return open();
}

XkbIndicators::XkbIndicators(_XDisplay *display)
    : m_display(display)
{ }

XkbIndicators::~XkbIndicators()
{
    XCloseDisplay(m_display);
}

std::optional<bool> XkbIndicators::state(const char *indicatorName) const
{
    const Atom name = XInternAtom(m_display, indicatorName, True);
    if (name == None)
        return std::nullopt;
    Bool on = False;
    if (!XkbGetNamedIndicator(m_display, name, nullptr, &on, nullptr, nullptr))
        return std::nullopt;
    return on == True;
}

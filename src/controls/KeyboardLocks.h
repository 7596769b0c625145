#pragma once

#include <QString>

#include <optional>

// Reads the Caps Lock and Num Lock state. Qt has no call for it, so this reads the keyboard
// indicator lights the Linux kernel publishes under /sys/class/leds (the desktop keeps them in step
// with the lock state on X11 and Wayland alike). Without such a light, for example on a remote
// display, the state is unknown.
class KeyboardLocks
{
public:
    explicit KeyboardLocks(const QString &ledsFolder = defaultLedsFolder());

    static QString defaultLedsFolder();

    // On when any keyboard's light is on; nullopt when no keyboard has that light.
    std::optional<bool> capsLock() const;
    std::optional<bool> numLock() const;

private:
    std::optional<bool> lightState(const QString &lightName) const;

    QString m_ledsFolder;
};

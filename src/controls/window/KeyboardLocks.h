#pragma once

#include <QString>

#include <memory>
#include <optional>

class XkbIndicators;

// Reads the Caps Lock and Num Lock state. Qt has no call for it. The display server knows it where
// it can tell (on X11, its keyboard extension's indicators); otherwise this reads the keyboard
// lights the Linux kernel publishes under /sys/class/leds, which the desktop keeps in step with the
// lock state. Without either, for example offscreen, the state is unknown.
class KeyboardLocks
{
public:
    explicit KeyboardLocks(const QString &ledsFolder = defaultLedsFolder(),
        std::shared_ptr<XkbIndicators> display = displayOfApplication());

    static QString defaultLedsFolder();
    static std::shared_ptr<XkbIndicators> displayOfApplication();

    // On when the display (else any keyboard's light) says so; nullopt when neither can tell.
    std::optional<bool> capsLock() const;
    std::optional<bool> numLock() const;

private:
    std::optional<bool> lightState(const QString &lightName) const;

    QString m_ledsFolder;
    std::shared_ptr<XkbIndicators> m_display;
};

#include "KeyboardLocks.h"

#include "controls/window/XkbIndicators.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

KeyboardLocks::KeyboardLocks(const QString &ledsFolder, std::shared_ptr<XkbIndicators> display)
    : m_ledsFolder(ledsFolder)
    , m_display(std::move(display))
{ }

std::shared_ptr<XkbIndicators> KeyboardLocks::displayOfApplication()
{
    return XkbIndicators::forApplication();
}

QString KeyboardLocks::defaultLedsFolder()
{
    return u"/sys/class/leds"_s;
}

std::optional<bool> KeyboardLocks::capsLock() const
{
    if (m_display) {
        if (const std::optional<bool> state = m_display->state("Caps Lock"))
            return state;
    }
    return lightState(u"capslock"_s);
}

std::optional<bool> KeyboardLocks::numLock() const
{
    if (m_display) {
        if (const std::optional<bool> state = m_display->state("Num Lock"))
            return state;
    }
    return lightState(u"numlock"_s);
}

std::optional<bool> KeyboardLocks::lightState(const QString &lightName) const
{
    // Each keyboard has its own light, named like "input3::capslock".
    const QDir folder(m_ledsFolder);
    const QStringList lights = folder.entryList(
        { u"*::"_s + lightName }, QDir::Dirs | QDir::NoDotAndDotDot | QDir::System);
    std::optional<bool> state;
    for (const QString &light : lights) {
        QFile brightness(folder.filePath(light + u"/brightness"_s));
        if (!brightness.open(QIODevice::ReadOnly))
            continue;
        bool ok = false;
        const int level = brightness.read(16).trimmed().toInt(&ok);
        if (!ok)
            continue;
        state = state.value_or(false) || level > 0;
    }
    return state;
}

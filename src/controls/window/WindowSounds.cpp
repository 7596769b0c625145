#include "WindowSounds.h"

#include "controls/window/SystemSound.h"

#include <QEvent>
#include <QWidget>
#include <QWindowStateChangeEvent>

using namespace Qt::StringLiterals;

WindowSounds::WindowSounds(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    window->installEventFilter(this);
}

bool WindowSounds::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window && event->type() == QEvent::WindowStateChange) {
        const bool wasMinimised =
            static_cast<QWindowStateChangeEvent *>(event)->oldState() & Qt::WindowMinimized;
        const bool isMinimised = m_window->windowState() & Qt::WindowMinimized;
        if (isMinimised && !wasMinimised)
            SystemSound::playEvent(u"Minimize"_s);
        else if (wasMinimised && !isMinimised)
            SystemSound::playEvent(u"RestoreUp"_s);
    }
    return QObject::eventFilter(watched, event);
}

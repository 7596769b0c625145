#pragma once

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// Acts on modal windows that a command opens with its own event loop: the action runs from that
// loop as soon as a window of the wanted kind is the active modal one. Nothing here waits a fixed
// time; a window that never comes simply never gets the action.
namespace ModalDialogs {

// Runs action once, on the next modal window of type T.
template <typename T> void whenShown(std::function<void(T *)> action)
{
    auto *poll = new QTimer(qApp);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, action] {
        T *window = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!window || !window->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        action(window);
    });
    poll->start();
}

// Runs action on every modal window of type T while the returned watch lives.
template <typename T> std::unique_ptr<QTimer> everyTime(std::function<void(T *)> action)
{
    auto poll = std::make_unique<QTimer>();
    poll->setInterval(5);
    QObject::connect(poll.get(), &QTimer::timeout, poll.get(), [action] {
        T *window = qobject_cast<T *>(QApplication::activeModalWidget());
        if (window && window->isVisible() && !window->property("handledByWatch").toBool()) {
            window->setProperty("handledByWatch", true);
            action(window);
        }
    });
    poll->start();
    return poll;
}

// Runs command, which opens a modal window of type T, and drives that window from its own event
// loop while it is open. A window the driver left open is closed afterwards, so nothing ever waits
// on it. Returns whether the window came; the watch ends with the call either way.
template <typename T>
bool whileOpen(const std::function<void()> &command, const std::function<void(T *)> &drive)
{
    bool driven = false;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        T *window = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!window || !window->isVisible())
            return;
        poll.stop();
        driven = true;
        drive(window);
        if (window->isVisible())
            window->done(QDialog::Rejected);
    });
    poll.start();
    command();
    return driven;
}

// Saves a picture of a window when TESSORIN_SHOTS names a folder (to look at under Xvfb).
inline void shoot(QWidget *window, const QString &name)
{
    const QString folder = qEnvironmentVariable("TESSORIN_SHOTS");
    if (!folder.isEmpty())
        window->grab().save(folder + QStringLiteral("/") + name + QStringLiteral(".png"));
}

} // namespace ModalDialogs

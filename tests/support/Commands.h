#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QTest>
#include <QWidget>

// Runs a window's command the way the user does, through its action (menu item, tool button,
// shortcut) or its button, so that a test also proves the command is wired to what the user sees.
// A disabled action or button does nothing, as for the user.
inline void trigger(QWidget *window, const QString &name)
{
    if (auto *action = window->findChild<QAction *>(name)) {
        action->trigger();
        return;
    }
    auto *button = window->findChild<QAbstractButton *>(name);
    QVERIFY2(button, qPrintable(QStringLiteral("no action or button named ") + name));
    button->click();
}

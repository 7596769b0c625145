#pragma once

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
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

// Chooses the entry shown as item in the window's list of that name, as picking it with the mouse
// does: the list is opened first (a lookup fills it then) and the choice is reported as the
// user's.
inline void choose(QWidget *window, const QString &name, const QString &item)
{
    auto *combo = window->findChild<QComboBox *>(name);
    QVERIFY2(combo, qPrintable(QStringLiteral("no list named ") + name));
    combo->showPopup();
    combo->hidePopup();
    const int index = combo->findText(item);
    QVERIFY2(index >= 0, qPrintable(name + QStringLiteral(": no ") + item));
    combo->setCurrentIndex(index);
    emit combo->activated(index);
    QCoreApplication::processEvents();
}

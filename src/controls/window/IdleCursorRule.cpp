#include "IdleCursorRule.h"

#include <QAbstractEventDispatcher>
#include <QCursor>
#include <QGuiApplication>

IdleCursorRule::IdleCursorRule(QObject *parent)
    : QObject(parent)
{
    // The event loop is about to wait for the next event: nothing is left to do, the program is
    // idle.
    if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance(thread()))
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
            &IdleCursorRule::applyIdleRule);
}

void IdleCursorRule::applyIdleRule()
{
    while (const QCursor *top = QGuiApplication::overrideCursor()) {
        if (top->shape() == Qt::BusyCursor)
            return;
        QGuiApplication::restoreOverrideCursor();
    }
}

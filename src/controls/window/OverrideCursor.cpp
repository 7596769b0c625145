#include "OverrideCursor.h"

#include <QCursor>
#include <QGuiApplication>

OverrideCursor::OverrideCursor(Qt::CursorShape shape)
    : m_shape(shape)
{
    QGuiApplication::setOverrideCursor(QCursor(shape));
}

OverrideCursor::~OverrideCursor()
{
    const QCursor *top = QGuiApplication::overrideCursor();
    if (top && top->shape() == m_shape)
        QGuiApplication::restoreOverrideCursor();
}

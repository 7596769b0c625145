#include "controls/window/HelpRequest.h"

#include <QApplication>
#include <QShortcut>
#include <QWidget>

namespace {

HelpRequest::Handler &handler()
{
    static HelpRequest::Handler current;
    return current;
}

} // namespace

namespace HelpRequest {

void setHandler(Handler h)
{
    handler() = std::move(h);
}

void request(QWidget *from)
{
    if (handler() && from)
        handler()(from);
}

void install(QWidget *window, int context)
{
    window->setProperty(ContextProperty, context);
    auto *f1 = new QShortcut(QKeySequence(Qt::Key_F1), window);
    f1->setContext(Qt::WindowShortcut);
    QObject::connect(f1, &QShortcut::activated, window, [window] {
        QWidget *focus = QApplication::focusWidget();
        request(focus && focus->window() == window ? focus : window);
    });
}

} // namespace HelpRequest

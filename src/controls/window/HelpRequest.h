#pragma once

#include <functional>

class QWidget;

// F1 in any window: the window asks here for the help of the widget that has the focus, and the
// program's help window, which the application sets as the handler, shows its topic. Windows of
// the lower layers (documents, reference) thus offer help without depending on the application.
namespace HelpRequest {

// The property under which a widget carries its help context number.
inline constexpr const char *ContextProperty = "helpContext";

using Handler = std::function<void(QWidget *from)>;

// The help the program shows; with none set, F1 does nothing.
void setHandler(Handler handler);
// Asks for the help of from (the handler finds its context from the widget outwards).
void request(QWidget *from);
// Gives window the help context number and an F1 key that asks for the help of its focused
// widget, or of the window itself when nothing in it has the focus.
void install(QWidget *window, int context);

} // namespace HelpRequest

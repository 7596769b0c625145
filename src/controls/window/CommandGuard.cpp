#include "CommandGuard.h"

#include "controls/window/Messages.h"
#include "engine/Exception.h"

#include <QString>

#include <exception>

using namespace Qt::StringLiterals;

namespace {

void reportError(QWidget *parent, const QString &text) noexcept
{
    try {
        ShowErrorBox(text, parent);
    } catch (...) {
        // Not even the box could be shown (out of memory); there is nobody left to tell.
    }
}

} // namespace

bool runGuarded(QWidget *parent, const std::function<void()> &command) noexcept
{
    try {
        command();
        return true;
    } catch (const Exception &error) {
        reportError(parent, error.message());
    } catch (const std::exception &error) {
        reportError(parent, QString::fromUtf8(error.what()));
    } catch (...) {
        reportError(parent, u"An unexpected error stopped the command."_s);
    }
    return false;
}

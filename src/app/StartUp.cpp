#include "StartUp.h"

#include "app/FormSplash.h"
#include "app/Version.h"
#include "controls/window/Messages.h"

#include <QApplication>

using namespace Qt::StringLiterals;

namespace StartUp {

void setUpApplication()
{
    QApplication::setOrganizationName(u"Velbric"_s);
    QApplication::setApplicationName(Version::InternalName);
    QApplication::setApplicationVersion(Version::FileVersion);
    setApplicationTitle(Version::ApplicationTitle);
}

std::function<void(const QString &)> failureReport(std::unique_ptr<TfrmSplash> &splash)
{
    return [&splash](const QString &text) {
        splash.reset();
        ShowInfoMessage(text);
    };
}

} // namespace StartUp

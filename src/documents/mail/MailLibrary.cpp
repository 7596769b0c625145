#include "documents/mail/MailLibrary.h"

#include "documents/mail/MailSettings.h"
#include "documents/mail/SmtpMail.h"
#include "documents/mail/XdgEmailMail.h"

#include <QTemporaryDir>

namespace {

MailLibrary *&currentLibrary()
{
    static MailLibrary *library = nullptr;
    return library;
}

std::unique_ptr<MailSystem> chooseSystem()
{
    const MailSettings settings = MailSettings::load();
    if (settings.isSet() && SmtpMail::isSupported())
        return std::make_unique<SmtpMail>(settings);
    // A server chosen but not named yet: the mail program, until it is.
    if (XdgEmailMail::isUsable())
        return std::make_unique<XdgEmailMail>();
    return nullptr;
}

} // namespace

MailLibrary::MailLibrary()
    : MailLibrary(nullptr)
{
    m_system = chooseSystem();
    m_chosen = true;
}

void MailLibrary::settingsChanged()
{
    if (m_chosen)
        m_system = chooseSystem();
}

MailLibrary::MailLibrary(std::unique_ptr<MailSystem> system)
    : m_system(std::move(system))
    , m_previous(currentLibrary())
{
    SmtpMail::initLibrary();
    currentLibrary() = this;
}

MailLibrary::~MailLibrary()
{
    m_kept.clear();
    m_system.reset();
    currentLibrary() = m_previous;
    SmtpMail::cleanupLibrary();
}

MailLibrary *MailLibrary::current()
{
    return currentLibrary();
}

void MailLibrary::keepUntilExit(std::unique_ptr<QTemporaryDir> folder)
{
    m_kept.push_back(std::move(folder));
}

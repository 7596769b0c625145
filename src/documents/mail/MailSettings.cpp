#include "documents/mail/MailSettings.h"

#include "controls/window/TQVRegistry.h"
#include "documents/mail/MailPassword.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

const QString mailKey = u"\\Software\\Velbric\\Tessorin\\Mail"_s;

} // namespace

bool MailSettings::isLocalHost(const QString &host)
{
    const QString name = host.trimmed();
    if (name.compare(u"localhost"_s, Qt::CaseInsensitive) == 0)
        return true;
    // 127.0.0.0/8 and ::1, written as addresses.
    static const QRegularExpression loopback(
        uR"(^(127(\.\d{1,3}){3}|\[?(0{0,4}:){2,7}0{0,3}1\]?)$)"_s);
    return loopback.match(name).hasMatch();
}

QString MailSettings::securityName(Security security)
{
    switch (security) {
    case Security::None:
        return u"None"_s;
    case Security::Tls:
        return u"TLS"_s;
    case Security::StartTls:
        break;
    }
    return u"STARTTLS"_s;
}

MailSettings::Security MailSettings::securityFromName(const QString &name)
{
    if (name.compare(u"None"_s, Qt::CaseInsensitive) == 0)
        return Security::None;
    if (name.compare(u"TLS"_s, Qt::CaseInsensitive) == 0)
        return Security::Tls;
    return Security::StartTls; // never weaker than asked for by mistake
}

MailSettings MailSettings::load()
{
    MailSettings settings;
    TQVRegistry registry;
    if (!registry.openKey(mailKey, false))
        return settings;
    // A hand-edited value of the wrong type counts as not set rather than stopping the program.
    const auto text = [&registry](const QString &name) {
        try {
            return registry.readString(name).trimmed();
        } catch (const ERegistryException &) {
            return QString();
        }
    };
    settings.host = text(u"Host"_s);
    const QString send = text(u"Send"_s);
    // Settings written before there was a choice send through the server they name.
    settings.useServer = send.isEmpty() ? !settings.host.isEmpty()
                                        : send.compare(u"Server"_s, Qt::CaseInsensitive) == 0;
    try {
        if (registry.valueType(u"Port"_s) == TQVRegistry::ValueType::Integer)
            settings.port = registry.readInteger(u"Port"_s);
    } catch (const ERegistryException &) {
        // not a number: the usual port
    }
    settings.security = securityFromName(text(u"Security"_s));
    settings.user = text(u"User"_s);
    settings.from = text(u"From"_s);
    settings.certificates = text(u"Certificates"_s);
    const MailPassword::Stored password = MailPassword::read();
    settings.password = password.password;
    settings.passwordProblem = password.problem;
    return settings;
}

void MailSettings::save() const
{
    TQVRegistry registry;
    if (!registry.openKey(mailKey, true))
        throw ERegistryException(u"The mail settings cannot be stored."_s);
    registry.writeString(u"Send"_s, useServer ? u"Server"_s : u"Program"_s);
    registry.writeString(u"Host"_s, host.trimmed());
    registry.writeInteger(u"Port"_s, port);
    registry.writeString(u"Security"_s, securityName(security));
    registry.writeString(u"User"_s, user.trimmed());
    registry.writeString(u"From"_s, from.trimmed());
    registry.writeString(u"Certificates"_s, certificates.trimmed());
    MailPassword::write(password);
}

#include "documents/mail/MailSettings.h"

#include "controls/window/TQVRegistry.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace {

const QString mailKey = u"\\Software\\Velbric\\Tessorin\\Mail"_s;

} // namespace

QString MailSettings::passwordFile()
{
    return QDir(TQVRegistry::rootPath()).filePath(u"mail-password"_s);
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
    settings.host = registry.readString(u"Host"_s);
    if (registry.valueType(u"Port"_s) == TQVRegistry::ValueType::Integer)
        settings.port = registry.readInteger(u"Port"_s);
    settings.security = securityFromName(registry.readString(u"Security"_s));
    settings.user = registry.readString(u"User"_s);
    settings.from = registry.readString(u"From"_s);
    QFile password(passwordFile());
    if (password.open(QIODevice::ReadOnly))
        settings.password = QString::fromUtf8(password.readAll()).trimmed();
    return settings;
}

void MailSettings::save() const
{
    TQVRegistry registry;
    if (!registry.openKey(mailKey, true))
        throw ERegistryException(u"The mail settings cannot be stored."_s);
    registry.writeString(u"Host"_s, host);
    registry.writeInteger(u"Port"_s, port);
    registry.writeString(u"Security"_s, securityName(security));
    registry.writeString(u"User"_s, user);
    registry.writeString(u"From"_s, from);

    QDir().mkpath(TQVRegistry::rootPath());
    QSaveFile file(passwordFile());
    // Readable by the user alone from the moment it exists.
    if (!file.open(QIODevice::WriteOnly)
        || !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        || file.write(password.toUtf8()) < 0 || !file.commit())
        throw Exception(u"The mail password cannot be stored: %1"_s.arg(file.errorString()));
}

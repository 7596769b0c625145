#include "Version.h"

#include <QHash>

using namespace Qt::StringLiterals;

QString Version::value(const QString &name)
{
    static const QHash<QString, QString> values {
        { u"ProductName"_s, ProductName },
        { u"InternalName"_s, InternalName },
        { u"FileVersion"_s, FileVersion },
        { u"ProductVersion"_s, ProductVersion },
        { u"FileDescription"_s, FileDescription },
        { u"OriginalFilename"_s, OriginalFilename },
    };
    const QString found = values.value(name);
    return found.isEmpty() ? NoVersionInfo : found;
}

QString Version::labelText(const QString &prefix, const QString &name)
{
    return prefix.isEmpty() ? value(name) : prefix + u' ' + value(name);
}

#pragma once

#include <QString>

// The program's version resource: the values the splash window, the About box and the message
// boxes show, compiled in.
namespace Version {

inline const QString ProductName = QStringLiteral("Velbric Tessorin");
inline const QString InternalName = QStringLiteral("Tessorin");
inline const QString FileVersion = QStringLiteral("1.0.1.3");
inline const QString ProductVersion = QStringLiteral("1.0.1.3");
inline const QString FileDescription = QStringLiteral("Job Quotes Software");
inline const QString OriginalFilename = QStringLiteral("Tessorin.exe");
inline const QString CompileDate = QStringLiteral("14-Feb-1999");

inline const QString ApplicationTitle = QStringLiteral("Velbric Tessorin");
inline const QString HelpFile = QStringLiteral("Tessorin.hlp");
inline const QString HomePage = QStringLiteral("https://www.velbric.example/tessorin/");

inline const QString NoVersionInfo = QStringLiteral("< No Version Info >");

// One string value of the resource by its name ("ProductName", "FileVersion"...); an unknown or
// empty value reads as "< No Version Info >".
QString value(const QString &name);

// What a version label shows: the value, after the prefix and a blank when there is a prefix.
QString labelText(const QString &prefix, const QString &name);

} // namespace Version

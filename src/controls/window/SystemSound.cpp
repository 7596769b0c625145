#include "SystemSound.h"

#include "controls/window/TQVRegistry.h"

#include <QApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

QString SystemSound::eventSoundFile(TQVRegistry &registry, const QString &eventName)
{
    const QString key =
        u"\\AppEvents\\Schemes\\Apps\\"_s + u".Default\\"_s + eventName + u"\\.Current"_s;
    if (!registry.openKey(key, false))
        return {};
    QString file;
    try {
        file = registry.readString(QString());
    } catch (const ERegistryException &) {
        // A default value of another type names no file.
    }
    registry.closeKey();
    return file;
}

void SystemSound::playEvent(const QString &eventName)
{
    TQVRegistry registry;
    const QString file = eventSoundFile(registry, eventName);
    if (!file.isEmpty() && QFileInfo(file).isFile())
        playFile(file);
}

void SystemSound::playFile(const QString &file)
{
    for (const QString &player : { u"paplay"_s, u"pw-play"_s, u"aplay"_s }) {
        const QString program = QStandardPaths::findExecutable(player);
        if (!program.isEmpty() && QProcess::startDetached(program, { file }))
            return;
    }
    QApplication::beep();
}

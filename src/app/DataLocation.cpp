#include "app/DataLocation.h"

#include "data/DataDirectory.h"
#include "controls/window/TQVRegistry.h"
#include "data/DataModuleMain.h"
#include "engine/Exception.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

const QString DataLocation::registryKey = u"\\Software\\Velbric\\Tessorin"_s;
const QString DataLocation::registryValue = u"DataDirectory"_s;

namespace {

QString cleanAbsolute(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

bool isEmptyDirectory(const QString &path)
{
    return QDir(path).isEmpty(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

} // namespace

QString DataLocation::perUserDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u"/DATA"_s;
}

DataLocation::DataLocation(const QString &executableFilePath, const QString &perUserDirectory)
    : m_besideProgram(cleanAbsolute(TDM::dataDirectoryFor(executableFilePath)))
    , m_perUser(cleanAbsolute(perUserDirectory))
    , m_directory(m_perUser)
{ }

void DataLocation::choose(const QString &commandLine, TQVRegistry &registry)
{
    m_commandLineIgnored = false;
    if (QFileInfo(m_besideProgram).isDir()) {
        m_directory = m_besideProgram;
        m_source = Source::BesideProgram;
        m_commandLineIgnored = !commandLine.isEmpty();
        return;
    }
    if (!commandLine.isEmpty()) {
        m_directory = cleanAbsolute(commandLine);
        m_source = Source::CommandLine;
        return;
    }
    const QString before = remembered(registry);
    if (!before.isEmpty()) {
        m_directory = cleanAbsolute(before);
        m_source = Source::Remembered;
        return;
    }
    m_directory = m_perUser;
    m_source = Source::PerUserDefault;
}

// Makes the user's own directory at its first start; refuses a directory that cannot be written.
// Returns the reason of a refusal, empty when the directory may be opened.
QString DataLocation::prepare() const
{
    const QFileInfo info(m_directory);
    const bool ours = m_source == Source::PerUserDefault;
    if (ours && (!info.exists() || (info.isDir() && isEmptyDirectory(m_directory)))) {
        try {
            createDataDirectory(m_directory);
        } catch (const Exception &error) {
            return error.message();
        }
        return {};
    }
    if (info.isDir() && !info.isWritable()) {
        return u"The data directory %1 cannot be written"_s.arg(
            QDir::toNativeSeparators(m_directory));
    }
    return {};
}

bool DataLocation::open(TDM &dm, TQVRegistry &registry) const
{
    const QString refusal = prepare();
    if (!refusal.isEmpty()) {
        dm.startupFailure(TDM::startupFailureText(refusal));
        dm.requestTermination();
        return false;
    }
    dm.setDataDirectory(m_directory);
    dm.DMCreate();
    if (dm.isConnected() && m_source == Source::CommandLine)
        remember(registry, m_directory);
    return dm.isConnected();
}

QString DataLocation::remembered(TQVRegistry &registry)
{
    if (!registry.openKey(registryKey, false))
        return {};
    QString directory;
    try {
        directory = registry.readString(registryValue);
    } catch (const ERegistryException &) {
        // A value of another type names no directory.
    }
    registry.closeKey();
    return directory;
}

bool DataLocation::remember(TQVRegistry &registry, const QString &directory)
{
    if (!registry.openKey(registryKey, true))
        return false;
    bool written = true;
    try {
        registry.writeString(registryValue, directory);
    } catch (const ERegistryException &) {
        written = false;
    }
    registry.closeKey();
    return written;
}

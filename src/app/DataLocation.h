#pragma once

#include <QString>

class TDM;
class TQVRegistry;

// Where this copy of the program keeps its data. The directory DATA beside the program wins
// whenever it exists, so the build tree and a copy run from a shared folder keep working. Else the
// directory named on the command line, else the one this user named there before (a shared folder
// is named once on each computer), else a directory of this user's own under the user's data
// folder, which is made empty at the first start.
class DataLocation
{
public:
    enum class Source
    {
        BesideProgram,
        CommandLine,
        Remembered,
        PerUserDefault,
    };

    // The per-user registry key and value that remember a directory named on the command line.
    static const QString registryKey;
    static const QString registryValue;

    // The user's own data directory: "DATA" in the program's folder of the user's data folder.
    static QString perUserDirectory();

    // perUserDirectory is the user's own data directory (tests pass a temporary one).
    DataLocation(const QString &executableFilePath, const QString &perUserDirectory);

    // Picks the directory for this start. commandLine is the --data value, empty when none.
    void choose(const QString &commandLine, TQVRegistry &registry);
    const QString &directory() const { return m_directory; }
    Source source() const { return m_source; }
    // True when --data named a directory but the one beside the program was taken instead.
    bool commandLineIgnored() const { return m_commandLineIgnored; }

    // Connects dm to the chosen directory. Only the user's own directory is made when it is missing
    // or empty; no other directory gets a file it did not have. A directory that cannot be written
    // is refused. On any failure dm reports the message and asks the program to end, as its own
    // start-up does, and nothing is remembered. A directory named on the command line is
    // remembered for this user once it opened. Returns whether dm is connected.
    bool open(TDM &dm, TQVRegistry &registry) const;

    static QString remembered(TQVRegistry &registry);
    static bool remember(TQVRegistry &registry, const QString &directory);

private:
    QString prepare() const;

    QString m_besideProgram;
    QString m_perUser;
    QString m_directory;
    Source m_source = Source::PerUserDefault;
    bool m_commandLineIgnored = false;
};

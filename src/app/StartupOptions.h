#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// The program's command line. It is read twice: before the application object exists, so that
// --help and --version answer on the terminal without needing a display, and again once the
// application has taken its own options (-platform and the like) out of the list.
class StartupOptions
{
public:
    enum class Outcome
    {
        Run, // start the program
        Answered, // help or version was printed; end with exit code 0
        Refused, // the command line is wrong; the reason is printed; end with exit code 2
    };

    // Answers --help and --version on out; anything else (even an error) is left to parse().
    static bool answerInformation(const QStringList &arguments, QTextStream &out);
    // Reads the options, printing a wrong command line's reason on err.
    Outcome parse(const QStringList &arguments, QTextStream &out, QTextStream &err);

    // The directory given with --data, empty when none was.
    const QString &dataDirectory() const { return m_dataDirectory; }
    // --quit-after-start: end as soon as the main window is up; the exit code says whether the
    // data directory opened.
    bool quitAfterStart() const { return m_quitAfterStart; }

private:
    QString m_dataDirectory;
    bool m_quitAfterStart = false;
};

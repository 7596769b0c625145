#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A print scheduler of the tests' own: cupsd in the foreground on a Unix socket in a temporary
// folder, with its own configuration, spool and logs, never the machine's. Under root it runs as
// the print system's own user. It stops when this object goes, or when the test process dies.
// The process's print client (and so every QPrinter) talks to it once start() has succeeded.
class LocalPrintServer
{
public:
    LocalPrintServer();
    ~LocalPrintServer();
    LocalPrintServer(const LocalPrintServer &) = delete;
    LocalPrintServer &operator=(const LocalPrintServer &) = delete;

    // The first of the print system's programs this needs that is not installed, or an empty
    // string.
    static QString missingProgram();

    // Starts the scheduler and waits until it takes requests; false with *why when it cannot.
    bool start(QString *why);

    // Adds an enabled queue named name, the default one, whose jobs (PDF, passed through
    // unchanged) land in outputFile(name), each job replacing the last; or removes it again.
    bool addQueue(const QString &name, QString *why);
    bool removeQueue(const QString &name, QString *why);
    QString outputFile(const QString &name) const;
    // Waits until the scheduler has no job left to process on any queue.
    bool waitUntilIdle(QString *why);

    QString socketPath() const;

private:
    // Runs a print client program against the scheduler: true with its output in *output, or
    // false with what went wrong.
    bool admin(const QString &name, const QStringList &arguments, QString *output);
    bool writeFile(const QString &name, const QByteArray &text, bool executable = false);

    QTemporaryDir m_dir;
    QProcess m_scheduler;
};

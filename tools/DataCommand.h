#pragma once

#include "data/Errors.h"

#include <QString>
#include <QStringList>

class QTextStream;

// Exit codes of the data tool, as scripts and the build see them.
enum ExitCode : int
{
    ExitOk = 0,
    ExitFailure = 1, // the command ran and refused or failed; the message is on stderr
    ExitUsage = 2, // the command line was wrong; usage is on stderr
};

// A refusal or failure of a data tool command, with the message for the person running it: the
// same error the data layer raises when it refuses a data directory.
using DataToolError = EDataDirectory;

// One command of the data tool: its name, how it is called and the function that runs it with
// the arguments after the command name. A command without options of its own is answered
// "--help" for, and refused any other argument that begins with "-", before it runs: such an
// argument is never a directory or file name (but "--server URL" for a command that takes it).
struct DataCommand
{
    QString name;
    QString synopsis;
    QString summary;
    int (*run)(const QStringList &arguments, QTextStream &out, QTextStream &err);
    bool ownOptions = false;
    // Takes "--server URL" (the one option of such a command).
    bool serverOption = false;
};

#pragma once

// The data tool run in process, as its command line would run it: the exit code and what it wrote.
// Header only: the tests that use it link the data tool themselves.
#include "DataTool.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

struct ToolRun
{
    int code = -1;
    QString out;
    QString err;
};

inline ToolRun runTool(const QStringList &arguments)
{
    ToolRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.code = runDataTool(arguments, out, err);
    return run;
}

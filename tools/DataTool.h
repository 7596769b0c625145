#pragma once

#include <QStringList>

class QTextStream;

// Runs the data tool for the arguments after the program name and returns its exit code.
int runDataTool(const QStringList &arguments, QTextStream &out, QTextStream &err);

#pragma once

#include "data/DataDirectory.h"

#include <QStringList>

class QTextStream;

// "create DIR [--server URL]".
int runCreateCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);

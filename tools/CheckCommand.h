#pragma once

#include <QStringList>

class QTextStream;

// "check DIR".
int runCheckCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);

#pragma once

#include <QStringList>

class QTextStream;

// "attach DIR URL": a data directory for another computer, for an existing database of ours.
int runAttachCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);

// "move-to-server DIR URL": an embedded data directory's data into an empty server database,
// then the directory switched to the server.
int runMoveToServerCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);

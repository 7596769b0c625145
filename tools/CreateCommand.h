#pragma once

#include <QStringList>

class QTextStream;

// Makes a new, empty data directory at path (creating it when missing): every table file of the
// schema and the row of the key counter. Refuses, with DataToolError and without touching
// anything, a path that already holds table files. Any failure throws an Exception with its
// message and leaves nothing of the new directory behind.
void createDataDirectory(const QString &path);

// "create DIR".
int runCreateCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);

#pragma once

#include <QStringList>

class QTextStream;
class TDM;

// Fills the data directory at path with a demo business (creating the directory when missing; a
// directory that names a server is filled on the server).
// Every record goes through a data module started on the directory, so keys, numbers, totals and
// printed rows are those the program itself makes. Refuses, with DataToolError and without
// writing, a directory that already holds quotes, jobs, clients or price lists.
void fillDemoDirectory(const QString &path);

// The demo business written through a data module that is already started.
void fillDemoData(TDM &dm);

// "demo DIR".
int runDemoCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);

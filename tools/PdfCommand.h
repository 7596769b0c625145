#pragma once

#include <QStringList>

class QTextStream;

// "pdf": a quote or job document from a data directory, or a saved report file, written as PDF.
int runPdfCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);


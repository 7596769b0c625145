#pragma once

#include <QStringList>

class QTextStream;

// "pdf DIR summary quotes|jobs [--status C,H,I,P] OUT.pdf": the quote or job summary of a data
// directory as a PDF. Without --status it lists what the criteria dialog starts with: the
// headers in progress. The file appears whole or not at all.
int runSummaryPdf(const QStringList &args, QTextStream &out, QTextStream &err);

#pragma once

#include <QStringList>

class QTextStream;

// "import-prices DIR FILE": reads a price-list file (CSV, UTF-8, header row) into the data
// directory as one operation, or refuses it whole, listing every bad row with its line.
int runImportPricesCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);

// "export-prices DIR FILE": writes the data directory's materials and labour rates to FILE.
int runExportPricesCommand(const QStringList &arguments, QTextStream &out, QTextStream &err);

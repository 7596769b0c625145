#pragma once

#include <QString>
#include <QVariant>

// Runs one SQL statement on a table of a data directory's database through a plain connection of
// its own, outside the engine, and returns the first value of the first row: null when there is
// none, or when the statement fails (with a warning). In the statement the table is called data
// ("SELECT Total FROM data"); path is the table's place as the data directory's path followed by
// the table name, as in "<dir>/Quotes.DB".
QVariant runOnFile(const QString &path, const QString &sql);

// The same with the directory and the table given apart.
QVariant runOnTable(const QString &directory, const QString &table, const QString &sql);

// The statement with the word data, outside string literals and quoted names, made the quoted
// table name.
QString onTable(const QString &table, const QString &sql);
// The same, with the column names written bare in the tables' spelling quoted, as a server needs
// them when quoteColumns is set.
QString onTable(const QString &table, const QString &sql, bool quoteColumns);

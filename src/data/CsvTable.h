#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Comma-separated text as spreadsheets exchange it: UTF-8, fields quoted with double quotes when
// they hold a comma, a quote or a line break, quotes inside doubled, records ended by CR LF.
namespace CsvTable {

// One record as read, with the line of the file it starts on (1-based) and, for a record that
// could not be read, why.
struct Record
{
    int line = 0;
    QStringList fields;
    QString error;
};

// Splits UTF-8 text into records. A byte-order mark is skipped; LF alone also ends a record;
// blank lines are skipped. A record with a stray quote comes back with its error; an unclosed
// quote takes the rest of the text into its record, which comes back with that error.
QList<Record> read(const QByteArray &utf8);

// One field as written: quoted only when it has to be.
QString field(const QString &text);
// One record, ended by CR LF.
QString record(const QStringList &fields);

} // namespace CsvTable

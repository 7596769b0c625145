#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Comma-separated text as spreadsheets exchange it: fields quoted with double quotes when
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

// Splits text into records. LF alone also ends a record; blank lines are skipped. A record with
// a stray quote comes back with its error; an unclosed quote takes the rest of the text into its
// record, which comes back with that error.
QList<Record> read(const QString &text);
// The same for the bytes of a file, decoded as TextDecoding says.
QList<Record> read(const QByteArray &bytes);

// One field as written: quoted only when it has to be.
QString field(const QString &text);
// One record, ended by CR LF.
QString record(const QStringList &fields);

} // namespace CsvTable

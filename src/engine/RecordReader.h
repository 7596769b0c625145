#pragma once

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

class TQVDatabase;

// Every record of one table read once, forward, in the order of the given fields (then as
// stored), without a view's ordered list of records or its cache: for exports and imports that
// go through a whole table of hundreds of thousands of records. Values are as a view's fields
// hold them, by the field's declared index.
class RecordReader
{
public:
    RecordReader(TQVDatabase &database, int file, const QStringList &orderFields);
    RecordReader(const RecordReader &) = delete;
    RecordReader &operator=(const RecordReader &) = delete;

    // Moves to the next record; false after the last.
    bool next();
    QVariant value(int field) const { return m_query.value(field); }

private:
    QSqlQuery m_query;
};

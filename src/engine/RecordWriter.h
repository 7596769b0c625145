#pragma once

#include <QHash>
#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVector>

class TQVDatabase;

// Many records of one table written inside the current operation, each kind of statement
// prepared once and run for every record: the bulk side of a view's post, for imports of
// thousands of records. No hook of any view runs; the caller keeps the rules a post would.
// Values are stored as a view's fields store them. The table is noted as written, so every
// view of it reads it again when the operation ends and other copies hear of the change. A writer
// serves one operation.
class RecordWriter
{
public:
    RecordWriter(TQVDatabase &database, int file);
    RecordWriter(const RecordWriter &) = delete;
    RecordWriter &operator=(const RecordWriter &) = delete;

    // The row id of every record by the text of field, as stored; the first record in row-id
    // order where several have the same text. Read inside the operation's write transaction, so
    // what other copies saved before it is in and nothing they save can come in meanwhile.
    QHash<QString, qint64> rowidsBy(const QString &field);

    // Adds a record with values in the table's declared field order (null where not given).
    void add(const QVector<QVariant> &values);
    // Sets the fields (by declared index) of the record with row id rowid to values (in the same
    // order as fields). Throws EDatabaseError when the record is gone.
    void change(qint64 rowid, const QList<int> &fields, const QVariantList &values);

private:
    QVariant stored(int field, const QVariant &value) const;
    QSqlQuery prepared(const QString &sql);
    void noteWritten();

    TQVDatabase &m_database;
    int m_file;
    QSqlQuery m_insert;
    bool m_insertReady = false;
    QHash<QList<int>, QSqlQuery> m_updates; // by the fields they set
};

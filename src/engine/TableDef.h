#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The field types a table file can hold.
enum class FieldType
{
    Alpha, // text of at most size characters; longer values are cut when stored
    Number,
    Money, // a number shown as currency
    NumberMoney, // a Number field that views show as currency
    Date,
    Memo,
    Graphic,
};

struct FieldDef
{
    QString name;
    FieldType type = FieldType::Alpha;
    int size = 0; // characters, for Alpha only
};

struct IndexDef
{
    QString name;
    QStringList fields;
};

// The declaration of one table: its exact file name (the table's name in the database), its
// fields in order, its primary key and its named secondary indexes. Lookup indexes only speed up
// counts and searches: they are made with a new table, and a table without them still opens.
struct TableDef
{
    QString fileName;
    QList<FieldDef> fields;
    QStringList primaryKey;
    QList<IndexDef> indexes;
    QList<IndexDef> lookupIndexes = {};
    // A number field every write of the table changes, a counter each write raises: the embedded
    // store counts none of the table's writes, other copies see them in the field itself.
    QString changeField = {};

    int fieldIndex(const QString &name) const; // -1 when absent (names compare case-insensitively)
    const IndexDef *index(const QString &name) const; // nullptr when absent
};

// Every table of a data directory.
struct Schema
{
    QList<TableDef> tables;

    // The file a table name refers to: the exact name, else the name with the default format's
    // ".DB" extension (names compare case-insensitively). nullptr when there is none.
    const TableDef *resolve(const QString &tableName) const;
};

QString fieldTypeName(FieldType type);
bool isNumericType(FieldType type);

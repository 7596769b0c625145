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

// The declaration of one table file: its exact file name, its fields in order, its primary key
// and its named secondary indexes.
struct TableDef
{
    QString fileName;
    QList<FieldDef> fields;
    QStringList primaryKey;
    QList<IndexDef> indexes;

    int fieldIndex(const QString &name) const; // -1 when absent (names compare case-insensitively)
    const IndexDef *index(const QString &name) const; // nullptr when absent
};

// Files that one user operation writes together. Every group is one connection with its files
// attached, so a commit across them is atomic.
struct WriterGroup
{
    QString name;
    QStringList fileNames;
};

// Every table file of a data directory and the groups in which they are written.
struct Schema
{
    QList<TableDef> tables;
    QList<WriterGroup> groups; // files in no group get a group of their own

    // The file a table name refers to: the exact name, else the name with the default format's
    // ".DB" extension (names compare case-insensitively). nullptr when there is none.
    const TableDef *resolve(const QString &tableName) const;
};

QString fieldTypeName(FieldType type);
bool isNumericType(FieldType type);

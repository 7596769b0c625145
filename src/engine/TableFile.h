#pragma once

#include "engine/TableDef.h"

#include <QString>

// How a table file is stored: one SQLite database holding one table named "data", whose column
// types carry the field types ("ALPHA_TEXT(30)", "NUMBER_REAL", "MONEY_REAL", "NUMBER_MONEY_REAL",
// "DATE_TEXT" as yyyy-MM-dd, "MEMO_TEXT", "GRAPHIC_BLOB"), with the primary key and the named
// secondary indexes. The file is in rollback-journal mode and marked with our application id.
namespace TableFile {

inline constexpr int applicationId = 0x54455353;
inline constexpr int formatVersion = 1;

QString columnType(const FieldDef &field);

// Creates the file at path for def. Throws EDatabaseError when the file exists or cannot be made.
void create(const QString &path, const TableDef &def);

// The SQL text of the table and its indexes in the schema alias (e.g. "f3"), for tests and
// creation.
QStringList createStatements(
    const TableDef &def, const QString &schemaAlias = QStringLiteral("main"));

// Checks that the SQLite database attached as schemaAlias on the connection holds def exactly:
// fields in order with their types and sizes, the primary key and every named index.
// Throws EDatabaseError naming the file and what is wrong.
void validate(const QString &connectionName,
    const QString &schemaAlias,
    const TableDef &def,
    const QString &filePath);

QString quoted(const QString &identifier); // "name" with inner quotes doubled

} // namespace TableFile

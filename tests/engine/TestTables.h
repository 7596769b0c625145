#pragma once

#include "engine/TableDef.h"

#include <QString>

class TQVDatabase;

// A small table set for the engine's tests: headers with lines that hooks keep in step, customers,
// a key counter and settings kept in a file without extension.
const Schema &testSchema();

// Creates every file of testSchema() in directory.
void createTestTables(const QString &directory);

// Points database at directory with the test schema and connects it.
void connectTestDatabase(TQVDatabase &database, const QString &directory);

#pragma once

#include "engine/TableDef.h"

#include <QString>

#include <memory>

class TableView;
class TQVDatabase;

// A small table set for the engine's tests: headers with lines that hooks keep in step, customers,
// a key counter, settings kept in files without extension, and files keyed by a text code.
const Schema &testSchema();

// Creates the database of testSchema() in directory.
void createTestTables(const QString &directory);

// Points database at directory with the test schema and connects it.
void connectTestDatabase(TQVDatabase &database, const QString &directory);

// A view of table in database, opened.
std::unique_ptr<TableView> openView(TQVDatabase &database, const QString &table);

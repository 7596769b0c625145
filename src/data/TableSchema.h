#pragma once

#include "engine/TableDef.h"

// The table files of a data directory, their fields, keys and indexes, and the groups written
// together.
const Schema &tessorinSchema();

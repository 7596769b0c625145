#pragma once

#include "engine/TableDef.h"

// The tables of a data directory, their fields, keys and indexes.
const Schema &tessorinSchema();

#pragma once

#include <QString>

// Which store the tests' data directories are made in. A test registered for both stores runs
// twice: as itself, on the embedded database, and as its server variant (TESSORIN_TEST_STORE set
// to "server"), where each new data directory gets a database of its own on the tests' throwaway
// cluster, dropped when the test program ends.
namespace TestStore {

// Whether this run is the server variant and the cluster is there. Without a cluster the variant
// runs on the embedded database with a warning, or fails in continuous integration.
bool onServer();

// The connection keywords of a new, empty database on the cluster, as a data directory's
// Tessorin.server holds them. Only in the server variant.
QString newServerDatabase();

} // namespace TestStore

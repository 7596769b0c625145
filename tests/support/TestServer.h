#pragma once

#include "ExternalTool.h"

#include <QString>
#include <QTest>

// A database of its own on the tests' throwaway PostgreSQL cluster (scripts/pg-test-cluster, whose
// socket directory CTest passes in TESSORIN_TEST_PGHOST), dropped with everything in it when the
// object goes. Server locks and sessions are per database, so tests running at once never meet.
class TestServer
{
public:
    TestServer();
    ~TestServer();
    TestServer(const TestServer &) = delete;
    TestServer &operator=(const TestServer &) = delete;

    bool isAvailable() const { return m_problem.isEmpty(); }
    // Why there is no server to test on.
    QString problem() const { return m_problem; }
    QString socketDirectory() const { return m_host; }
    QString databaseName() const { return m_database; }
    // The connection keywords of the database, as a data directory's Tessorin.server holds them.
    QString keywords() const;
    // Runs sql as the cluster's superuser on the test database; the error's text, or empty.
    QString execute(const QString &sql) const;

private:
    QString m_host;
    QString m_database;
    QString m_problem;
};

// Skips the calling test when server has no cluster to test on, or fails it in continuous
// integration, where a missing server is a missing install step.
#define REQUIRE_SERVER(server)                                                                     \
    do {                                                                                           \
        if (!(server).isAvailable()) {                                                             \
            if (ExternalTool::inContinuousIntegration())                                           \
                QFAIL(qPrintable((server).problem()));                                             \
            QSKIP(qPrintable((server).problem()));                                                 \
        }                                                                                          \
    } while (false)

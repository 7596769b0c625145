#include "engine/StatementCounter.h"

#include <QMutex>

#include <sqlite3.h>

#include <atomic>
#include <cstdio>
#include <cstring>

namespace {

std::atomic<long long> dataStatements { 0 };
std::atomic<long long> lockStatements { 0 };
std::atomic<bool> logging { false };
std::atomic<bool> recording { false };
QMutex recordedLock;
QStringList recordedTexts;

int onTrace(unsigned type, void *context, void *, void *text)
{
    const char *sql = static_cast<const char *>(text);
    // A trigger's statements are reported again with a leading comment: counted once.
    if (type != SQLITE_TRACE_STMT || !sql || std::strncmp(sql, "--", 2) == 0)
        return 0;
    auto *counter = static_cast<std::atomic<long long> *>(context);
    ++*counter;
    if (logging)
        std::fprintf(stderr, "[sql %s] %s\n", counter == &lockStatements ? "locks" : "data", sql);
    if (recording && counter == &dataStatements) {
        const QMutexLocker locker(&recordedLock);
        recordedTexts << QString::fromUtf8(sql);
    }
    return 0;
}

// Runs for every connection SQLite opens from now on.
int traceConnection(sqlite3 *db, const char **, const sqlite3_api_routines *)
{
    const char *file = sqlite3_db_filename(db, "main");
    const std::size_t length = file ? std::strlen(file) : 0;
    const bool isData = length >= 3 && std::strcmp(file + length - 3, ".db") == 0;
    sqlite3_trace_v2(db, SQLITE_TRACE_STMT, onTrace, isData ? &dataStatements : &lockStatements);
    return SQLITE_OK;
}

} // namespace

void StatementCounter::install()
{
    static const bool installed = [] {
        sqlite3_auto_extension(reinterpret_cast<void (*)()>(traceConnection));
        return true;
    }();
    (void)installed;
}

StatementCounter::Counts StatementCounter::counts()
{
    return { dataStatements.load(), lockStatements.load() };
}

void StatementCounter::setLogging(bool on)
{
    logging = on;
}

void StatementCounter::setRecording(bool on)
{
    const QMutexLocker locker(&recordedLock);
    recordedTexts.clear();
    recording = on;
}

QStringList StatementCounter::recorded()
{
    const QMutexLocker locker(&recordedLock);
    return recordedTexts;
}

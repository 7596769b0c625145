#pragma once

#include <QStringList>

// Counts the SQL statements this process sends to SQLite, on every connection opened after
// install(): the data directory's database and the lock-control files apart. For benchmarks and
// tests that hold an operation to the statements it needs; nothing in the program installs it.
// With logging on, each statement's text goes to standard error as it starts; with recording on,
// the database's statements are kept for a test to examine.
class StatementCounter
{
public:
    struct Counts
    {
        long long data = 0;  // statements on the database of the data directory
        long long locks = 0; // statements on the lock-control files
        long long total() const { return data + locks; }
    };

    static void install();
    static Counts counts();
    static void setLogging(bool on);
    // While on, the text of each statement sent to the data directory's database is kept.
    static void setRecording(bool on);
    static QStringList recorded();

    // The statements sent while work ran.
    template <typename Work> static Counts of(Work &&work)
    {
        const Counts before = counts();
        work();
        const Counts after = counts();
        return { after.data - before.data, after.locks - before.locks };
    }
};

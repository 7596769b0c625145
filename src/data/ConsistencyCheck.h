#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class SqlStore;

// Reads a data directory's data (its database, or the server's it names) and lists every place where it is damaged or where the stored
// data breaks the rules the data module keeps: header sums against their lines, one printed row
// per line, keys issued once and below the key counter, number counters ahead of the numbers
// made from them, and no undo row left over. One checker may run many times over the same
// directory (each run reads the database as one commit left it), so a test can check after every
// step.
class ConsistencyCheck
{
public:
    struct Counts
    {
        int quotes = 0;
        int jobs = 0;
        int lines = 0;
        int printedRows = 0;
        int keys = 0;
        double currentKey = 0;
    };

    // Opens the store of directory (as the program does) and checks its tables are as declared. Throws EDataDirectory when it is missing, foreign or cannot be
    // opened.
    explicit ConsistencyCheck(const QString &directory);
    ~ConsistencyCheck();
    ConsistencyCheck(const ConsistencyCheck &) = delete;
    ConsistencyCheck &operator=(const ConsistencyCheck &) = delete;

    // One line per problem found; empty when the data is consistent. Throws EDataDirectory when a
    // file cannot be read.
    QStringList run();
    const Counts &counts() const { return m_counts; }
    QString summary() const;

    // Two stored sums agree when they differ by no more than the rounding of adding the same
    // charges in another order.
    static bool sameAmount(double a, double b);

private:
    void checkDocuments(bool job, QStringList &problems);
    void checkKeys(QStringList &problems);
    void checkCounter(bool job, QStringList &problems);
    void checkUndoRows(QStringList &problems);

    QString m_directory;
    std::unique_ptr<SqlStore> m_store;
    Counts m_counts;
};

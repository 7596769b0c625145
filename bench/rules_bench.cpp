// Times the business rules on a fresh data directory: saving a material and a labour line (every
// table a save writes, in one transaction), taking a key and posting a client, each against plain
// SQLite committing the same rows on the same disk; copying a 200-line quote into a job and
// deleting all lines of a 200-line quote. Beside each time, the statements the operation sends
// (on the database + on the lock-control files). Runs on an empty data directory, then on one
// holding 200,000 lines and 20,000 quotes, in one run.
//
//   rules_bench [--log] [DIR]   DIR: where to make the data directories (default: the temporary
//                               folder); --log: print the statements of one of each operation
#include "data/DataDirectory.h"
#include "BenchDataModule.h"
#include "data/DataModuleMain.h"
#include "data/TableSchema.h"
#include "engine/EmbeddedStore.h"
#include "engine/Field.h"
#include "engine/StatementCounter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int lineCount = 200;
bool logOne = false;

// Runs body(i) with the statements of the middle run printed when asked.
void maybeLogged(int i, const std::function<void(int)> &body)
{
    const bool log = logOne && i == lineCount / 2;
    if (log)
        std::fprintf(stderr, "--- one operation:\n");
    StatementCounter::setLogging(log);
    body(i);
    StatementCounter::setLogging(false);
}

QString statementText(const StatementCounter::Counts &counts, int operations)
{
    return QString::asprintf("%5.1f stmts (%.1f + %.1f locks)", double(counts.total()) / operations,
        double(counts.data) / operations, double(counts.locks) / operations);
}

StatementCounter::Counts lastCounts;

double millisecondsEach(int count, const std::function<void(int)> &body)
{
    QElapsedTimer clock;
    const StatementCounter::Counts before = StatementCounter::counts();
    clock.start();
    for (int i = 0; i < count; ++i)
        maybeLogged(i, body);
    const double ms = clock.nsecsElapsed() / 1e6 / count;
    const StatementCounter::Counts after = StatementCounter::counts();
    lastCounts = { (after.data - before.data) / count, (after.locks - before.locks) / count };
    return ms;
}

void report(const char *what,
    double ms,
    double baseline = 0,
    const char *against = "",
    const StatementCounter::Counts &counts = lastCounts)
{
    const QByteArray statements = statementText(counts, 1).toLatin1();
    if (baseline > 0)
        std::printf("%-52s %9.3f ms  %s  (%.2fx %s)\n", what, ms, statements.constData(),
            ms / baseline, against);
    else
        std::printf("%-52s %9.3f ms  %s\n", what, ms, statements.constData());
    std::fflush(stdout);
}

// Plain SQLite committing the rows the program's operations write, in a database of the same
// tables on the same disk: one transaction per operation, no hooks, no views, no locks.
class PlainSqlite
{
public:
    explicit PlainSqlite(const QString &directory)
    {
        const QString path = QDir(directory).filePath(u"plain.db"_s);
        EmbeddedStore::create(path, tessorinSchema());
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
        db.setDatabaseName(path);
        if (!db.open())
            qFatal("%s", qPrintable(db.lastError().text()));
        run(u"INSERT INTO \"PKey.DB\" VALUES (1, 0)"_s);
        run(u"INSERT INTO \"Quotes.DB\" (Quote_ID, Quote_No, TotalMaterials, QuoteTotal) "
            "VALUES (1, 'Q1', 0, 0)"_s);
    }
    ~PlainSqlite()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }

    void key()
    {
        run(u"BEGIN IMMEDIATE"_s);
        run(bump());
        run(u"COMMIT"_s);
    }
    // A material line: its two keys, the line, its printed row and the header's sums.
    void materialLine()
    {
        const double key = 1000 + 2.0 * m_next++;
        run(u"BEGIN IMMEDIATE"_s);
        run(bump());
        run(bump());
        run(u"INSERT INTO \"QMat.DB\" (Quote_ID, Quote_No, Material_ID, MaterialCode, "
            "MaterialDesc, CurrentPrice, Quantity, TotalQuantity, UnitCost, SalesTax, "
            "TotalSalesTax, RetailMarkup, TotalMarkup, TotalCharge, Quote_RepID, Heading_ID) "
            "VALUES (?, 'Q1', 3, 'PIPE15', 'Copper pipe 15 mm', 13.65, 2, 27.3, 9.4, 10, 2.7, "
            "45, 27.3, 27.3, ?, 1)"_s,
            { key, key + 1 });
        run(u"INSERT INTO \"RepQte.DB\" (ID, Number, Code, Description, Qty, Cost, "
            "Total_Cost, Rep_ID, Heading_ID) VALUES (?, 'Q1', 'PIPE15', 'Copper pipe 15 mm', "
            "2, 13.65, 27.3, ?, 1)"_s,
            { key + 1, key + 1 });
        run(u"UPDATE \"Quotes.DB\" SET TotalMaterials = TotalMaterials + 27.3, QuoteTotal = "
            "QuoteTotal + 27.3, TotalSalesTax = 2.7 WHERE Quote_ID = 1"_s);
        run(u"COMMIT"_s);
    }
    // A client: its key and its row.
    void client()
    {
        run(u"BEGIN IMMEDIATE"_s);
        run(bump());
        run(u"INSERT INTO \"Clients.DB\" (Client_ID, Contact) VALUES (?, 'Client')"_s,
            { 100000.0 + m_next++ });
        run(u"COMMIT"_s);
    }

private:
    static QString bump()
    {
        return u"UPDATE \"PKey.DB\" SET CurrentKey = CurrentKey + 1 WHERE PrimaryKey = 1"_s;
    }
    void run(const QString &sql, const QVariantList &values = {})
    {
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        query.prepare(sql);
        for (const QVariant &value : values)
            query.addBindValue(value);
        if (!query.exec())
            qFatal("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
    }

    QString m_name = u"bench-plain"_s;
    int m_next = 0;
};

// The program's operation and plain SQLite's, taken in turns so that both meet the same disk
// weather; the medians, and their ratio.
void compare(
    const char *what, const std::function<void(int)> &ours, const std::function<void()> &plain)
{
    std::vector<double> mine;
    std::vector<double> theirs;
    StatementCounter::Counts counts;
    QElapsedTimer clock;
    for (int i = 0; i < lineCount; ++i) {
        clock.start();
        plain();
        theirs.push_back(clock.nsecsElapsed() / 1e6);
        const StatementCounter::Counts before = StatementCounter::counts();
        clock.start();
        maybeLogged(i, ours);
        mine.push_back(clock.nsecsElapsed() / 1e6);
        const StatementCounter::Counts after = StatementCounter::counts();
        counts.data += after.data - before.data;
        counts.locks += after.locks - before.locks;
    }
    auto median = [](std::vector<double> &values) {
        std::sort(values.begin(), values.end());
        return values.at(values.size() / 2);
    };
    const double a = median(mine);
    const double b = median(theirs);
    std::printf("%-52s %9.3f ms  %s  plain SQLite %7.3f ms  (%.2fx)\n", what, a,
        statementText(counts, lineCount).toLatin1().constData(), b, a / b);
    std::fflush(stdout);
}

// The disk's own cost: one row inserted and committed in one file, in the same journal mode.
double oneFileCommit(const QString &directory)
{
    const QString name = u"bench-commit"_s;
    double ms = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(QDir(directory).filePath(u"commit.db"_s));
        if (!db.open())
            qFatal("%s", qPrintable(db.lastError().text()));
        QSqlQuery query(db);
        query.exec(u"PRAGMA journal_mode=DELETE"_s);
        query.exec(u"CREATE TABLE data (a REAL PRIMARY KEY, b TEXT)"_s);
        ms = millisecondsEach(lineCount, [&](int i) {
            query.exec(u"BEGIN IMMEDIATE"_s);
            query.prepare(u"INSERT INTO data VALUES (?, ?)"_s);
            query.addBindValue(double(i));
            query.addBindValue(u"a line of text"_s);
            query.exec();
            query.exec(u"COMMIT"_s);
        });
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ms;
}



// What an office has after a few years: 20,000 quotes with 10 material lines and their printed
// rows each, written straight into the database before the program opens it.
void fillBusiness(const QString &databasePath)
{
    const QString name = u"bench-fill"_s;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(databasePath);
        if (!db.open())
            qFatal("%s", qPrintable(db.lastError().text()));
        const QString series =
            u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "_s;
        const QStringList statements {
            series.arg(20000)
                + u"INSERT INTO \"Quotes.DB\" (Quote_ID, Quote_No, Date, Status, Priority, "
                  "QuoteDescription, TotalMaterials, QuoteTotal) SELECT 5000000 + i, "
                  "printf('B%06d', i), '2024-01-01', 'P', 5, 'Old work', 200, 200 FROM n"_s,
            series.arg(200000)
                + u"INSERT INTO \"QMat.DB\" (Quote_ID, Quote_No, MaterialCode, MaterialDesc, "
                  "CurrentPrice, Quantity, TotalCharge, Quote_RepID) SELECT 6000000 + i, "
                  "printf('B%06d', (i - 1) / 10 + 1), 'PIPE', 'Copper pipe', 20, 1, 20, "
                  "7000000 + i FROM n"_s,
            series.arg(200000)
                + u"INSERT INTO \"RepQte.DB\" (ID, Number, Code, Description, Qty, Cost, "
                  "Total_Cost, Rep_ID) SELECT 7000000 + i, printf('B%06d', (i - 1) / 10 + 1), "
                  "'PIPE', 'Copper pipe', 1, 20, 20, 7000000 + i FROM n"_s,
        };
        QSqlQuery query(db);
        for (const QString &sql : statements) {
            if (!query.exec(sql))
                qFatal("%s", qPrintable(query.lastError().text()));
        }
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

void runAll(const QString &base, bool filled)

{
    QTemporaryDir root(QDir(base).filePath(u"tessorin-bench-XXXXXX"_s));
    if (!root.isValid())
        qFatal("Cannot make a directory in %s", qPrintable(base));
    createDataDirectory(root.filePath(u"DATA"_s));
    if (filled)
        fillBusiness(QDir(root.filePath(u"DATA"_s)).filePath(EmbeddedStore::databaseFileName()));
    std::printf("\nData directory: %s (%s)\n", qPrintable(root.filePath(u"DATA"_s)),
        filled ? "200,000 lines, 20,000 quotes" : "empty");

    const double commit = oneFileCommit(root.path());
    report("one-file commit (insert one row)", commit);
    PlainSqlite plain(root.path());
    if (filled)
        fillBusiness(QDir(root.path()).filePath(u"plain.db"_s));

    TDM dm;
    dm.requestTermination = [] {};
    dm.DMCreate(root.filePath(u"tessorin"_s));
    if (!dm.isConnected())
        qFatal("The data module did not start");
    addPriceList(dm);
    dm.tblMaterial->first();
    dm.tblLabour->first();

    compare(
        "NextKey (one committed key), median", [&](int) { dm.NextKey(); }, [&] { plain.key(); });
    compare(
        "post a new client (one table and its key), median",
        [&](int i) {
            dm.tblClients->insert();
            dm.tblClients->fieldByName(u"Contact"_s)->setAsString(u"Client %1"_s.arg(i));
            dm.tblClients->post();
        },
        [&] { plain.client(); });

    newQuote(dm);
    compare(
        "save a new material line, median",
        [&](int i) { addMaterialLine(dm, 1 + i % 9); },
        [&] { plain.materialLine(); });
    const double materialEdit = millisecondsEach(lineCount, [&](int i) {
        dm.tblQuotesMaterial->setRecNo(i);
        dm.tblQuotes->edit();
        dm.tblQuotesMaterial->edit();
        dm.tblQuotesMaterial->fieldByName(u"Quantity"_s)->setAsString(QString::number(2 + i % 7));
        dm.tblQuotesMaterial->post();
    });
    report("edit and save a material line", materialEdit, commit, "the one-file commit");
    const QVariant fullQuote = dm.tblQuotes->fieldByName(u"Quote_ID"_s)->value();

    newQuote(dm);
    const double labour = millisecondsEach(lineCount, [&](int i) {
        dm.tblQuotes->edit();
        dm.tblQuoteLabour->insert();
        dm.tblQuoteLabour->fieldByName(u"Labour_ID"_s)
            ->setValue(dm.tblLabour->fieldByName(u"Labour_ID"_s)->value());
        dm.FillLabourLine();
        dm.tblQuoteLabour->fieldByName(u"Hours"_s)->setAsString(QString::number(0.5 + i % 8));
        dm.tblQuoteLabour->post();
    });
    report("save a new labour line", labour, commit, "the one-file commit");

    // The quote of 200 material lines into a new job, then all its lines deleted.
    dm.tblQuotes->findKey({ fullQuote });
    QElapsedTimer clock;
    StatementCounter::Counts counts = StatementCounter::of([&] {
        clock.start();
        dm.tblJobs->insert();
        dm.CopyQuoteLinesToJob();
        dm.tblJobs->post();
    });
    report("copy a 200-line quote into a new job", clock.nsecsElapsed() / 1e6, 0, "", counts);

    dm.tblQuotes->findKey({ fullQuote });
    for (TQVTable *lines : { dm.tblQuotesMaterial, dm.tblQuoteLabour }) {
        lines->setFilter(TDM::documentNumberFilter(
            u"Quote_No"_s, dm.tblQuotes->fieldByName(u"Quote_No"_s)->asString()));
        lines->setFiltered(true);
    }
    counts = StatementCounter::of([&] {
        clock.restart();
        dm.DeleteQuoteLines();
    });
    report("delete all lines of a 200-line quote", clock.nsecsElapsed() / 1e6, 0, "", counts);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    StatementCounter::install();
    QStringList arguments = app.arguments().mid(1);
    logOne = arguments.removeAll(u"--log"_s) > 0;
    const QString base = arguments.isEmpty() ? QDir::tempPath() : arguments.first();
    runAll(base, false);
    runAll(base, true);
    return 0;
}

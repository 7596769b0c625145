// Times the program on a PostgreSQL server, where what counts is round trips: a new material line
// saved, and the statements it sends, against a plain one-row INSERT + COMMIT on the same server;
// how soon another copy sees a committed change; and the start of a data module on a database
// holding 20,000 quotes and 200,000 lines. Runs on an empty database, then on the filled one.
//
//   server_bench KEYWORDS
//     KEYWORDS: connection keywords of a server where this account may create databases, as
//               Tessorin.server holds them (scripts/pg-test-cluster start DIR makes a throwaway
//               one: "host=DIR user=postgres"). The bench makes a database of its own there and
//               drops it at the end. The server must load pg_stat_statements (the throwaway
//               cluster does) for the statement counts. The throwaway cluster waits for the
//               disk at no commit, unless started with TESSORIN_PG_DURABLE=1, which keeps a
//               server's own settings; the bench prints which kind it ran on. To measure a
//               server a network away, as an office's is, put latency_proxy between them and
//               pass its directory as the host.
#include "BenchDataModule.h"
#include "data/DataModuleMain.h"
#include "data/ServerDataDirectory.h"
#include "engine/Exception.h"
#include "engine/Field.h"
#include "engine/ServerConnection.h"
#include "engine/TQVDatabase.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QUuid>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int rounds = 200;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// A connection of the bench's own on the server, closed when it goes.
class Connection
{
public:
    explicit Connection(const QString &keywords)
        : m_name(u"bench-"_s + QUuid::createUuid().toString(QUuid::WithoutBraces))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, m_name);
        db.setConnectOptions(keywords);
        if (!db.open())
            qFatal("%s", qPrintable(db.lastError().text()));
    }
    QSqlDatabase database() const { return QSqlDatabase::database(m_name, false); }
    ~Connection()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    QVariant run(const QString &sql, const QVariantList &values = {}) const
    {
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        bool ran = false;
        if (values.isEmpty()) {
            ran = query.exec(sql); // statements such as CREATE DATABASE cannot be prepared
        } else {
            query.prepare(sql);
            for (const QVariant &value : values)
                query.addBindValue(value);
            ran = query.exec();
        }
        if (!ran)
            qFatal("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
        return query.next() ? query.value(0) : QVariant();
    }

private:
    QString m_name;
};

// Statements the server ran on the database so far, by pg_stat_statements; the query asking
// counts itself once.
qint64 statementsSoFar(const Connection &admin)
{
    return admin
        .run(u"SELECT COALESCE(sum(calls), 0) FROM bench.pg_stat_statements "
             "WHERE dbid = (SELECT oid FROM pg_database WHERE datname = current_database())"_s)
        .toLongLong();
}

// This process's processor time so far, user and system, in milliseconds.
double processorTime()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval &t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// The server's time executing the database's statements so far, by pg_stat_statements.
double serverTime(const Connection &admin)
{
    return admin
        .run(u"SELECT COALESCE(sum(total_exec_time), 0) FROM bench.pg_stat_statements "
             "WHERE dbid = (SELECT oid FROM pg_database WHERE datname = current_database()) "
             "AND query NOT LIKE '%pg_stat_statements%'"_s)
        .toDouble();
}

// The line saves and the plain inserts in turns, so that both meet the same server weather.
void lineSaves(TDM &dm, const Connection &admin, const Connection &plain)
{
    std::vector<double> ours;
    std::vector<double> theirs;
    qint64 statements = 0;
    double processor = 0;
    double server = 0;
    QElapsedTimer clock;
    // Prepared once, as a program that inserts rows again and again would: BEGIN, INSERT and
    // COMMIT are three round trips.
    QSqlQuery insert(plain.database());
    insert.prepare(u"INSERT INTO bench.plain VALUES (?, 'a line of text')"_s);
    for (int i = 0; i < rounds; ++i) {
        clock.start();
        plain.run(u"BEGIN"_s);
        insert.bindValue(0, double(i));
        if (!insert.exec())
            qFatal("%s", qPrintable(insert.lastError().text()));
        plain.run(u"COMMIT"_s);
        theirs.push_back(clock.nsecsElapsed() / 1e6);

        const qint64 before = statementsSoFar(admin);
        const double serverBefore = serverTime(admin);
        const double processorBefore = processorTime();
        clock.start();
        addMaterialLine(dm, 1 + i % 9);
        ours.push_back(clock.nsecsElapsed() / 1e6);
        processor += processorTime() - processorBefore;
        server += serverTime(admin) - serverBefore;
        statements += statementsSoFar(admin) - before - 3;
    }
    const double a = median(ours);
    const double b = median(theirs);
    std::printf("%-44s %8.3f ms  %5.1f statements  plain INSERT + COMMIT %6.3f ms  (%.2fx)\n",
        "save a new material line, median", a, double(statements) / rounds, b, a / b);
    std::printf("%-44s %8.3f ms  server executing its statements %6.3f ms\n",
        "  of a save, this process's processor time", processor / rounds, server / rounds);
}

// A client posted by one copy, and the time until the other copy's notice of the change comes.
void changeSeen(TDM &writer, TDM &reader)
{
    std::vector<double> times;
    bool seen = false;
    reader.DB->setChangeNotice(reader.tblClients, [&seen] { seen = true; });
    QElapsedTimer clock;
    for (int i = 0; i < 50; ++i) {
        seen = false;
        writer.tblClients->insert();
        writer.tblClients->fieldByName(u"Contact"_s)->setAsString(u"Client %1"_s.arg(i));
        writer.tblClients->post();
        clock.start();
        while (!seen && clock.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    reader.DB->setChangeNotice(reader.tblClients, {});
    std::printf("%-44s %8.3f ms  (longest %.3f ms)\n", "another copy sees a commit, median",
        median(times), *std::max_element(times.begin(), times.end()));
}

// What an office has after a few years, written straight into the database.
void fillBusiness(const Connection &db)
{
    db.run(u"INSERT INTO \"Quotes.DB\" (\"Quote_ID\", \"Quote_No\", \"Date\", \"Status\", "
           "\"Priority\", \"QuoteDescription\", \"TotalMaterials\", \"QuoteTotal\") "
           "SELECT 5000000 + i, 'B' || lpad(i::text, 6, '0'), '2024-01-01', 'P', 5, 'Old work', "
           "200, 200 FROM generate_series(1, 20000) AS i"_s);
    db.run(u"INSERT INTO \"QMat.DB\" (\"Quote_ID\", \"Quote_No\", \"MaterialCode\", "
           "\"MaterialDesc\", \"CurrentPrice\", \"Quantity\", \"TotalCharge\", \"Quote_RepID\") "
           "SELECT 6000000 + i, 'B' || lpad(((i - 1) / 10 + 1)::text, 6, '0'), 'PIPE', "
           "'Copper pipe', 20, 1, 20, 7000000 + i FROM generate_series(1, 200000) AS i"_s);
    db.run(u"INSERT INTO \"RepQte.DB\" (\"ID\", \"Number\", \"Code\", \"Description\", \"Qty\", "
           "\"Cost\", \"Total_Cost\", \"Rep_ID\") SELECT 7000000 + i, "
           "'B' || lpad(((i - 1) / 10 + 1)::text, 6, '0'), 'PIPE', 'Copper pipe', 1, 20, 20, "
           "7000000 + i FROM generate_series(1, 200000) AS i"_s);
    db.run(u"ANALYZE"_s);
}

void runAll(const QString &keywords, const QString &database, bool filled)
{
    const QString dbKeywords = keywords + u" dbname="_s + database;
    QTemporaryDir root(QDir::tempPath() + u"/tessorin-server-bench-XXXXXX"_s);
    const QString directory = root.filePath(u"DATA"_s);
    createServerDataDirectory(directory, ServerConnection::fromText(dbKeywords, u"bench"_s));
    const Connection admin(dbKeywords);
    // The bench's own things stay out of the program's schema, which holds only what it declares.
    admin.run(u"CREATE SCHEMA bench"_s);
    admin.run(u"CREATE EXTENSION IF NOT EXISTS pg_stat_statements SCHEMA bench"_s);
    admin.run(u"CREATE TABLE bench.plain (a double precision PRIMARY KEY, b text)"_s);
    if (filled)
        fillBusiness(admin);
    // A commit that waits for the disk costs the plain insert and a save alike; the figures say
    // which kind of server they were measured on.
    std::printf("\nServer database %s (%s; fsync %s, synchronous_commit %s)\n",
        qPrintable(database), filled ? "200,000 lines, 20,000 quotes" : "empty",
        qPrintable(admin.run(u"SHOW fsync"_s).toString()),
        qPrintable(admin.run(u"SHOW synchronous_commit"_s).toString()));

    const auto start = [&directory] {
        auto dm = startDataModule(directory);
        if (!dm)
            qFatal("The data module did not start");
        return dm;
    };
    std::vector<double> starts;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer clock;
        clock.start();
        auto dm = start();
        starts.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("%-44s %8.3f ms\n", "start a data module, median of 5", median(starts));

    auto writer = start();
    auto reader = start();
    addPriceList(*writer);
    writer->tblMaterial->first();
    newQuote(*writer);
    const Connection plain(dbKeywords);
    lineSaves(*writer, admin, plain);
    changeSeen(*writer, *reader);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.size() != 1) {
        std::fprintf(stderr, "usage: server_bench KEYWORDS\n");
        return 2;
    }
    const QString keywords = arguments.first();
    const QString database = u"tessorin_bench_%1"_s.arg(QCoreApplication::applicationPid());
    {
        const Connection server(keywords + u" dbname=postgres"_s);
        server.run(u"CREATE DATABASE "_s + database);
    }
    int status = 0;
    try {
        runAll(keywords, database, false);
        {
            const Connection server(keywords + u" dbname=postgres"_s);
            server.run(u"DROP DATABASE %1 WITH (FORCE)"_s.arg(database));
            server.run(u"CREATE DATABASE "_s + database);
        }
        runAll(keywords, database, true);
    } catch (const Exception &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        status = 1;
    }
    const Connection server(keywords + u" dbname=postgres"_s);
    server.run(u"DROP DATABASE IF EXISTS %1 WITH (FORCE)"_s.arg(database));
    return status;
}

// Times the quote summary over 20,000 quotes of 500 clients in all four statuses: the summary
// query alone, the whole run to pages through that query, and those pages to PDF.

#include "DataDirFixture.h"
#include "documents/QRQuoteSummary.h"
#include "engine/ReportQuery.h"
#include "report/ReportOutput.h"

#include <QApplication>
#include <QBuffer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

constexpr int quoteCount = 20000;

// Best of several timed runs, in milliseconds of this process's processor time: on a machine
// shared with other work the wall clock measures the others as much as this.
double bestOf(int runs, const std::function<void()> &work)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        const std::clock_t start = std::clock();
        work();
        best = std::min(best, double(std::clock() - start) * 1000.0 / CLOCKS_PER_SEC);
    }
    return best;
}

void fillQuotes(DataDirFixture &data)
{
    data.exec(u"Clients.DB"_s,
        u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 500) "
        "INSERT INTO data (Client_ID, Contact, Company_Name) SELECT i, printf('Contact %d', i), "
        "printf('Company number %d Pty Ltd', i) FROM n"_s);
    data.exec(u"Quotes.DB"_s,
        u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO data (Quote_ID, Quote_No, Client_ID, Status, Date, DueDate, "
        "QuoteDescription, TotalLabour, TotalMaterials, TotalSalesTax, Discount, QuoteTotal) "
        "SELECT 1000 + i, printf('Q%05d', i), i % 500 + 1, substr('CHIP', i % 4 + 1, 1), "
        "date('2025-01-01', printf('+%d days', i % 365)), "
        "date('2025-01-08', printf('+%d days', i % 365)), printf('Bathroom renovation %d', i), "
        "(i % 97) * 12.5, (i % 89) * 7.25, 10, 0, (i % 97) * 12.5 + (i % 89) * 7.25 FROM n"_s.arg(
            quoteCount));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    DataDirFixture data;
    fillQuotes(data);
    std::unique_ptr<TDM> dm = data.start();
    if (!dm->isConnected()) {
        std::fprintf(
            stderr, "cannot open the data directory: %s\n", qPrintable(data.startupMessage));
        return 1;
    }
    TqrepQuoteSummary summary(dm.get());
    summary.Params =
        QStringList { u"COMPLETE=TRUE"_s, u"PROGRESS=TRUE"_s, u"PENDING=TRUE"_s, u"HOLD=TRUE"_s };

    std::printf(
        "summary_bench: a summary of %d quotes in four statuses (processor time, best of 3)\n",
        quoteCount);
    const double exec = bestOf(3, [&] {
        const SummaryQuery q = summary.query();
        ReportQuery query(dm->DB);
        query.setSql(q.sql());
        for (const QVariant &value : q.values)
            query.addBindValue(value);
        query.exec();
    });
    std::printf("  the statement alone:                     %8.1f ms\n", exec);
    const double query = bestOf(3, [&] { summary.load(); });
    std::printf("  summary query alone:                     %8.1f ms\n", query);
    RenderedReport pages;
    const double render = bestOf(3, [&] { pages = summary.run(); });
    std::printf("  query and run to pages:                  %8.1f ms  (%lld pages)\n", render,
        qlonglong(pages.pages.size()));
    const double pdf = bestOf(1, [&] {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QString error;
        ReportOutput::writePdf(pages, &buffer, &error);
    });
    std::printf("  those pages to PDF:                      %8.1f ms\n", pdf);
    return 0;
}

// Times the quote document: a 1,000-line quote read from its table files and rendered to pages,
// then written as a PDF, with line notes and heading bands on and off.

#include "BenchTiming.h"
#include "DataDirFixture.h"
#include "documents/QRQuote.h"
#include "report/ReportOutput.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

constexpr int lineCount = 1000;

void fillQuote(DataDirFixture &data)
{
    data.exec(u"Business.db"_s,
        u"INSERT INTO data (Company_ID, Company_Name, Phone_No, Phone_Fax, QuoteFooter) VALUES "
        "(1, 'Harrowfinch Trade Services', '(02) 4870 3315', '(02) 4870 3316', "
        "'<p>Prices are valid for <b>30 days</b>.</p>')"_s);
    data.exec(u"Clients.DB"_s,
        u"INSERT INTO data (Client_ID, Contact, Company_Name, Bus_Address, Phone_Bus) VALUES "
        "(2, 'Maeve Lockhart', 'Juniper Lane Florist', '4 Mill Street\nAshcombe 2571', '555 0200')"_s);
    data.exec(u"Headings.db"_s,
        u"WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 39) "
        "INSERT INTO data (Heading_ID, Description) SELECT 10 + i, 'Heading ' || i FROM n"_s);
    data.exec(u"Quotes.DB"_s,
        u"INSERT INTO data (Quote_ID, Quote_No, Client_ID, Date, DueDate, QuoteDescription, "
        "QuoteTotal, TotalSalesTax, Discount, SalesPerson, Notes) VALUES (3, 'Q1000', 2, "
        "'2025-03-04', '2025-03-11', 'Shop fit-out', 52000, 4100, 250, 'Orla Pennick', "
        "'Key with the neighbour.')"_s);
    data.exec(u"RepQte.DB"_s,
        u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO data (ID, Number, Code, Description, Qty, Cost, Total_Cost, Rep_ID, "
        "Heading_ID, Notes) SELECT 100 + i, 'Q1000', printf('M%05d', i), "
        "printf('Copper pipe 15 mm, length %d m', i % 12 + 1), i % 9 + 1, 3.5 + i % 40, "
        "(i % 9 + 1) * (3.5 + i % 40), 100 + i, 10 + i / 25, "
        "CASE WHEN i % 10 = 0 THEN printf('<p>Fit with <b>care</b>; see drawing %d</p>', i) "
        "ELSE NULL END FROM n"_s.arg(lineCount));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    DataDirFixture data;
    fillQuote(data);
    std::unique_ptr<TDM> dm = data.start();
    if (!dm->isConnected()) {
        std::fprintf(
            stderr, "cannot open the data directory: %s\n", qPrintable(data.startupMessage));
        return 1;
    }
    TqrepQuote quote(dm.get());

    std::printf("documents_bench: a %d-line quote (best of 5)\n", lineCount);
    const double query = bestOf(5, [&] { quote.readRows(u"Q1000"_s); });
    std::printf("  document query alone:                    %8.1f ms\n", query);
    for (const bool options : { false, true }) {
        const QString flag = options ? u"TRUE"_s : u"FALSE"_s;
        quote.Params = QStringList { u"NO=Q1000"_s, u"LOGO=TRUE"_s, u"CODES=TRUE"_s,
            u"GROUPS="_s + flag, u"NOTES="_s + flag };
        RenderedReport pages;
        const double render = bestOf(5, [&] { pages = quote.run(); });
        std::printf("  to pages, headings and notes %-3s:       %8.1f ms  (%lld pages)\n",
            options ? "on" : "off", render, qlonglong(pages.pages.size()));
        const double pdf = bestOf(3, [&] {
            QBuffer buffer;
            buffer.open(QIODevice::WriteOnly);
            QString error;
            ReportOutput::writePdf(pages, &buffer, &error);
        });
        std::printf("  those pages to PDF:                      %8.1f ms\n", pdf);
    }
    return 0;
}

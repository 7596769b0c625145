// Times the finder on a large client list: opening it on 10,000 clients, and each keystroke of
// a search by several of its fields, from the key to the lists shown again (offscreen unless
// QT_QPA_PLATFORM says otherwise).

#include "BenchTiming.h"
#include "DataDirFixture.h"
#include "controls/window/TQVRegistry.h"
#include "engine/StatementCounter.h"
#include "reference/FormFinder.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int Clients = 10000;
constexpr int Quotes = 20000;
constexpr int Jobs = 5000;

void fill(DataDirFixture &data)
{
    const auto series = [](int count) {
        return u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "_s
            .arg(count);
    };
    data.exec(u"INI"_s, u"INSERT INTO data VALUES ('Startup', 'StartWiz', 'True')"_s);
    // Names in mixed case and in an order unlike the keys, suburbs from a short list.
    data.exec(u"Clients.DB"_s,
        series(Clients)
            + u"INSERT INTO data (Client_ID, Contact, Company_Name, First, Last, Email1, Bus_City, "
              "Phone_Bus, Phone_Mobile, Bus_Address) SELECT i, printf('%s %s', "
              "substr('AnnBobCarDanEveFayGusHalIvyJon', (i * 7 % 10) * 3 + 1, 3), "
              "printf('Mc%05d', (i * 7919) % 100000)), printf('Company %d Pty Ltd', i), "
              "'First', printf('Last%d', i), printf('client%d@example.com', i), "
              "substr('BrunswickCarlton  Fitzroy  Coburg   Preston  Kew      ', (i % 6) * 9 + 1, "
              "9), printf('555 %04d', (i * 31) % 10000), printf('04%08d', i * 13), "
              "printf('%d High St, %s VIC', i, trim(substr('BrunswickCarlton  Coburg   Preston  Kew"
              "      ', (i % 5) * 9 + 1, 9))) FROM n"_s);
    for (const auto &[file, idField, numberField, descriptionField, prefix, count] :
        { std::tuple {
              u"Quotes.DB"_s, u"Quote_ID"_s, u"Quote_No"_s, u"QuoteDescription"_s, u"Q"_s, Quotes },
            std::tuple {
                u"Jobs.DB"_s, u"Job_ID"_s, u"Job_No"_s, u"JobDescription"_s, u"J"_s, Jobs } }) {
        data.exec(file,
            series(count)
                + u"INSERT INTO data (%1, %2, Client_ID, Date, Status, %3, TotalMaterials) "
                  "SELECT 100000 + i, printf('%4%06d', i), i % %5 + 1, '2024-01-01', 'I', "
                  "printf('Work order %d', i), 100 FROM n"_s
                      .arg(idField, numberField, descriptionField, prefix)
                      .arg(Clients));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    StatementCounter::install();
    StatementCounter::setLogging(qEnvironmentVariableIsSet("BENCH_SQL_LOG"));
    QTemporaryDir registry;
    TQVRegistry::setRootPath(registry.path());

    DataDirFixture data;
    std::printf("filling %d clients, %d quotes, %d jobs ... ", Clients, Quotes, Jobs);
    std::fflush(stdout);
    std::printf("%.0f ms\n", millisecondsOf([&] { fill(data); }));
    std::unique_ptr<TDM> dm = data.start();
    if (!dm->isConnected()) {
        std::printf("the data module did not start: %s\n", qPrintable(data.startupMessage));
        return 1;
    }

    std::unique_ptr<TfrmFinder> finder;
    const double open = millisecondsOf([&] {
        finder = std::make_unique<TfrmFinder>(dm.get());
        finder->show();
        runUntilIdle();
    });
    std::printf("open the finder: %.1f ms\n", open);

    auto *searchBy = finder->findChild<QComboBox *>(u"cboSearchBy"_s);
    auto *box = finder->findChild<QLineEdit *>(u"edtSearch"_s);
    struct Search
    {
        const char *what;
        QString item;
        QString typed;
    };
    const std::vector<Search> searches {
        { "contact, as stored", u"Contact"_s, u"Gus Mc04"_s },
        { "contact, typed in lower case", u"Contact"_s, u"gus mc04"_s },
        { "contact, no client starts so", u"Contact"_s, u"Zz"_s },
        { "company name", u"Company Name"_s, u"Company 987"_s },
        { "business phone", u"Phone Business"_s, u"555 12"_s },
        { "mobile", u"Mobile"_s, u"04000"_s },
        { "suburb of the address", u"Suburb"_s, u"Pres"_s },
        { "suburb, no address holds it", u"Suburb"_s, u"Fitz"_s },
    };
    double worstKey = 0;
    for (const Search &search : searches) {
        const double order = millisecondsOf([&] {
            box->clear();
            searchBy->setCurrentIndex(searchBy->findText(search.item));
            runUntilIdle();
        });
        std::vector<double> keys;
        long long statements = 0;
        for (qsizetype length = 1; length <= search.typed.size(); ++length) {
            statements += StatementCounter::of([&] {
                keys.push_back(millisecondsOf([&] {
                    box->setText(search.typed.left(length));
                    finder->edtSearchChange(box->text());
                    runUntilIdle();
                }));
            }).total();
        }
        std::sort(keys.begin(), keys.end());
        worstKey = std::max(worstKey, keys.back());
        std::printf("%-38s order switch %6.1f ms, per key: median %5.2f ms, worst %5.2f ms, "
                    "%.1f stmts\n",
            search.what, order, keys.at(keys.size() / 2), keys.back(),
            double(statements) / double(keys.size()));
    }
    std::printf("worst key of all: %.1f ms (at most 50 ms wanted)\n", worstKey);
    finder.reset();
    dm.reset();
    return 0;
}

// Times the price-list and client windows on a large business (offscreen unless QT_QPA_PLATFORM
// says otherwise): for each price-list size given as an argument (by default 5,000, 50,000 and
// 200,000 materials), importing them from a price-list file, opening the price list, scrolling it
// as far as it has read and paging through it, exporting it again, opening the materials window
// and typing a code into its list, each against the first size; then opening the client list
// with 10,000 clients and searching it as someone types.

#include "DataDirFixture.h"
#include "controls/dataaware/TQVDBGridSrc.h"
#include "controls/window/TQVRegistry.h"
#include "data/CsvTable.h"
#include "data/PriceListExchange.h"
#include "engine/Field.h"
#include "engine/StatementCounter.h"
#include "engine/TableView.h"
#include "reference/FormClients.h"
#include "reference/FormMaterials.h"
#include "reference/FormPriceChange.h"
#include "reference/PriceListImportDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr int Labour = 2000;
constexpr int Clients = 10000;

const char *const firstNames[] = { "Amelia", "Brodie", "Carys", "Dmitri", "Elspeth", "Fergus",
    "Gwen", "Hamish", "Ines", "Jarrah", "Kirra", "Lachlan", "Maeve", "Niall", "Odette", "Percy" };
const char *const lastNames[] = { "Abernethy", "Brightwater", "Calloway", "Dunmore", "Eastwick",
    "Fairbairn", "Gallowglass", "Hollingsworth", "Ingledew", "Jessop", "Kettleby", "Lockhart" };

double ms(QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

void settle()
{
    QApplication::processEvents();
    QApplication::sendPostedEvents();
    QApplication::processEvents();
}

QByteArray priceList(int materials)
{
    QString text = CsvTable::record(PriceListExchange::columns());
    for (int i = 1; i <= materials; ++i) {
        text += CsvTable::record({ u"Material"_s, u"M%1"_s.arg(i, 6, 10, QChar(u'0')),
            u"Material number %1, grade %2"_s.arg(i).arg(i % 7), QString::number(i % 500 + 0.25),
            QString::number(i % 500 * 1.4 + 0.5), u"40"_s, {}, {}, {}, u"each"_s,
            u"Heading %1"_s.arg(i % 40) });
    }
    for (int i = 1; i <= Labour; ++i) {
        text += CsvTable::record({ u"Labour"_s, u"L%1"_s.arg(i, 5, 10, QChar(u'0')),
            u"Labour rate %1"_s.arg(i), {}, {}, {}, {}, {}, QString::number(40 + i % 60), {},
            u"Heading %1"_s.arg(i % 40) });
    }
    return text.toUtf8();
}

void addClients(TDM &dm)
{
    QRandomGenerator rng(42);
    const ControlsDisabled quiet(dm.tblClients);
    OperationScope operation(dm.DB, dm.tblClients->fileIndex());
    for (int i = 0; i < Clients; ++i) {
        dm.tblClients->append();
        dm.tblClients->fieldByName(u"Contact"_s)
            ->setAsString(u"%1 %2 %3"_s.arg(QString::fromLatin1(firstNames[rng.bounded(16)]),
                QString::fromLatin1(lastNames[rng.bounded(12)]))
                              .arg(i));
        dm.tblClients->fieldByName(u"Company_Name"_s)->setAsString(u"Company %1 Pty Ltd"_s.arg(i));
        dm.tblClients->fieldByName(u"Phone_Bus"_s)->setAsString(u"555 %1"_s.arg(i));
        dm.tblClients->post();
    }
    operation.commit();
}

// The figures of one price-list size, in milliseconds.
struct PriceFigures
{
    double import = 0, exported = 0, open = 0, page = 0, materialsOpen = 0, searchKey = 0;
    bool right = false;
};

PriceFigures timePriceList(int materials)
{
    PriceFigures figures;
    DataDirFixture data;
    std::unique_ptr<TDM> dm = data.start();
    if (!dm->isConnected()) {
        std::fprintf(stderr, "%s\n", qPrintable(data.startupMessage));
        return figures;
    }
    QElapsedTimer timer;
    const QByteArray file = priceList(materials);
    timer.start();
    const PriceListPlan plan = dm->planPriceListImport(file);
    const double planned = ms(timer);
    timer.restart();
    {
        PriceListImportDialog preview(plan);
        preview.show();
        settle();
    }
    const double previewed = ms(timer);
    timer.restart();
    dm->importPriceList(plan);
    figures.import = ms(timer);
    std::printf("price list file of %d materials and %d labour rates (%.1f MB)\n", materials,
        Labour, file.size() / 1e6);
    std::printf("  plan the import:               %9.1f ms (%s)\n", planned,
        qPrintable(plan.summary()));
    std::printf("  preview shown:                 %9.1f ms\n", previewed);
    std::printf("  import as one operation:       %9.1f ms\n", figures.import);
    timer.restart();
    const PriceListPlan again = dm->planPriceListImport(file);
    std::printf("  plan it again (all unchanged): %9.1f ms\n", ms(timer));
    timer.restart();
    const QByteArray exported = dm->exportPriceList();
    figures.exported = ms(timer);
    std::printf("  export:                        %9.1f ms\n", figures.exported);
    {
        // The first window with a tool bar in the process also loads the icon theme: timed
        // apart. What the import and export left for the event loop is done before the clock
        // starts, so it is not counted as the window's.
        settle();
        timer.restart();
        {
            TfrmPriceChange first(dm.get());
            first.show();
            settle();
        }
        const double firstOpen = ms(timer);
        StatementCounter::setLogging(qEnvironmentVariableIsSet("BENCH_SQL_LOG"));
        timer.restart();
        TfrmPriceChange window(dm.get());
        window.show();
        settle();
        figures.open = ms(timer);
        StatementCounter::setLogging(false);
        std::printf("price list window, %d materials\n", materials);
        std::printf("  open and paint, the first time:%9.1f ms\n", firstOpen);
        std::printf("  open and paint:                %9.1f ms\n", figures.open);
        auto *grid = window.findChild<TQVDBGrid *>(u"grdMatPriceChange"_s);
        timer.restart();
        grid->scrollToBottom();
        grid->viewport()->repaint();
        std::printf("  scroll to the end and paint:   %9.1f ms\n", ms(timer));
        grid->setFocus();
        dm->tblMaterial->first();
        settle();
        constexpr int Pages = 100;
        timer.restart();
        for (int i = 0; i < Pages; ++i) {
            QTest::keyClick(grid, Qt::Key_PageDown);
            grid->viewport()->repaint();
        }
        figures.page = ms(timer) / Pages;
        std::printf("  page down, each of %d:        %9.2f ms\n", Pages, figures.page);
        timer.restart();
        QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
        grid->viewport()->repaint();
        std::printf("  Ctrl+End to the last row:      %9.1f ms\n", ms(timer));
    }
    bool found = false;
    {
        dm->tblMaterial->first();
        timer.restart();
        TfrmMaterials window(dm.get());
        window.show();
        settle();
        figures.materialsOpen = ms(timer);
        std::printf("materials window, %d materials\n", materials);
        std::printf("  open and paint:                %9.1f ms\n", figures.materialsOpen);
        // A code three quarters down the list typed into the grid, key by key.
        auto *grid = window.findChild<TQVDBGrid *>(u"grdMaterials"_s);
        grid->setFocus();
        const QString code = u"M%1"_s.arg(materials * 3 / 4, 6, 10, QChar(u'0'));
        for (QChar c : code) {
            timer.restart();
            QTest::keyClick(grid, c.toLatin1());
            grid->viewport()->repaint();
            figures.searchKey = std::max(figures.searchKey, ms(timer));
        }
        found = dm->tblMaterial->fieldByName(u"Material_Code"_s)->asString() == code;
        std::printf("  a code typed into the list:    %9.1f ms the worst key%s\n",
            figures.searchKey, found ? "" : " (NOT FOUND)");
    }
    figures.right = found && again.count(PriceListPlan::Action::Same) == materials + Labour
        && !exported.isEmpty();
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    StatementCounter::install();
    QTemporaryDir registry;
    TQVRegistry::setRootPath(registry.path());
    QList<int> sizes;
    for (const QString &argument : QApplication::arguments().mid(1)) {
        if (const int size = argument.toInt(); size > 0)
            sizes << size;
    }
    if (sizes.isEmpty())
        sizes = { 5000, 50000, 200000 };
    QList<PriceFigures> figures;
    bool right = true;
    for (int materials : std::as_const(sizes)) {
        figures << timePriceList(materials);
        right = figures.last().right && right;
    }
    for (qsizetype i = 1; i < sizes.size(); ++i) {
        const PriceFigures &at = figures.at(i);
        const PriceFigures &first = figures.first();
        std::printf("  %d against %d materials: import x%.2f, export x%.2f, open x%.2f, page "
                    "x%.2f, materials window x%.2f, search key x%.2f\n",
            sizes.at(i), sizes.first(), at.import / first.import, at.exported / first.exported,
            at.open / first.open, at.page / first.page, at.materialsOpen / first.materialsOpen,
            at.searchKey / first.searchKey);
    }

    DataDirFixture data;
    std::unique_ptr<TDM> dm = data.start();
    if (!dm->isConnected()) {
        std::fprintf(stderr, "%s\n", qPrintable(data.startupMessage));
        return 1;
    }
    QElapsedTimer timer;
    addClients(*dm);
    {
        timer.restart();
        TfrmClientDetails list(dm.get());
        list.show();
        settle();
        std::printf("client list, %d clients\n", Clients);
        std::printf("  open and paint:                %9.1f ms\n", ms(timer));
        auto *search = list.findChild<QLineEdit *>(u"edtSearch"_s);
        search->setFocus();
        double worst = 0;
        double total = 0;
        int keys = 0;
        for (const QString &word : { u"lachlan lock"_s, u"ODETTE"_s, u"zz"_s }) {
            search->clear();
            for (QChar c : word) {
                timer.restart();
                QTest::keyClick(search, c.toLatin1());
                list.repaint();
                const double t = ms(timer);
                worst = std::max(worst, t);
                total += t;
                ++keys;
            }
        }
        std::printf("  search by contact, per key:    %9.2f ms (worst %.2f ms)\n", total / keys,
            worst);
        auto *searchBy = list.findChild<QComboBox *>(u"cboSearchBy"_s);
        timer.restart();
        searchBy->setCurrentIndex(1);
        list.repaint();
        std::printf("  order by company:              %9.1f ms\n", ms(timer));
        search->clear();
        total = 0;
        worst = 0;
        keys = 0;
        for (QChar c : u"company 9876"_s) {
            timer.restart();
            QTest::keyClick(search, c.toLatin1());
            list.repaint();
            const double t = ms(timer);
            worst = std::max(worst, t);
            total += t;
            ++keys;
        }
        std::printf("  search by company, per key:    %9.2f ms (worst %.2f ms) at \"%s\"\n",
            total / keys, worst,
            qPrintable(dm->tblClients->fieldByName(u"Company_Name"_s)->asString()));
    }
    return right ? 0 : 1;
}

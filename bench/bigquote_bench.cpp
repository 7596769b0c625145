// Times a quote of 1,000 lines (700 material, 300 labour, made through the data module) in the
// main window: from making it the current quote until its lines are in the grids and the window
// is painted with its totals, both when the user moves to it in the browser and when the window
// starts with it current. Prints median, best and worst of the runs and the peak memory
// (offscreen unless QT_QPA_PLATFORM says otherwise).
//   bigquote_bench [RUNS]

#include "BenchTiming.h"
#include "DataDirFixture.h"
#include "RecordValues.h"
#include "app/FormMain.h"
#include "controls/TQVRegistry.h"
#include "data/DataModuleMain.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTabWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int MaterialLines = 700;
constexpr int LabourLines = 300;

// Each line as the line dialogs make it: the header in edit, the line filled from the price list
// by the data module's hooks, then posted (which posts the header with its new sums).
QString addQuote(TDM &dm, const QString &description, int materials, int labour)
{
    dm.tblQuotes->insert();
    setText(dm.tblQuotes, u"QuoteDescription", description);
    setNumber(dm.tblQuotes, u"TaxRate", 10);
    dm.tblQuotes->post();
    const QString quoteNo = text(dm.tblQuotes, u"Quote_No");
    for (TQVTable *lines : { dm.tblQuotesMaterial, dm.tblQuoteLabour }) {
        lines->setFilter(TDM::documentNumberFilter(u"Quote_No"_s, quoteNo));
        lines->setFiltered(true);
    }
    for (int i = 0; i < materials; ++i) {
        dm.tblQuotes->edit();
        dm.tblQuotesMaterial->insert();
        setNumber(dm.tblQuotesMaterial, u"Material_ID", number(dm.tblMaterial, u"Material_ID"));
        dm.FillQuoteMaterialLine();
        setText(dm.tblQuotesMaterial, u"Quantity", QString::number(1 + i % 9));
        dm.tblQuotesMaterial->post();
    }
    for (int i = 0; i < labour; ++i) {
        dm.tblQuotes->edit();
        dm.tblQuoteLabour->insert();
        setNumber(dm.tblQuoteLabour, u"Labour_ID", number(dm.tblLabour, u"Labour_ID"));
        dm.FillLabourLine();
        setText(dm.tblQuoteLabour, u"Hours", QString::number(0.5 + i % 8));
        dm.tblQuoteLabour->post();
    }
    return quoteNo;
}

void makeQuotes(DataDirFixture &data)
{
    data.exec(u"INI"_s, u"INSERT INTO data VALUES ('Startup', 'StartWiz', 'True')"_s);
    std::unique_ptr<TDM> dm = data.start();
    if (!dm->isConnected())
        qFatal("the data module did not start: %s", qPrintable(data.startupMessage));
    dm->tblHeadings->insert();
    setText(dm->tblHeadings, u"Description", u"Plumbing"_s);
    dm->tblHeadings->post();
    const double heading = number(dm->tblHeadings, u"Heading_ID");
    dm->tblMaterial->insert();
    fill(dm->tblMaterial,
        { { u"Material_Code", u"PIPE15"_s }, { u"Description", u"Copper pipe 15 mm"_s },
            { u"SellingPrice", 13.65 }, { u"CostPrice", 9.4 }, { u"Markup", 45 },
            { u"HeadingCode", heading } });
    dm->tblMaterial->post();
    dm->tblLabour->insert();
    fill(dm->tblLabour,
        { { u"Labour_Code", u"PLUMB"_s }, { u"Description", u"Licensed plumber"_s },
            { u"Hourly_Rate", 92 }, { u"Heading_Code", heading } });
    dm->tblLabour->post();
    // The big quote first, so that the window starts on it; small ones around it to move from.
    addQuote(*dm, u"Whole house replumb"_s, MaterialLines, LabourLines);
    addQuote(*dm, u"Tap washer"_s, 2, 1);
    addQuote(*dm, u"Leaking trap"_s, 1, 1);
}

double peakMegabytes()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    return 0;
}

int gridRows(TfrmMain &window, const QString &name)
{
    auto *grid = window.findChild<QAbstractItemView *>(name);
    return grid && grid->model() ? grid->model()->rowCount() : -1;
}

// The big quote's lines in both grids and its total in the browser and on the summary page.
bool bigQuoteShown(TfrmMain &window, const QString &total)
{
    auto *label = window.findChild<QLabel *>(u"lblTotalMaterials"_s);
    return gridRows(window, u"grdMaterials"_s) == MaterialLines
        && gridRows(window, u"grdLabour"_s) == LabourLines && label && label->text() == total;
}

// Lets the window do what the change queued, then paints it as the screen would.
void showAndPaint(TfrmMain &window)
{
    runUntilIdle();
    window.repaint();
}

void report(const char *what, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    std::printf("%-58s median %7.1f ms, best %7.1f ms, worst %7.1f ms (%zu runs)\n", what,
        times[times.size() / 2], times.front(), times.back(), times.size());
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 11;
    QTemporaryDir registry;
    TQVRegistry::setRootPath(registry.path());

    DataDirFixture data;
    std::printf("making a quote of %d material and %d labour lines through the data module ... ",
        MaterialLines, LabourLines);
    std::fflush(stdout);
    std::printf("%.0f ms\n", millisecondsOf([&] { makeQuotes(data); }));
    std::printf("peak memory after making it: %.1f MB\n", peakMegabytes());

    // Starting the window with the big quote current (the browser's first), and for comparison
    // with a small one current.
    QString total;
    const auto starts = [&](bool big) {
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            std::unique_ptr<TDM> dm = data.start();
            if (!dm->isConnected())
                qFatal("the data module did not start: %s", qPrintable(data.startupMessage));
            if (!big)
                moveTo(dm->tblQuotes, u"QuoteDescription", u"Tap washer"_s);
            std::unique_ptr<TfrmMain> window;
            times.push_back(millisecondsOf([&] {
                window = std::make_unique<TfrmMain>(dm.get());
                window->findChild<QTabWidget *>(u"pageDetails"_s)->setCurrentIndex(2);
                window->resize(1024, 768);
                window->show();
                showAndPaint(*window);
            }));
            if (big && total.isEmpty())
                total = window->findChild<QLabel *>(u"lblTotalMaterials"_s)->text();
            const int shown = gridRows(*window, u"grdMaterials"_s);
            if ((shown == MaterialLines) != big
                || (gridRows(*window, u"grdLabour"_s) == LabourLines) != big)
                qFatal("the window did not start on the wanted quote (%d lines shown)", shown);
        }
        return times;
    };
    report("start the main window on it, lines and totals painted", starts(true));
    report("start the main window on a 3-line quote", starts(false));
    std::unique_ptr<TDM> started;
    std::printf("start of the data module (not in the figures above): %.1f ms\n",
        millisecondsOf([&] { started = data.start(); }));
    started.reset();

    // Moving to it in the browser from the next quote, through the Previous command.
    std::unique_ptr<TDM> dm = data.start();
    auto window = std::make_unique<TfrmMain>(dm.get());
    window->findChild<QTabWidget *>(u"pageDetails"_s)->setCurrentIndex(2);
    window->resize(1024, 768);
    window->show();
    showAndPaint(*window);
    QAction *previous = window->findChild<QAction *>(u"btnPrev"_s);
    QAction *next = window->findChild<QAction *>(u"btnNext"_s);
    std::vector<double> moves;
    std::vector<double> leaves;
    for (int run = 0; run < runs; ++run) {
        leaves.push_back(millisecondsOf([&] {
            next->trigger();
            showAndPaint(*window);
        }));
        if (bigQuoteShown(*window, total)) {
            std::printf("Next did not leave the big quote\n");
            return 1;
        }
        moves.push_back(millisecondsOf([&] {
            previous->trigger();
            showAndPaint(*window);
        }));
        if (!bigQuoteShown(*window, total)) {
            std::printf("Previous did not show the big quote with its lines and total\n");
            return 1;
        }
    }
    // For a person to look at: the window as it shows the big quote, where the variable says.
    if (const QString folder = qEnvironmentVariable("TESSORIN_SHOTS"); !folder.isEmpty())
        window->grab().save(folder + u"/bigquote.png"_s);
    report("move to it (Previous), lines and totals painted", moves);
    report("move from it to a 3-line quote (Next), painted", leaves);

    // The same with the labour page in front.
    window->findChild<QTabWidget *>(u"pageDetails"_s)->setCurrentIndex(3);
    std::vector<double> labourMoves;
    for (int run = 0; run < runs; ++run) {
        next->trigger();
        showAndPaint(*window);
        labourMoves.push_back(millisecondsOf([&] {
            previous->trigger();
            showAndPaint(*window);
        }));
    }
    report("move to it with the labour page in front", labourMoves);
    std::printf("peak memory: %.1f MB (budget for the move: 200 ms)\n", peakMegabytes());
    window.reset();
    dm.reset();
    return 0;
}

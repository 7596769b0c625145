// Times adding a material line through the main window on a sizeable business (2,000 quotes with
// 10 lines each, price lists of the sizes given as arguments, by default 5,000, 50,000 and 200,000
// materials; offscreen unless QT_QPA_PLATFORM says otherwise): from pressing Add, through the
// dialog opening, a material's code typed and picked from what the lookup lists, a quantity typed
// and Save and Close, until the quote's new total shows on the summary page. Prints each size's
// median against the first size's, and the program's memory with each price list loaded.

#include "BenchTiming.h"
#include "DataDirFixture.h"
#include "app/FormMain.h"
#include "controls/dataaware/FieldLabel.h"
#include "controls/dataaware/FieldLookupComboBox.h"
#include "controls/dataaware/FieldSpinBox.h"
#include "controls/window/TQVRegistry.h"
#include "engine/Field.h"
#include "engine/StatementCounter.h"
#include "reference/FormMaterialSelection.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCompleter>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr int Quotes = 2000;
constexpr int LinesPerQuote = 5; // material and labour each
constexpr int Runs = 30;

void fill(DataDirFixture &data, int materials)
{
    const auto series = [](int count) {
        return u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "_s
            .arg(count);
    };
    data.exec(u"INI"_s, u"INSERT INTO data VALUES ('Startup', 'StartWiz', 'True')"_s);
    data.exec(u"Headings.db"_s, u"INSERT INTO data VALUES (1, 'General')"_s);
    data.exec(u"Material.DB"_s,
        series(materials)
            + u"INSERT INTO data (Material_ID, Material_Code, Description, SellingPrice, "
              "CostPrice, Markup, HeadingCode) SELECT i, printf('M%05d', i), "
              "printf('Material number %d', i), i % 300 + 0.5, i % 300 * 0.7, 40, 1 FROM n"_s);
    data.exec(u"Quotes.DB"_s,
        series(Quotes)
            + u"INSERT INTO data (Quote_ID, Quote_No, Date, Status, Priority, QuoteDescription, "
              "TotalMaterials, TotalLabour, QuoteTotal, TaxRate, TotalSalesTax) "
              "SELECT i, printf('Q%06d', i), '2024-01-01', 'P', 5, printf('Work %d', i), "
              "100, 50, 150, 10, 10 FROM n"_s);
    data.exec(u"QMat.DB"_s,
        series(Quotes * LinesPerQuote)
            + u"INSERT INTO data (Quote_ID, Quote_No, MaterialCode, MaterialDesc, CurrentPrice, "
              "Quantity, TotalCharge) SELECT 1000000 + i, printf('Q%06d', (i - 1) / %1 + 1), "
              "'PIPE', 'Copper pipe', 20, 1, 20 FROM n"_s.arg(LinesPerQuote));
    data.exec(u"QLab.db"_s,
        series(Quotes * LinesPerQuote)
            + u"INSERT INTO data (Quote_ID, Quote_No, Labour_Code, Description, Hours, "
              "Hourly_Rate, TotalCharge) SELECT 2000000 + i, printf('Q%06d', (i - 1) / %1 + 1), "
              "'FIT', 'Fitter', 1, 10, 10 FROM n"_s.arg(LinesPerQuote));
}

// What the person does in the dialog: types a material's code and picks it from the list the
// lookup offers, types a quantity, saves.
void workTheDialog(int run, int materials)
{
    auto *dialog = qobject_cast<TfrmMaterialSelect *>(QApplication::activeModalWidget());
    if (!dialog)
        return;
    auto *code = dialog->findChild<FieldLookupComboBox *>(u"cboCode"_s);
    code->setFocus();
    QTest::keyClicks(
        code->lineEdit(), u"m%1"_s.arg((run * 7919) % materials + 1, 5, 10, QChar(u'0')));
    QAbstractItemView *list = code->completer()->popup();
    list->setCurrentIndex(list->model()->index(0, 0));
    QTest::keyClick(list, Qt::Key_Return);
    auto *quantity = dialog->findChild<FieldSpinBox *>(u"feQuantity"_s);
    quantity->selectAll();
    QTest::keyClicks(quantity, u"3"_s);
    QTest::keyClick(quantity, Qt::Key_Return);
    dialog->findChild<QAction *>(u"btnSave"_s)->trigger();
}

// The program's resident memory now, in MB.
double residentMegabytes()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    }
    return 0;
}

struct Figures
{
    double median = 0;
    double megabytes = 0;
    bool right = false;
};

// Adds Runs lines on a new business with a price list of that many materials; not right when a
// total shown disagreed with the quote or the wrong material was picked.
Figures timeAdding(int materials)
{
    DataDirFixture data;
    fill(data, materials);
    std::unique_ptr<TDM> dm = data.start();
    if (!dm->isConnected()) {
        std::printf("the data module did not start: %s\n", qPrintable(data.startupMessage));
        return {};
    }
    auto window = std::make_unique<TfrmMain>(dm.get());
    window->show();
    runUntilIdle();
    auto *add = window->findChild<QToolButton *>(u"frmAddMaterials"_s);
    auto *grandTotal = window->findChild<FieldLabel *>(u"lblGrandTotal"_s);

    std::vector<double> times;
    long long statements = 0;
    int wrong = 0;
    for (int run = 0; run < Runs; ++run) {
        // Every few lines the user moves on to another quote.
        if (run % 5 == 0) {
            window->btnNextClick();
            runUntilIdle();
        }
        StatementCounter::setLogging(qEnvironmentVariableIsSet("BENCH_SQL_LOG") && run == Runs / 2);
        statements += StatementCounter::of([&] {
            times.push_back(millisecondsOf([&] {
                QTimer::singleShot(0, [run, materials] { workTheDialog(run, materials); });
                add->click();
                runUntilIdle();
            }));
        }).total();
        StatementCounter::setLogging(false);
        TQVTable *quotes = dm->tblQuotes;
        const QString expected =
            QLocale().toCurrencyString(quotes->fieldByName(u"VQuoteTotal"_s)->asFloat());
        const QString picked = u"M%1"_s.arg((run * 7919) % materials + 1, 5, 10, QChar(u'0'));
        if (grandTotal->text() != expected || quotes->state() != DataSetState::Browse
            || dm->tblQuotesMaterial->fieldByName(u"MaterialCode"_s)->asString() != picked)
            ++wrong;
    }
    std::sort(times.begin(), times.end());
    Figures figures { times[times.size() / 2], residentMegabytes(), wrong == 0 };
    std::printf("  %6d materials: median %7.1f ms, min %7.1f ms, max %7.1f ms of %d, %5.1f stmts "
                "each; memory %6.1f MB; wrong: %d\n",
        materials, figures.median, times.front(), times.back(), Runs,
        double(statements) / Runs, figures.megabytes, wrong);
    window.reset();
    dm.reset();
    return figures;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    StatementCounter::install();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QTemporaryDir registry;
    TQVRegistry::setRootPath(registry.path());
    std::printf("add a material line through the dialog until its quote's total shows "
                "(%d quotes, %d lines):\n",
        Quotes, 2 * Quotes * LinesPerQuote);
    QList<int> sizes;
    for (const QString &argument : QApplication::arguments().mid(1)) {
        if (const int size = argument.toInt(); size > 0)
            sizes << size;
    }
    if (sizes.isEmpty())
        sizes = { 5000, 50000, 200000 };
    bool right = true;
    QList<Figures> figures;
    for (int materials : std::as_const(sizes)) {
        figures << timeAdding(materials);
        right = figures.last().right && right;
    }
    for (qsizetype i = 1; i < sizes.size(); ++i) {
        std::printf("  %6d against %d materials: time x%.2f, memory x%.2f\n", sizes.at(i),
            sizes.first(), figures.at(i).median / figures.first().median,
            figures.at(i).megabytes / figures.first().megabytes);
    }
    return right ? 0 : 1;
}

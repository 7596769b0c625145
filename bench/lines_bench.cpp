// Times adding a material line through the main window on a sizeable business (2,000 quotes with
// 10 lines each, price lists of 50, 500 and 5,000 materials; offscreen unless QT_QPA_PLATFORM says
// otherwise): from pressing Add, through the dialog opening, a material picked, a quantity typed
// and Save and Close, until the quote's new total shows on the summary page.

#include "BenchTiming.h"
#include "DataDirFixture.h"
#include "app/FormMain.h"
#include "controls/dataaware/FieldLookupComboBox.h"
#include "controls/dataaware/FieldSpinBox.h"
#include "controls/dataaware/FieldLabel.h"
#include "controls/window/TQVRegistry.h"
#include "engine/Field.h"
#include "reference/FormMaterialSelection.h"

#include <QAction>
#include <QApplication>
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

// What the person does in the dialog: picks a material by its code, types a quantity, saves.
void workTheDialog(int run)
{
    auto *dialog = qobject_cast<TfrmMaterialSelect *>(QApplication::activeModalWidget());
    if (!dialog)
        return;
    auto *code = dialog->findChild<FieldLookupComboBox *>(u"cboCode"_s);
    const int index = (run * 37) % code->count();
    code->setCurrentIndex(index);
    emit code->activated(index);
    auto *quantity = dialog->findChild<FieldSpinBox *>(u"feQuantity"_s);
    quantity->selectAll();
    QTest::keyClicks(quantity, u"3"_s);
    QTest::keyClick(quantity, Qt::Key_Return);
    dialog->findChild<QAction *>(u"btnSave"_s)->trigger();
}

// Adds Runs lines on a new business with a price list of that many materials; false when a
// total shown disagreed with the quote.
bool timeAdding(int materials)
{
    DataDirFixture data;
    fill(data, materials);
    std::unique_ptr<TDM> dm = data.start();
    if (!dm->isConnected()) {
        std::printf("the data module did not start: %s\n", qPrintable(data.startupMessage));
        return false;
    }
    auto window = std::make_unique<TfrmMain>(dm.get());
    window->show();
    runUntilIdle();
    auto *add = window->findChild<QToolButton *>(u"frmAddMaterials"_s);
    auto *grandTotal = window->findChild<FieldLabel *>(u"lblGrandTotal"_s);

    std::vector<double> times;
    int wrong = 0;
    for (int run = 0; run < Runs; ++run) {
        // Every few lines the user moves on to another quote.
        if (run % 5 == 0) {
            window->btnNextClick();
            runUntilIdle();
        }
        times.push_back(millisecondsOf([&] {
            QTimer::singleShot(0, [run] { workTheDialog(run); });
            add->click();
            runUntilIdle();
        }));
        TQVTable *quotes = dm->tblQuotes;
        const QString expected =
            QLocale().toCurrencyString(quotes->fieldByName(u"VQuoteTotal"_s)->asFloat());
        if (grandTotal->text() != expected || quotes->state() != DataSetState::Browse)
            ++wrong;
    }
    std::sort(times.begin(), times.end());
    std::printf("  %5d materials: median %7.1f ms, min %7.1f ms, max %7.1f ms of %d; totals shown "
                "wrong: %d\n",
        materials, times[times.size() / 2], times.front(), times.back(), Runs, wrong);
    window.reset();
    dm.reset();
    return wrong == 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QTemporaryDir registry;
    TQVRegistry::setRootPath(registry.path());
    std::printf("add a material line through the dialog until its quote's total shows "
                "(%d quotes, %d lines):\n",
        Quotes, 2 * Quotes * LinesPerQuote);
    bool right = true;
    for (int materials : { 50, 500, 5000 })
        right = timeAdding(materials) && right;
    return right ? 0 : 1;
}

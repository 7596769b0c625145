#include "../app/MainWindowFixture.h"
#include "DataDirFixture.h"
#include "DataTool.h"
#include "DemoCommand.h"
#include "DocumentTestData.h"
#include "controls/window/MessageAnswers.h"
#include "controls/window/TQVRegistry.h"
#include "documents/FormCJobSummary.h"
#include "documents/FormCQuoteSummary.h"
#include "documents/FormPrintPreview.h"
#include "documents/QRJobSummary.h"
#include "documents/QRQuoteSummary.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>

using namespace Qt::StringLiterals;
using namespace DocumentTestSupport;

namespace {

constexpr double margin = 10;

struct Header
{
    QString number;
    QVariant client;
    QString status;
    double labour;
    double materials;
    double tax = 0;
    double discount = 0;
};

// Headers in every status, one without a client and one whose client record is missing.
const QList<Header> &sampleHeaders()
{
    static const QList<Header> headers {
        { u"Q10"_s, 11, u"C"_s, 100, 50, 15, 5 },
        { u"Q9"_s, 12, u"C"_s, 1134.5, 0 },
        { u"Q2"_s, 11, u"H"_s, 0, 20 },
        { u"Q3"_s, 12, u"I"_s, 1234.5, 0 },
        { u"Q4"_s, 11, u"P"_s, 10, 10 },
        { u"Q5"_s, QVariant(), u"I"_s, 999, 999 },
        { u"Q6"_s, 99, u"P"_s, 888, 888 },
    };
    return headers;
}

void addHeaders(DataDirFixture &data, bool jobs)
{
    // Client 11 is the hand-made business's own client.
    data.exec(u"Clients.DB"_s,
        u"INSERT INTO data (Client_ID, Contact, Company_Name) VALUES "
        "(12, 'Fergus Dunmore', 'Dunmore & Sons')"_s);
    int key = 100;
    for (const Header &h : sampleHeaders()) {
        const QString number = jobs ? QString(h.number).replace(u'Q', u'J') : h.number;
        const QString sql = jobs
            ? u"INSERT INTO data (Job_ID, Job_No, Client_ID, Status, Date, DueDate, "
              u"JobDescription, "
              "TotalLabour, TotalMaterials, TotalSalesTax, Discount, JobTotal) VALUES "
              "(%1, '%2', %3, '%4', '2025-03-04', '2025-03-11', 'Work %2', %5, %6, %7, %8, %9)"_s
            : u"INSERT INTO data (Quote_ID, Quote_No, Client_ID, Status, Date, DueDate, "
              "QuoteDescription, TotalLabour, TotalMaterials, TotalSalesTax, Discount, QuoteTotal) "
              "VALUES (%1, '%2', %3, '%4', '2025-03-04', '2025-03-11', 'Work %2', %5, %6, %7, %8, "
              "%9)"_s;
        data.exec(jobs ? u"Jobs.DB"_s : u"Quotes.DB"_s,
            sql.arg(++key)
                .arg(number, h.client.isNull() ? u"NULL"_s : h.client.toString(), h.status)
                .arg(h.labour)
                .arg(h.materials)
                .arg(h.tax)
                .arg(h.discount)
                .arg(h.labour + h.materials));
    }
}

QStringList texts(const RenderedReport &report)
{
    QStringList result;
    for (const PageText &text : textsOf(report))
        result << text.text;
    return result;
}

// The page texts from the first column header on, without the page furniture.
QStringList body(const RenderedReport &report)
{
    QStringList result;
    for (const QString &text : texts(report)) {
        if (!text.startsWith(u"Printed"_s) && !text.startsWith(u"Page "_s)
            && !text.endsWith(u"Summary"_s))
            result << text;
    }
    return result;
}

QStringList statusParams(const QString &statuses)
{
    QStringList params;
    for (const auto &[key, code] : SummaryReport::statusParams())
        params << key + (statuses.contains(code) ? u"=TRUE"_s : u"=FALSE"_s);
    return params;
}

} // namespace

// The quote and job summaries: the query they build, what they list and sum, where it prints,
// their criteria dialogs, the menu that opens them and the data tool's PDF of them.
class TestSummaries : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void statusCondition_data();
    void statusCondition();
    void listing_data();
    void listing();
    void layout();
    void emptyResultPrintsNothing();
    void criteriaDialog_data();
    void criteriaDialog();
    void menuOpensDialogs_data();
    void menuOpensDialogs();
    void commandLine_data();
    void commandLine();

private:
    std::unique_ptr<HandMadeDocuments> m_data;
};

void TestSummaries::init()
{
    MessageAnswers::clear();
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
    m_data = std::make_unique<HandMadeDocuments>();
}

void TestSummaries::cleanup()
{
    m_data.reset();
    MessageAnswers::clear();
}

void TestSummaries::statusCondition_data()
{
    QTest::addColumn<bool>("jobs");
    QTest::addColumn<QString>("statuses");
    QTest::addColumn<QStringList>("condition");
    QTest::addColumn<QVariantList>("values");
    const QString q = u"(Quotes.\"Status\" = ?)"_s;
    QTest::newRow("only pending") << false << u"P"_s << QStringList { u"and ("_s, q, u")"_s }
                                  << QVariantList { u"P"_s };
    QTest::newRow("completed and hold")
        << false << u"CH"_s << QStringList { u"and ("_s + q, u"or"_s, q, u")"_s }
        << QVariantList { u"C"_s, u"H"_s };
    QTest::newRow("all four, in parameter order")
        << false << u"CHIP"_s
        << QStringList { u"and ("_s + q, u"or"_s, q, u"or"_s, q, u"or"_s, q, u")"_s }
        << QVariantList { u"C"_s, u"I"_s, u"P"_s, u"H"_s };
    QTest::newRow("none: no condition") << false << QString() << QStringList() << QVariantList();
    QTest::newRow("job progress and hold") << true << u"IH"_s
                                           << QStringList { u"and ("_s, u"(Jobs.\"Status\" = ?)"_s,
                                                  u"or"_s, u"(Jobs.\"Status\" = ?)"_s, u")"_s }
                                           << QVariantList { u"I"_s, u"H"_s };
}

void TestSummaries::statusCondition()
{
    QFETCH(bool, jobs);
    QFETCH(QString, statuses);
    QFETCH(QStringList, condition);
    QFETCH(QVariantList, values);
    std::unique_ptr<TDM> dm = m_data->start();
    std::unique_ptr<SummaryReport> report;
    if (jobs)
        report = std::make_unique<TqrepJobSummary>(dm.get());
    else
        report = std::make_unique<TqrepQuoteSummary>(dm.get());
    report->Params = statusParams(statuses);
    const SummaryQuery query = report->query();
    const qsizetype where =
        query.lines.indexOf(jobs ? u"WHERE ( Jobs.\"Client_ID\" = Clients.\"Client_ID\" )"_s
                                 : u"WHERE ( Quotes.\"Client_ID\" = Clients.\"Client_ID\" )"_s);
    QCOMPARE(where, 10);
    QCOMPARE(query.lines.mid(where + 1, query.lines.size() - where - 2), condition);
    QCOMPARE(query.lines.last(),
        jobs ? u"ORDER BY Jobs.\"Status\" NULLS FIRST, Jobs.\"Job_No\" NULLS FIRST"_s
             : u"ORDER BY Quotes.\"Status\" NULLS FIRST, Quotes.\"Quote_No\" NULLS FIRST"_s);
    // The codes are bound: none of them is part of the statement.
    QCOMPARE(query.values, values);
    QCOMPARE(query.sql().count(u'?'), values.size());
    // And the statement runs.
    report->load();
}

void TestSummaries::listing_data()
{
    QTest::addColumn<bool>("jobs");
    QTest::newRow("quotes") << false;
    QTest::newRow("jobs") << true;
}

void TestSummaries::listing()
{
    QFETCH(bool, jobs);
    addHeaders(m_data->data, jobs);
    std::unique_ptr<TDM> dm = m_data->start();
    std::unique_ptr<SummaryReport> report;
    if (jobs)
        report = std::make_unique<TqrepJobSummary>(dm.get());
    else
        report = std::make_unique<TqrepQuoteSummary>(dm.get());
    report->Params = statusParams(u"CHIP"_s);
    const RenderedReport pages = report->run();
    QCOMPARE(pages.pages.size(), 1);
    const QString n = jobs ? u"J"_s : u"Q"_s;
    const QStringList titles { jobs ? u"Job #"_s : u"Quote #"_s, u"Description"_s, u"Client"_s,
        u"Date / Due Date"_s, u"Labour"_s, u"Materials"_s, u"Total"_s };
    auto record = [&](const QString &number, const QString &company, const QString &contact,
                      const QString &labour, const QString &materials, const QString &total) {
        return QStringList { number.isEmpty() ? QString() : n + number, u"Work "_s + n + number,
            company, contact, u"3/4/25"_s, u"3/11/25"_s, labour, materials, total };
    };
    const QString florist = u"Juniper Lane Florist"_s, maeve = u"Maeve Lockhart"_s;
    const QString sons = u"Dunmore & Sons"_s, fergus = u"Fergus Dunmore"_s;
    // Groups in code order, numbers compared as text; tax and discount stay out of the cost; the
    // headers without a client record are in no group and no total.
    const QStringList expected = titles + QStringList { u"Complete"_s }
        + record(u"10"_s, florist, maeve, u"$100.00"_s, u"$50.00"_s, u"$150.00"_s)
        + record(u"9"_s, sons, fergus, u"$1,134.50"_s, u"$0.00"_s, u"$1,134.50"_s)
        + QStringList { u"$1,234.50"_s, u"$50.00"_s, u"$1,284.50"_s, u"Hold"_s }
        + record(u"2"_s, florist, maeve, u"$0.00"_s, u"$20.00"_s, u"$20.00"_s)
        + QStringList { u"$.00"_s, u"$20.00"_s, u"$20.00"_s, u"In Progress"_s }
        + record(u"3"_s, sons, fergus, u"$1,234.50"_s, u"$0.00"_s, u"$1,234.50"_s)
        + QStringList { u"$1,234.50"_s, u"$.00"_s, u"$1,234.50"_s, u"Pending"_s }
        + record(u"4"_s, florist, maeve, u"$10.00"_s, u"$10.00"_s, u"$20.00"_s)
        + QStringList { u"$10.00"_s, u"$10.00"_s, u"$20.00"_s, u"TOTAL:"_s, u"$2,479.00"_s,
              u"$80.00"_s, u"$2,559.00"_s };
    QCOMPARE(body(pages), expected);
}

void TestSummaries::layout()
{
    addHeaders(m_data->data, false);
    std::unique_ptr<TDM> dm = m_data->start();
    TqrepQuoteSummary report(dm.get());
    report.Params = statusParams(u"C"_s);
    const RenderedReport pages = report.run();
    QCOMPARE(pages.pages.size(), 1);
    const ReportPage &page = pages.pages.first();
    QCOMPARE(page.paperSize, QSizeF(297, 210));

    const double header = margin, column = header + 11.4, group = column + 9.0,
                 record = group + 9.3, footer = record + 2 * 11.9, closing = footer + 13.5;
    struct Where
    {
        QString text;
        double x, y;
    };
    const Where items[] = {
        { u"Quote #"_s, 0.8, column + 2.1 },
        { u"Date / Due Date"_s, 165.6, column + 2.1 },
        { u"Total"_s, 260.1, column + 2.1 },
        { u"Complete"_s, 0.8, group + 3.2 },
        { u"Q10"_s, 0.8, record + 2.1 },
        { u"Work Q10"_s, 21.4, record + 2.1 },
        { u"Juniper Lane Florist"_s, 103.7, record + 2.1 },
        { u"Maeve Lockhart"_s, 103.7, record + 6.3 },
        { u"TOTAL:"_s, 154.3, closing + 4.8 },
    };
    for (const Where &item : items) {
        QVERIFY2(
            textAt(page, item.text, margin + item.x, item.y).has_value(), qPrintable(item.text));
    }
    // Right edges of the amounts, and the status box's colours and font.
    auto find = [&](const QString &text, double top) -> std::optional<PageText> {
        for (const PageText &t : textsOf(pages)) {
            if (t.text == text && qAbs(t.box.top() - top) < 0.05)
                return t;
        }
        return std::nullopt;
    };
    QCOMPARE(find(u"$100.00"_s, record + 2.1)->box.right(), margin + 215.6);
    QCOMPARE(find(u"$150.00"_s, record + 2.1)->box.right(), margin + 275.1);
    QCOMPARE(find(u"$1,234.50"_s, footer + 2.1)->box.right(), margin + 215.9);
    QCOMPARE(find(u"$1,234.50"_s, closing + 4.2)->box.right(), margin + 215.4);
    const PageText status = *textAt(page, u"Complete"_s, margin + 0.8, group + 3.2);
    QCOMPARE(status.color, QColor(Qt::white));
    QCOMPARE(status.font.pointSize(), 12);
    QVERIFY(status.font.bold());
    const PageText title = *find(u"Quote Summary"_s, header + 1.1);
    QCOMPARE(title.box.left(), margin);
    QCOMPARE(title.box.width(), 277.0);
    QVERIFY(title.alignment & Qt::AlignHCenter);
    QCOMPARE(title.font.pointSize(), 18);
    QVERIFY(!title.font.bold());
    bool printed = false;
    for (const PageText &t : textsOf(pages))
        printed |= t.text.startsWith(u"Printed : "_s) && t.font.pointSize() == 8
            && t.box.right() == margin + 277 && t.text.contains(u':', Qt::CaseSensitive);
    QVERIFY(printed);
}

void TestSummaries::emptyResultPrintsNothing()
{
    addHeaders(m_data->data, false);
    std::unique_ptr<TDM> dm = m_data->start();
    TqrepJobSummary report(dm.get()); // the directory holds quotes only
    report.Params = statusParams(u"CHIP"_s);
    QVERIFY(report.run().pages.isEmpty());
}

void TestSummaries::criteriaDialog_data()
{
    QTest::addColumn<bool>("jobs");
    QTest::newRow("quotes") << false;
    QTest::newRow("jobs") << true;
}

void TestSummaries::criteriaDialog()
{
    QFETCH(bool, jobs);
    std::unique_ptr<TDM> dm = m_data->start();
    std::unique_ptr<SummaryCriteriaDialog> dialog;
    if (jobs)
        dialog = std::make_unique<TfrmJobSummary>(dm.get());
    else
        dialog = std::make_unique<TfrmQuoteSummary>(dm.get());
    QCOMPARE(dialog->windowTitle(),
        jobs ? u"Criteria for Job Summary"_s : u"Criteria for Quote Summary"_s);
    auto box = [&](const QString &name) { return dialog->findChild<QCheckBox *>(name); };
    QStringList order;
    for (QCheckBox *check : dialog->findChildren<QCheckBox *>())
        order << check->text() + (check->isChecked() ? u"+"_s : QString());
    QCOMPARE(order, (QStringList { u"Completed"_s, u"Pending"_s, u"In Progress+"_s, u"Hold"_s }));
    QCOMPARE(
        dialog->findChild<QComboBox *>(u"cboReportType"_s)->currentText(), u"Print To Screen"_s);

    // For a person to look at: the dialog as it shows, where the variable says.
    const QString keep = qEnvironmentVariable("TESSORIN_DOCUMENT_PDF_DIR");
    if (!keep.isEmpty())
        QVERIFY(dialog->grab().save(QDir(keep).filePath(dialog->objectName() + u".png"_s)));
    box(u"chkPending"_s)->setChecked(true);
    box(u"chkHold"_s)->setChecked(true);
    box(u"chkProgress"_s)->setChecked(false);
    dialog->show();
    // The preview opens; close it once it is up, and the run returns.
    QTimer::singleShot(0, dialog.get(), [&] {
        if (TfrmPrintPreview *preview = dialog->report().previewWindow())
            preview->close();
    });
    QTest::mouseClick(dialog->findChild<QPushButton *>(u"btnPrint"_s), Qt::LeftButton);
    QCOMPARE(dialog->report().Params,
        (QStringList {
            u"COMPLETE=FALSE"_s, u"PROGRESS=FALSE"_s, u"PENDING=TRUE"_s, u"HOLD=TRUE"_s }));
    QVERIFY(dialog->isVisible()); // the dialog stays open for further runs
    QCOMPARE(MessageAnswers::shown().size(), 0);
}

void TestSummaries::menuOpensDialogs_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("dialog");
    QTest::newRow("quotes") << u"mniSummaryQuotes"_s << u"frmQuoteSummary"_s;
    QTest::newRow("jobs") << u"mniSummaryJobs"_s << u"frmJobSummary"_s;
}

void TestSummaries::menuOpensDialogs()
{
    QFETCH(QString, item);
    QFETCH(QString, dialog);
    MainWindowFixture fixture;
    fixture.open();
    QString opened;
    QTimer::singleShot(0, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            opened = modal->objectName();
            modal->close();
        }
    });
    fixture.find<QAction>(item)->trigger();
    QCOMPARE(opened, dialog);
    QCOMPARE(MessageAnswers::shown().size(), 0);
}

void TestSummaries::commandLine_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("groups");
    QTest::addColumn<QString>("directory"); // relative to the data directory
    QTest::addColumn<QString>("output"); // relative to the output folder
    const QString pdf = u"summary.pdf"_s;
    QTest::newRow("in progress by default")
        << QStringList() << 0 << QStringList { u"In Progress"_s } << u"."_s << pdf;
    QTest::newRow("chosen statuses") << QStringList { u"--status"_s, u"C,H"_s } << 0
                                     << QStringList { u"Complete"_s, u"Hold"_s } << u"."_s << pdf;
    QTest::newRow("unknown status refused")
        << QStringList { u"--status"_s, u"C,X"_s } << 2 << QStringList() << u"."_s << pdf;
    QTest::newRow("no such data directory")
        << QStringList() << 1 << QStringList() << u"missing"_s << pdf;
    QTest::newRow("output folder missing: nothing written")
        << QStringList() << 1 << QStringList() << u"."_s << u"missing/summary.pdf"_s;
}

void TestSummaries::commandLine()
{
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(QStringList, groups);
    QFETCH(QString, directory);
    QFETCH(QString, output);
    addHeaders(m_data->data, false);
    QTemporaryDir out;
    const QString pdf = out.filePath(output);
    QString outText, errText;
    QTextStream outStream(&outText), errStream(&errText);
    const QStringList args = QStringList { u"pdf"_s,
        QDir(m_data->data.dataDirectory()).filePath(directory), u"summary"_s, u"quotes"_s }
        + options + QStringList { pdf };
    QCOMPARE(runDataTool(args, outStream, errStream), exitCode);
    QCOMPARE(QFile::exists(pdf), exitCode == 0);
    if (exitCode != 0) {
        QVERIFY(!errText.isEmpty());
        QCOMPARE(
            QDir(out.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        return;
    }
    QVERIFY(QDir(out.path()).entryList(QDir::Files) == QStringList { u"summary.pdf"_s });
    const QString text = pdfText(pdf);
    if (text.isNull())
        QSKIP("pdftotext is not installed");
    for (const QString &word : { u"Complete"_s, u"Hold"_s, u"In Progress"_s, u"Pending"_s })
        QCOMPARE(text.contains(word), groups.contains(word));
    QVERIFY(!text.contains(u"Q5"_s)); // no client: never listed
}

int runSummaryTests(int argc, char **argv)
{
    TestSummaries test;
    return QTest::qExec(&test, argc, argv);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Tessorin"_s);
    QApplication::setApplicationDisplayName(u"Velbric Tessorin"_s);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QTemporaryDir registry;
    TQVRegistry::setRootPath(registry.path());
    return runSummaryTests(argc, argv);
}

#include "tst_summaries.moc"

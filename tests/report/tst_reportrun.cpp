#include "ReportTestSupport.h"
#include "report/ReportDataSource.h"
#include "report/ReportFormat.h"
#include "report/ReportLayout.h"
#include "report/ReportRunner.h"
#include "report/RichTextBlock.h"

#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace ReportTestSupport;

namespace {

// A4 portrait, 10 mm margins: page header 20 mm, column header 8.5 mm, detail 5 mm, footer 10 mm,
// so the body runs from y 38.5 to 277 (238.5 mm).
std::unique_ptr<ReportLayout> listLayout()
{
    auto layout = std::make_unique<ReportLayout>();
    layout->setTitle(u"Listing"_s);
    ReportBand &header = layout->addBand(ReportBand::PageHeader, 20);
    header.addSystemField({ 2.1, 3.2, 65.9, 7.9 }, ReportSystemField::Title);
    header.setFrame({ Qt::BottomEdge });
    layout->addBand(ReportBand::ColumnHeader, 8.5).addLabel({ 2.1, 1, 15, 5 }, u"Code"_s);
    ReportBand &detail = layout->addBand(ReportBand::Detail, 5);
    detail.addField({ 21.2, 0, 50, 4.5 }, u"Key"_s).setName(u"key"_s);
    ReportField &amount = detail.addField({ 100, 0, 36.5, 4.5 }, u"Amount"_s);
    amount.setAlignment(Qt::AlignRight | Qt::AlignTop);
    ReportBand &footer = layout->addBand(ReportBand::PageFooter, 10);
    footer.addSystemField({ 0, 2, 190, 5 }, ReportSystemField::PageNumber, u"Page "_s)
        .setAlignment(Qt::AlignRight | Qt::AlignTop);
    footer.addSystemField({ 0, 2, 40, 5 }, ReportSystemField::PageCount, u"of "_s);
    return layout;
}

RenderedReport run(ReportLayout &layout, const QList<QVariantMap> &rows)
{
    ListDataSource data(rows);
    ReportRunner runner(layout);
    runner.setPrintDateTime(QDateTime(QDate(2024, 3, 5), QTime(14, 30)));
    return runner.run(data);
}

QList<QVariantMap> numberedRows(int count)
{
    QList<QVariantMap> rows;
    for (int i = 1; i <= count; ++i)
        rows.append({ { u"Key"_s, u"R%1"_s.arg(i) }, { u"Amount"_s, i } });
    return rows;
}

QStringList withPrefix(const QStringList &texts, const QString &prefix)
{
    QStringList result;
    for (const QString &t : texts) {
        const QString text = t.section(u':', 1);
        if (text.startsWith(prefix))
            result.append(text.mid(prefix.size()));
    }
    return result;
}

} // namespace

class TestReportRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void bandPositions_data();
    void bandPositions();
    void groupsAndSums_data();
    void groupsAndSums();
    void nestedGroups();
    void beforeBandHook_data();
    void beforeBandHook();
    void fieldHookChangesText_data();
    void fieldHookChangesText();
    void memoGrowsBand_data();
    void memoGrowsBand();
    void memoTextKind_data();
    void memoTextKind();
    void pageOverflow_data();
    void pageOverflow();
    void groupHeaderMovesWithFirstRow_data();
    void groupHeaderMovesWithFirstRow();
    void longMemoSplitsAcrossPages();
    void throwingHookEndsRun();
    void emptyAndRefusedRuns_data();
    void emptyAndRefusedRuns();
    void pageHookCancels();
    void systemFields();
    void formatFloat_data();
    void formatFloat();
};

void TestReportRun::bandPositions_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRectF>("box");
    QTest::newRow("title in the page header, offset by the margins")
        << u"Listing"_s << QRectF(12.1, 13.2, 65.9, 7.9);
    QTest::newRow("column header right under the page header")
        << u"Code"_s << QRectF(12.1, 31, 15, 5);
    QTest::newRow("first detail under the column header") << u"R1"_s << QRectF(31.2, 38.5, 50, 4.5);
    QTest::newRow("third detail two bands lower") << u"R3"_s << QRectF(31.2, 48.5, 50, 4.5);
    QTest::newRow("right-aligned amount keeps its box") << u"2"_s << QRectF(110, 43.5, 36.5, 4.5);
    QTest::newRow("page footer at the bottom margin") << u"Page 1"_s << QRectF(10, 279, 190, 5);
}

void TestReportRun::bandPositions()
{
    QFETCH(QString, text);
    QFETCH(QRectF, box);
    auto layout = listLayout();
    const RenderedReport report = run(*layout, numberedRows(3));
    QCOMPARE(report.pages.size(), 1);
    QCOMPARE(report.pages[0].paperSize, QSizeF(210, 297));
    const auto found = findText(report.pages[0], text);
    QVERIFY2(found, qPrintable(text));
    QVERIFY2(near(found->box, box),
        qPrintable(u"%1,%2 %3x%4"_s.arg(found->box.x())
                       .arg(found->box.y())
                       .arg(found->box.width())
                       .arg(found->box.height())));
}

void TestReportRun::groupsAndSums_data()
{
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QStringList>("headers");
    QTest::addColumn<QStringList>("footerSums");
    QTest::addColumn<QString>("total");
    QTest::newRow("one group") << u"A:1,A:2"_s << QStringList { u"A"_s } << QStringList { u"3"_s }
                               << u"3"_s;
    QTest::newRow("A, B, A make three groups")
        << u"A:10,A:20,B:5,A:1"_s << QStringList { u"A"_s, u"B"_s, u"A"_s }
        << QStringList { u"30"_s, u"5"_s, u"1"_s } << u"36"_s;
    QTest::newRow("every row its own group")
        << u"A:1.5,B:2,C:-1"_s << QStringList { u"A"_s, u"B"_s, u"C"_s }
        << QStringList { u"1.5"_s, u"2"_s, u"-1"_s } << u"2.5"_s;
}

void TestReportRun::groupsAndSums()
{
    QFETCH(QString, rows);
    QFETCH(QStringList, headers);
    QFETCH(QStringList, footerSums);
    QFETCH(QString, total);

    auto layout = listLayout();
    ReportGroup &group = layout->addGroupOnField(u"Key"_s);
    group.addHeader(6).addField({ 0, 0, 40, 5 },
        [](const ReportContext &c) { return u"H "_s + c.value(u"Key"_s).toString(); });
    ReportBand &footer = group.addFooter(6);
    footer.addSum({ 0, 0, 40, 5 }, u"Amount"_s).setFormatter([](const QVariant &v) {
        return u"F "_s + ReportFormat::toText(v);
    });
    // A footer sees the last row of its own group, not the row that closed it.
    footer.addField({ 50, 0, 40, 5 },
        [](const ReportContext &c) { return u"L "_s + c.value(u"Key"_s).toString(); });
    layout->addBand(ReportBand::Summary, 6)
        .addSum({ 0, 0, 40, 5 }, u"Amount"_s)
        .setFormatter([](const QVariant &v) { return u"T "_s + ReportFormat::toText(v); });

    const QStringList texts = allTexts(run(*layout, keyedRows(rows)));
    QCOMPARE(withPrefix(texts, u"H "_s), headers);
    QCOMPARE(withPrefix(texts, u"F "_s), footerSums);
    QCOMPARE(withPrefix(texts, u"L "_s), headers);
    QCOMPARE(withPrefix(texts, u"T "_s), QStringList { total });
}

void TestReportRun::nestedGroups()
{
    auto layout = listLayout();
    layout->band(ReportBand::Detail)->setHeight(0);
    const auto keyPart = [](int length) {
        return [length](const ReportContext &c) {
            return QVariant(c.value(u"Key"_s).toString().left(length));
        };
    };
    for (int level : { 1, 2 }) {
        ReportGroup &group = layout->addGroup(keyPart(level));
        group.addHeader(5).addField({ 0, 0, 40, 5 }, [=](const ReportContext &c) {
            return u"H%1 "_s.arg(level) + keyPart(level)(c).toString();
        });
        group.addFooter(5)
            .addSum({ 0, 0, 40, 5 }, u"Amount"_s)
            .setFormatter([=](const QVariant &v) { return u"F%1 "_s.arg(level) + v.toString(); });
    }
    const QStringList texts = allTexts(run(*layout, keyedRows(u"AX:1,AX:2,AY:3,BY:4"_s)));
    QCOMPARE(withPrefix(texts, u"H1 "_s), (QStringList { u"A"_s, u"B"_s }));
    QCOMPARE(withPrefix(texts, u"H2 "_s), (QStringList { u"AX"_s, u"AY"_s, u"BY"_s }));
    QCOMPARE(withPrefix(texts, u"F2 "_s), (QStringList { u"3"_s, u"3"_s, u"4"_s }));
    QCOMPARE(withPrefix(texts, u"F1 "_s), (QStringList { u"6"_s, u"4"_s }));
}

void TestReportRun::beforeBandHook_data()
{
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QStringList>("printed");
    QTest::newRow("amount 0 suppresses, others set the height")
        << u"A:5,B:0,C:10,D:5"_s << QStringList { u"A@38.5"_s, u"C@43.5"_s, u"D@53.5"_s };
    QTest::newRow("every band suppressed still prints the page frame")
        << u"A:0,B:0"_s << QStringList {};
    QTest::newRow("a taller band") << u"A:20,B:3"_s << QStringList { u"A@38.5"_s, u"B@58.5"_s };
}

void TestReportRun::beforeBandHook()
{
    QFETCH(QString, rows);
    QFETCH(QStringList, printed);
    auto layout = listLayout();
    layout->band(ReportBand::Detail)->setBeforePrint([](ReportBand &band, const ReportContext &c) {
        const double amount = c.value(u"Amount"_s).toDouble();
        band.setHeight(amount);
        return amount > 0;
    });
    const RenderedReport report = run(*layout, keyedRows(rows));
    QCOMPARE(report.pages.size(), 1);
    QStringList positions;
    for (const PageText &t : texts(report.pages[0])) {
        if (t.text.size() == 1 && t.text.at(0).isLetter())
            positions.append(u"%1@%2"_s.arg(t.text).arg(t.box.y()));
    }
    QCOMPARE(positions, printed);
    QVERIFY(findText(report.pages[0], u"Page 1"_s));
}

void TestReportRun::fieldHookChangesText_data()
{
    QTest::addColumn<bool>("codes");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("codes shown") << true << QStringList { u"Code"_s, u"R1"_s, u"R2"_s };
    QTest::newRow("codes blanked") << false << QStringList { u""_s, u""_s, u""_s };
}

void TestReportRun::fieldHookChangesText()
{
    QFETCH(bool, codes);
    QFETCH(QStringList, expected);
    auto layout = listLayout();
    const TextHook blankUnlessCodes = [codes](QString &text, const ReportContext &) {
        if (!codes)
            text.clear();
    };
    static_cast<ReportTextElement *>(layout->band(ReportBand::ColumnHeader)->elements()[0].get())
        ->setPrintHook(blankUnlessCodes);
    layout->band(ReportBand::Detail)->find<ReportField>(u"key"_s)->setPrintHook(blankUnlessCodes);
    const ReportPage page = run(*layout, numberedRows(2)).pages.value(0);
    QStringList printed;
    for (const PageText &t : texts(page)) {
        if (t.box.x() < 40 && t.box.y() > 30 && t.box.y() < 270)
            printed.append(t.text);
    }
    QCOMPARE(printed, expected);
}

void TestReportRun::memoGrowsBand_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("canGrow");
    QTest::addColumn<bool>("grows");
    const QString longText = u"word "_s.repeated(200);
    QTest::newRow("short text keeps the band") << u"Short"_s << true << false;
    QTest::newRow("long text grows the band") << longText << true << true;
    QTest::newRow("fixed box clips long text") << longText << false << false;
    QTest::newRow("long rich text grows the band")
        << u"<p>"_s + u"<b>bold</b> words "_s.repeated(80) + u"</p>"_s << true << true;
}

void TestReportRun::memoGrowsBand()
{
    QFETCH(QString, text);
    QFETCH(bool, canGrow);
    QFETCH(bool, grows);
    auto layout = listLayout();
    ReportBand &detail = *layout->band(ReportBand::Detail);
    detail.setHeight(7);
    ReportMemo &memo = detail.addMemo({ 60, 0.5, 80, 5.5 }, u"Notes"_s);
    memo.setCanGrow(canGrow);
    detail.addLabel({ 150, 6, 20, 1 }, u"below"_s);
    QList<QVariantMap> rows = numberedRows(2);
    rows[0][u"Notes"_s] = text;

    const ReportPage page = run(*layout, rows).pages.value(0);
    const QList<PageRichText> memos = richTexts(page);
    QCOMPARE(memos.size(), 1); // the second row's memo is empty and draws nothing
    const double growth = memos[0].box.height() - 5.5;
    QCOMPARE(growth > 0.5, grows);
    if (grows)
        QVERIFY(near(memos[0].box.height(), RichTextBlock::contentHeight(memos[0])));
    const double secondRow = findText(page, u"R2"_s)->box.y();
    QVERIFY(near(secondRow, 38.5 + 7 + std::max(0.0, growth)));
    QVERIFY(near(findText(page, u"below"_s)->box.y(), 38.5 + 6 + std::max(0.0, growth)));
}

void TestReportRun::memoTextKind_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("html");
    QTest::newRow("plain text stays plain") << u"costs < 100 in total"_s << false;
    QTest::newRow("editor HTML is rich text")
        << u"<html><body><p><b>Bold</b></p></body></html>"_s << true;
    QTest::newRow("line breaks stay plain") << u"line one\nline two"_s << false;
}

void TestReportRun::memoTextKind()
{
    QFETCH(QString, text);
    QFETCH(bool, html);
    auto layout = listLayout();
    layout->band(ReportBand::Detail)->addMemo({ 60, 0, 80, 4 }, u"Notes"_s);
    QList<QVariantMap> rows = numberedRows(1);
    rows[0][u"Notes"_s] = text;
    const QList<PageRichText> memos = richTexts(run(*layout, rows).pages.value(0));
    QCOMPARE(memos.size(), 1);
    QCOMPARE(memos[0].html, html);
    QCOMPARE(memos[0].text, text);
}

void TestReportRun::pageOverflow_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<double>("height");
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("perPage");
    QTest::newRow("exactly one page full") << 47 << 5.0 << 1 << 47;
    QTest::newRow("one row more starts page 2") << 48 << 5.0 << 2 << 47;
    QTest::newRow("a hundred rows") << 100 << 5.0 << 3 << 47;
    QTest::newRow("tall bands") << 10 << 100.0 << 5 << 2;
}

void TestReportRun::pageOverflow()
{
    QFETCH(int, rows);
    QFETCH(double, height);
    QFETCH(int, pages);
    QFETCH(int, perPage);
    auto layout = listLayout();
    layout->band(ReportBand::Detail)->setHeight(height);
    const RenderedReport report = run(*layout, numberedRows(rows));
    QCOMPARE(report.pages.size(), pages);
    int next = 1;
    for (int p = 0; p < pages; ++p) {
        const ReportPage &page = report.pages[p];
        QVERIFY(findText(page, u"Listing"_s));
        QVERIFY(findText(page, u"Code"_s));
        const auto footer = findText(page, u"Page %1"_s.arg(p + 1));
        QVERIFY(footer);
        QVERIFY(findText(page, u"of %1"_s.arg(pages)));
        QCOMPARE(footer->box.y(), 279.0);
        const int onPage = std::min(perPage, rows - next + 1);
        for (int i = 0; i < onPage; ++i, ++next) {
            const auto row = findText(page, u"R%1"_s.arg(next));
            QVERIFY2(row, qPrintable(u"R%1 on page %2"_s.arg(next).arg(p + 1)));
            QVERIFY(near(row->box.y(), 38.5 + i * height));
            QVERIFY(row->box.bottom() <= 277);
        }
    }
    QCOMPARE(next, rows + 1);
}

void TestReportRun::groupHeaderMovesWithFirstRow_data()
{
    QTest::addColumn<int>("firstGroupRows");
    QTest::addColumn<int>("headerPage");
    QTest::addColumn<double>("headerY");
    // The body holds 238.5 mm: header A (6) and n rows of 5 leave 232.5 - 5n.
    QTest::newRow("room for header and row") << 44 << 1 << 38.5 + 6 + 44 * 5.0;
    QTest::newRow("room for the header alone") << 45 << 2 << 38.5;
    QTest::newRow("no room at all") << 46 << 2 << 38.5;
}

void TestReportRun::groupHeaderMovesWithFirstRow()
{
    QFETCH(int, firstGroupRows);
    QFETCH(int, headerPage);
    QFETCH(double, headerY);
    auto layout = listLayout();
    layout->addGroupOnField(u"Key"_s).addHeader(6).addField({ 0, 0, 40, 5 },
        [](const ReportContext &c) { return u"H "_s + c.value(u"Key"_s).toString(); });
    const RenderedReport report =
        run(*layout, keyedRows(u"A:1,"_s.repeated(firstGroupRows) + u"B:2"_s));
    QCOMPARE(report.pages.size(), headerPage);
    const auto header = findText(report.pages[headerPage - 1], u"H B"_s);
    QVERIFY(header);
    QVERIFY(near(header->box.y(), headerY));
    QVERIFY(near(findText(report.pages[headerPage - 1], u"B"_s)->box.y(), headerY + 6));
}

void TestReportRun::throwingHookEndsRun()
{
    auto layout = listLayout();
    layout->band(ReportBand::Detail)
        ->setBeforePrint([](ReportBand &, const ReportContext &c) -> bool {
            if (c.recordNumber() == 3)
                throw std::runtime_error("refused");
            return true;
        });
    ListDataSource data(numberedRows(5));
    ReportRunner runner(*layout);
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, runner.run(data));
    QCOMPARE(runner.state(), ReportRunner::State::Finished);
    // The layout is fit for another run.
    layout->band(ReportBand::Detail)->setBeforePrint({});
    QCOMPARE(runner.run(data).pages.size(), 1);
}

void TestReportRun::longMemoSplitsAcrossPages()
{
    auto layout = listLayout();
    ReportBand &detail = *layout->band(ReportBand::Detail);
    detail.addMemo({ 60, 0, 80, 4 }, u"Notes"_s).setCanGrow(true);
    QStringList lines;
    for (int i = 1; i <= 150; ++i)
        lines.append(u"Line %1"_s.arg(i));
    QList<QVariantMap> rows = numberedRows(2);
    rows[0][u"Notes"_s] = lines.join(u'\n');

    const RenderedReport report = run(*layout, rows);
    QVERIFY(report.pages.size() >= 2);
    double expectedOffset = 0;
    double shown = 0;
    for (const ReportPage &page : report.pages) {
        for (const PageRichText &piece : richTexts(page)) {
            if (piece.text.isEmpty())
                continue;
            QVERIFY(near(piece.offset, expectedOffset, 1e-6));
            QVERIFY(piece.box.top() >= 38.5 - 1e-6);
            QVERIFY(piece.box.bottom() <= 277 + 1e-6);
            expectedOffset += piece.box.height();
            shown += piece.box.height();
        }
        QVERIFY(findText(page, u"Page %1"_s.arg(&page - report.pages.data() + 1)));
    }
    PageRichText whole = richTexts(report.pages[0]).value(0);
    whole.offset = 0;
    const QList<double> bottoms = RichTextBlock::lineBottoms(whole);
    QCOMPARE(bottoms.size(), 150);
    QVERIFY(near(shown, bottoms.last(), 1e-6));
    // Pieces end on line boundaries: no line is cut in half.
    const PageRichText first = richTexts(report.pages[0]).value(0);
    QVERIFY(bottoms.contains(first.box.height()));
    QVERIFY(findText(report.pages.last(), u"R2"_s));
}

void TestReportRun::emptyAndRefusedRuns_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<bool>("printIfEmpty");
    QTest::addColumn<bool>("refuse");
    QTest::addColumn<int>("pages");
    QTest::newRow("no rows, no pages") << 0 << false << false << 0;
    QTest::newRow("no rows printed when asked") << 0 << true << false << 1;
    QTest::newRow("before-run hook refuses") << 5 << false << true << 0;
}

void TestReportRun::emptyAndRefusedRuns()
{
    QFETCH(int, rows);
    QFETCH(bool, printIfEmpty);
    QFETCH(bool, refuse);
    QFETCH(int, pages);
    auto layout = listLayout();
    layout->setPrintIfEmpty(printIfEmpty);
    layout->addBand(ReportBand::Summary, 5).addLabel({ 0, 0, 30, 5 }, u"End"_s);
    layout->setBeforeRun([refuse](ReportLayout &) { return !refuse; });
    const RenderedReport report = run(*layout, numberedRows(rows));
    QCOMPARE(report.pages.size(), pages);
    if (pages)
        QVERIFY(findText(report.pages[0], u"End"_s));
}

void TestReportRun::pageHookCancels()
{
    auto layout = listLayout();
    ListDataSource data(numberedRows(200));
    ReportRunner runner(*layout);
    QList<int> seen;
    runner.setPageHook([&](const QList<ReportPage> &pages) {
        seen.append(int(pages.size()));
        return pages.size() < 2;
    });
    QCOMPARE(runner.state(), ReportRunner::State::Ready);
    const RenderedReport report = runner.run(data);
    QCOMPARE(seen, (QList<int> { 1, 2 }));
    QCOMPARE(report.pages.size(), 2);
    QVERIFY(runner.wasCancelled());
    QCOMPARE(runner.state(), ReportRunner::State::Finished);
}

void TestReportRun::systemFields()
{
    auto layout = listLayout();
    ReportBand &header = *layout->band(ReportBand::PageHeader);
    header.addSystemField({ 100, 0, 90, 4 }, ReportSystemField::PrintDateTime, u"Printed : "_s);
    header.addSystemField({ 100, 5, 90, 4 }, ReportSystemField::PrintDate);
    layout->band(ReportBand::Detail)
        ->addSystemField({ 150, 0, 20, 4 }, ReportSystemField::RecordNumber, u"#"_s);
    layout->setBeforeRun([](ReportLayout &l) {
        l.setTitle(u"Set before the run"_s);
        return true;
    });
    const ReportPage page = run(*layout, numberedRows(2)).pages.value(0);
    QVERIFY(findText(page, u"Set before the run"_s));
    QVERIFY(findText(page, u"Printed : 3/5/24 2:30\u202FPM"_s)
        || findText(page, u"Printed : 3/5/24 2:30 PM"_s));
    QVERIFY(findText(page, u"3/5/24"_s));
    QVERIFY(findText(page, u"#2"_s));
}

void TestReportRun::formatFloat_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    const QString money = u"$#,###,###.00"_s;
    QTest::newRow("zero by the money mask") << money << 0.0 << u"$.00"_s;
    QTest::newRow("thousands and two decimals") << money << 1234.5 << u"$1,234.50"_s;
    QTest::newRow("millions") << money << 1234567.891 << u"$1,234,567.89"_s;
    QTest::newRow("negative takes a sign") << money << -5.0 << u"-$5.00"_s;
    QTest::newRow("rounds to zero without sign") << u"0.00"_s << -0.001 << u"0.00"_s;
    QTest::newRow("optional decimals dropped") << u"#,##0.##"_s << 1000.0 << u"1,000"_s;
    QTest::newRow("optional decimals kept") << u"0.##"_s << 2.5 << u"2.5"_s;
    QTest::newRow("negative section") << u"0.00;(0.00)"_s << -3.0 << u"(3.00)"_s;
    QTest::newRow("zero section") << u"0.00;-0.00;'nil'"_s << 0.0 << u"nil"_s;
    QTest::newRow("sum left by deleted lines is zero")
        << u"$0.00;($0.00)"_s << -2.7755575615628914e-17 << u"$0.00"_s;
    QTest::newRow("trace of a sum takes the zero section")
        << u"0.00;-0.00;'nil'"_s << -2.7755575615628914e-17 << u"nil"_s;
    QTest::newRow("quoted literal suffix") << u"0' kg'"_s << 12.0 << u"12 kg"_s;
    QTest::newRow("empty mask is general") << QString() << 1.25 << u"1.25"_s;
}

void TestReportRun::formatFloat()
{
    QFETCH(QString, mask);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(ReportFormat::formatFloat(mask, value), expected);
}

QTEST_MAIN(TestReportRun)
#include "tst_reportrun.moc"

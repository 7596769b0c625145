#include "ExternalTool.h"
#include "ReportTestSupport.h"
#include "TempDataDir.h"
#include "report/ReportDataSource.h"
#include "report/ReportLayout.h"
#include "report/ReportOutput.h"
#include "report/ReportPainter.h"
#include "report/ReportRunner.h"
#include "report/ReportUnits.h"

#include <QFile>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;
using namespace ReportTestSupport;

namespace {

// What a person would read off the PDF, or a null string when the tool is missing.
QString pdfTool(const QString &tool, const QStringList &arguments)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        return QString();
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return u"<%1 failed>"_s.arg(tool);
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pdfPageCount(const QString &path)
{
    const QString info = pdfTool(u"pdfinfo"_s, { path });
    for (const QString &line : info.split(u'\n')) {
        if (line.startsWith(u"Pages:"_s))
            return line.mid(6).trimmed().toInt();
    }
    return -1;
}

RenderedReport landscapeReport()
{
    ReportLayout layout;
    layout.setTitle(u"Job Summary"_s);
    layout.setOrientation(QPageLayout::Landscape);
    layout.addBand(ReportBand::PageHeader, 11.4)
        .addSystemField({ 0, 1.1, 277, 9 }, ReportSystemField::Title)
        .setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    layout.addBand(ReportBand::Detail, 5).addField({ 0.8, 0, 60, 5 }, u"Key"_s);
    ListDataSource rows(keyedRows(u"J100:1,J101:2"_s));
    return ReportRunner(layout).run(rows);
}

} // namespace

class TestReportOutput : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pdfHoldsTheText_data();
    void pdfHoldsTheText();
    void printsThePrinterRange_data();
    void printsThePrinterRange();
    void printAbortsOnRequest();
    void pdfRefusesUnwritablePath();
    void paintStretchesToTarget();
    void richTextLoadsNothingExternal();
    void pdfTextIsPlainLetters_data();
    void pdfTextIsPlainLetters();
    void documentFontKeepsItsMetrics();

private:
    RenderedReport m_report;
};

void TestReportOutput::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_report = sampleReport(60);
    QCOMPARE(m_report.pages.size(), 2);
}

void TestReportOutput::pdfHoldsTheText_data()
{
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("wide");
    QTest::newRow("portrait quote")
        << false
        << QStringList { u"Quote"_s, u"Client Pty Ltd"_s, u"Material line number 42"_s, u"$52.50"_s,
               u"Note for line 7"_s, u"Page 1"_s, u"Page 2"_s, u"$2,287.50"_s }
        << false;
    QTest::newRow("landscape summary")
        << true << QStringList { u"Job Summary"_s, u"J100"_s, u"J101"_s } << true;
}

void TestReportOutput::pdfHoldsTheText()
{
    QFETCH(bool, landscape);
    QFETCH(QStringList, expected);
    QFETCH(bool, wide);
    TempDataDir dir;
    const QString path = dir.filePath(u"report.pdf"_s);
    QString error;
    QVERIFY2(ReportOutput::writePdf(landscape ? landscapeReport() : m_report, path, &error),
        qPrintable(error));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.read(5) == "%PDF-");

    REQUIRE_TOOL(u"pdftotext"_s);
    REQUIRE_TOOL(u"pdfinfo"_s);
    const QString text = pdfTool(u"pdftotext"_s, { u"-layout"_s, path, u"-"_s });
    for (const QString &s : expected)
        QVERIFY2(text.contains(s), qPrintable(s));
    const QString info = pdfTool(u"pdfinfo"_s, { path });
    static const QRegularExpression size(u"Page size: +([0-9.]+) x ([0-9.]+) pts"_s);
    const QRegularExpressionMatch match = size.match(info);
    QVERIFY2(match.hasMatch(), qPrintable(info));
    const QSizeF points(match.captured(1).toDouble(), match.captured(2).toDouble());
    const QSizeF a4 = wide ? QSizeF(841.89, 595.28) : QSizeF(595.28, 841.89);
    QVERIFY2(near(points.width(), a4.width(), 0.6) && near(points.height(), a4.height(), 0.6),
        qPrintable(info));
}

void TestReportOutput::printsThePrinterRange_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");
    QTest::newRow("all pages") << 0 << 0 << QStringList { u"Page 1"_s, u"Page 2"_s }
                               << QStringList {};
    QTest::newRow("second page only")
        << 2 << 2 << QStringList { u"Page 2"_s } << QStringList { u"Page 1"_s };
    QTest::newRow("range past the end is cut")
        << 1 << 9 << QStringList { u"Page 1"_s, u"Page 2"_s } << QStringList {};
}

void TestReportOutput::printsThePrinterRange()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    TempDataDir dir;
    const QString path = dir.filePath(u"printed.pdf"_s);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    if (from > 0) {
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(from, to);
    }
    QList<int> progress;
    QString error;
    QVERIFY2(ReportOutput::print(m_report, printer, &error,
                 [&](int page, int) {
                     progress.append(page);
                     return true;
                 }),
        qPrintable(error));
    QCOMPARE(progress.size(), int(present.size()));
    QVERIFY(!printer.fullPage()); // the caller's printer is left as it was

    REQUIRE_TOOL(u"pdftotext"_s);
    REQUIRE_TOOL(u"pdfinfo"_s);
    const QString text = pdfTool(u"pdftotext"_s, { path, u"-"_s });
    for (const QString &s : present)
        QVERIFY2(text.contains(s), qPrintable(s));
    for (const QString &s : absent)
        QVERIFY2(!text.contains(s), qPrintable(s));
    QCOMPARE(pdfPageCount(path), int(present.size()));
}

void TestReportOutput::printAbortsOnRequest()
{
    TempDataDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(u"aborted.pdf"_s));
    QString error;
    QVERIFY(
        !ReportOutput::print(m_report, printer, &error, [](int page, int) { return page < 2; }));
    QVERIFY(error.contains(u"cancelled"_s));
}

void TestReportOutput::pdfRefusesUnwritablePath()
{
    TempDataDir dir;
    QString error;
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    QVERIFY(!ReportOutput::writePdf(m_report, dir.filePath(u"no/such/dir/x.pdf"_s), &error));
    QVERIFY2(error.contains(u"x.pdf"_s), qPrintable(error));
    QVERIFY(!ReportOutput::writePdf(RenderedReport(), dir.filePath(u"empty.pdf"_s), &error));
    QVERIFY(!error.isEmpty());
}

void TestReportOutput::paintStretchesToTarget()
{
    // A page drawn into a target twice its natural size at 50 dpi is the page at 100 dpi.
    const ReportPage &page = m_report.pages.first();
    const QImage natural = paint(page, 100);
    QImage stretched(natural.size(), QImage::Format_ARGB32);
    stretched.setDotsPerMeterX(qRound(50 / 0.0254));
    stretched.setDotsPerMeterY(qRound(50 / 0.0254));
    stretched.fill(Qt::white);
    QPainter painter(&stretched);
    ReportPainter::paint(painter, page, QRectF(QPointF(0, 0), page.paperSize * (100 / 25.4)));
    painter.end();
    QCOMPARE(stretched.size(), natural.size());
    int differing = 0;
    for (int y = 0; y < natural.height(); ++y) {
        for (int x = 0; x < natural.width(); ++x)
            differing += natural.pixel(x, y) != stretched.pixel(x, y);
    }
    QCOMPARE(differing, 0);
}

void TestReportOutput::richTextLoadsNothingExternal()
{
    TempDataDir dir;
    const QString picture = dir.filePath(u"secret.png"_s);
    QImage red(200, 200, QImage::Format_RGB32);
    red.fill(Qt::red);
    QVERIFY(red.save(picture));
    ReportPage page;
    PageRichText block;
    block.box = QRectF(10, 10, 100, 100);
    block.html = true;
    block.font = QFont(u"Arial"_s, 10);
    block.text = u"<p>Before</p><img src=\"%1\" width=200 height=200><p>After</p>"_s.arg(
        QUrl::fromLocalFile(picture).toString());
    page.primitives.append(block);
    const QImage painted = paint(page, 50);
    int reddish = 0;
    for (int y = 0; y < painted.height(); ++y) {
        for (int x = 0; x < painted.width(); ++x) {
            const QColor c = painted.pixelColor(x, y);
            reddish += c.red() > c.green() + 40;
        }
    }
    QCOMPARE(reddish, 0);
}

void TestReportOutput::pdfTextIsPlainLetters_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<bool>("rich");
    // DejaVu Sans forms "fi" and "ff" ligatures whenever the shaper lets it.
    for (const QString &family : { u"Arial"_s, u"DejaVu Sans"_s, u"Liberation Serif"_s }) {
        QTest::addRow("%s text", qPrintable(family)) << family << false;
        QTest::addRow("%s rich text", qPrintable(family)) << family << true;
    }
}

void TestReportOutput::pdfTextIsPlainLetters()
{
    QFETCH(QString, family);
    QFETCH(bool, rich);
    const QStringList words { u"Harrowfinch"_s, u"offers"_s, u"fluffy"_s, u"waffles"_s,
        u"office"_s };
    const QFont font(family, 12);
    ReportPage page;
    if (rich)
        page.primitives.append(
            PageRichText { QRectF(10, 10, 180, 30), u"<p><b>"_s + words.join(u' ') + u"</b></p>"_s,
                true, font, Qt::black, 0 });
    else
        page.primitives.append(PageText { QRectF(10, 10, 180, 10), words.join(u' '), font });
    TempDataDir dir;
    const QString path = dir.filePath(u"letters.pdf"_s);
    QString error;
    QVERIFY2(ReportOutput::writePdf(RenderedReport { u"Letters"_s, { page } }, path, &error),
        qPrintable(error));

    REQUIRE_TOOL(u"pdftotext"_s);
    const QString text = pdfTool(u"pdftotext"_s, { path, u"-"_s });
    for (const QString &word : words)
        QVERIFY2(text.contains(word), qPrintable(u"\"%1\" not in \"%2\""_s.arg(word, text)));
    for (const QChar c : text)
        QVERIFY2(c.unicode() < 0xFB00 || c.unicode() > 0xFB06,
            qPrintable(u"ligature U+%1 in \"%2\""_s.arg(c.unicode(), 4, 16).arg(text)));
}

void TestReportOutput::documentFontKeepsItsMetrics()
{
    // The documents are laid out for Arial: whatever else the machine has, it is drawn in Arial or
    // a family with Arial's advance widths, so that labels end where they were designed to end.
    const QFont arial(u"Arial"_s, 10);
    const QString family = QFontInfo(ReportUnits::layoutFont(arial)).family();
    QVERIFY2(QStringList({ u"Arial"_s, u"Liberation Sans"_s, u"Arimo"_s }).contains(family),
        qPrintable(family));
    // "Quote Number:" is 14001 units of 2048 to the em in Arial: 68.36 points at 10 points.
    QVERIFY2(near(ReportUnits::textWidthMm(arial, u"Quote Number:"_s), 68.36 * 25.4 / 72, 0.3),
        qPrintable(QString::number(ReportUnits::textWidthMm(arial, u"Quote Number:"_s))));
}

QTEST_MAIN(TestReportOutput)
#include "tst_reportoutput.moc"

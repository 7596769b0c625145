#include "DemoCommand.h"
#include "DocumentTestData.h"
#include "DocumentsTests.h"
#include "ExternalTool.h"
#include "RecordValues.h"
#include "documents/QRJobQuote.h"
#include "documents/QRQuote.h"
#include "engine/Field.h"
#include "report/ReportFormat.h"
#include "report/ReportOutput.h"

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace DocumentTestSupport;

namespace {

constexpr double margin = 10;
constexpr double paperHeight = 297;
constexpr double oneLineBand = 4.5 + 1.6;
constexpr double pen2 = 2 * 25.4 / 96;

// Where a band of the document starts on the paper of the first page, for a document printed
// without heading bands and notes, whose closing band follows lineCount lines on that page.
double bandTop(const DocumentGeometry &g, const QString &band, int lineCount)
{
    const double body = margin + g.pageHeaderHeight + g.columnHeaderHeight;
    if (band == u"header")
        return margin;
    if (band == u"column")
        return margin + g.pageHeaderHeight;
    if (band == u"line")
        return body;
    if (band == u"closing")
        return body + lineCount * oneLineBand;
    return paperHeight - margin - g.pageFooterHeight;
}

} // namespace

// The documents of a demo quote and job: every item where it belongs, and the PDF a person reads.
class TestDemoDocuments : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void positions_data();
    void positions();
    void memoBoxes_data();
    void memoBoxes();
    void rules_data();
    void rules();
    void pdfText_data();
    void pdfText();

private:
    DocumentReport &report(const QString &document);
    QString number(const QString &document) const;
    QString expectedText(const QString &what, const QVariantMap &row) const;

    std::unique_ptr<DataDirFixture> m_data;
    std::unique_ptr<TDM> m_dm;
    std::unique_ptr<TqrepQuote> m_quote;
    std::unique_ptr<TqrepJobQuote> m_job;
    QString m_quoteNo;
    QString m_jobNo;
    QVariantMap m_business;
};

void TestDemoDocuments::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_data = std::make_unique<DataDirFixture>();
    m_dm = m_data->start();
    QVERIFY(m_dm->isConnected());
    fillDemoData(*m_dm);
    m_quote = std::make_unique<TqrepQuote>(m_dm.get());
    m_job = std::make_unique<TqrepJobQuote>(m_dm.get());

    // A document with a few lines, so that its closing band ends the first page, and a client
    // with every detail the header prints.
    auto pick = [](TQVTable *view, DocumentReport &report, const QString &field) {
        for (view->first(); !view->eof(); view->next()) {
            const QString no = text(view, field);
            const QList<QVariantMap> rows = report.readRows(no);
            if (rows.size() < 2 || rows.size() > 12)
                continue;
            const QVariantMap &row = rows.first();
            bool complete = true;
            for (const QString &f : { u"Company_Name"_s, u"Contact"_s, u"Phone_Bus"_s,
                     u"Phone_BusFax"_s, u"SalesPerson"_s, u"Code"_s, u"Notes"_s })
                complete = complete && !row.value(f).toString().isEmpty();
            if (complete)
                return no;
        }
        return QString();
    };
    m_quoteNo = pick(m_dm->tblCriteriaQuotes, *m_quote, u"Quote_No"_s);
    m_jobNo = pick(m_dm->tblCriteriaJobs, *m_job, u"Job_No"_s);
    QVERIFY2(!m_quoteNo.isEmpty() && !m_jobNo.isEmpty(), "the demo has no suitable quote or job");
    m_dm->tblBusiness->first();
    for (const QString &field : { u"Company_Name"_s, u"Phone_No"_s, u"Phone_Fax"_s })
        m_business.insert(field, text(m_dm->tblBusiness, field));
}

void TestDemoDocuments::cleanupTestCase()
{
    m_quote.reset();
    m_job.reset();
    m_dm.reset();
    m_data.reset();
}

DocumentReport &TestDemoDocuments::report(const QString &document)
{
    return document == u"quote" ? static_cast<DocumentReport &>(*m_quote) : *m_job;
}

QString TestDemoDocuments::number(const QString &document) const
{
    return document == u"quote" ? m_quoteNo : m_jobNo;
}

// "=text" fixed text, "B:field" the business's, "$field" money, "@field" a date, else the field.
QString TestDemoDocuments::expectedText(const QString &what, const QVariantMap &row) const
{
    if (what.startsWith(u'='))
        return what.mid(1);
    if (what.startsWith(u"B:"))
        return m_business.value(what.mid(2)).toString();
    if (what.startsWith(u'$'))
        return QLocale().toCurrencyString(row.value(what.mid(1)).toDouble());
    if (what.startsWith(u'@'))
        return QLocale().toString(row.value(what.mid(1)).toDate(), QLocale::ShortFormat);
    return ReportFormat::toText(row.value(what));
}

void TestDemoDocuments::positions_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("band");
    QTest::addColumn<QString>("what");
    QTest::addColumn<double>("x"); // the left edge, or the right edge of right-aligned text
    QTest::addColumn<double>("y");
    QTest::addColumn<bool>("rightAligned");

    struct Item
    {
        const char *band, *what;
        double quoteX, quoteY, jobX, jobY;
        bool right;
        const char *jobWhat = nullptr; // where the job's text differs
    };
    const Item items[] = {
        { "header", "=Quote", 2.1, 3.2, 2.1, 3.2, false, "=Job Sheet" },
        { "header", "B:Company_Name", 140.8, 4.2, 133.3, 2.1, false },
        { "header", "=Phone:", 140.8, 8.5, 133.6, 8.5, false, "=Ph:" },
        { "header", "B:Phone_No", 155.6, 8.5, 143.9, 8.5, false },
        { "header", "=Fax:", 140.8, 12.7, 133.6, 12.7, false },
        { "header", "B:Phone_Fax", 155.6, 12.7, 143.9, 12.7, false },
        { "header", "=Quote Number:", 2.1, 14.8, 2.1, 14.8, false, "=Job Number:" },
        { "header", "Quote_No", 31.8, 14.8, 24.6, 14.8, false, "Job_No" },
        { "header", "=Date:", 82.5, 14.8, 74.1, 14.8, false },
        { "header", "@Date", 103.7, 14.8, 97.4, 14.8, false },
        { "header", "=Due Date:", 82.5, 21.2, 74.1, 21.2, false },
        { "header", "@DueDate", 103.7, 21.2, 97.4, 21.2, false },
        { "header", "=Prepared By:", 82.5, 29.6, 74.1, 29.6, false },
        { "header", "SalesPerson", 103.7, 29.6, 97.4, 29.6, false },
        { "header", "Company_Name", 2.1, 21.2, 1.3, 21.2, false },
        { "header", "Contact", 2.1, 25.4, 1.3, 27.5, false },
        { "header", "=Phone:", 2.1, 50.8, 1.3, 57.1, false },
        { "header", "Phone_Bus", 23.3, 50.8, 23.3, 57.1, false },
        { "header", "=Fax:", 2.1, 55.0, 1.3, 61.4, false },
        { "header", "Phone_BusFax", 23.3, 55.0, 23.3, 61.4, false },
        { "header", "=Description:", 2.1, 63.5, 1.3, 72.0, false },
        { "header", "QuoteDescription", 23.3, 63.5, 23.3, 72.0, false, "JobDescription" },
        { "column", "=Code", 2.1, 0, 2.1, 0, false },
        { "column", "=Description", 21.2, 0, 25.4, 0, false },
        { "column", "=Cost", 124.9, 0, 127.0, 0, false },
        { "column", "=Qty", 146.1, 0, 150.3, 0, false },
        { "column", "=Total", 167.2, 0, 167.2, 0, false, "=Total Cost" },
        { "line", "Code", 2.1, 0, 2.1, 0, false },
        { "line", "Description", 21.2, 0, 25.4, 0, false },
        { "line", "$Cost", 136.5, 0, 144.2, 0, true },
        { "line", "Qty", 154.0, 0, 158.2, 0, true },
        { "line", "$Total_Cost", 183.9, 0, 186.0, 0, true },
        { "closing", "=Sub Total:", 130.4, 4.2, 125.1, 3.2, false },
        { "closing", "$VSubTotal", 184.7, 4.2, 185.7, 3.2, true },
        { "closing", "=Discount:", 132.3, 10.6, 127.0, 9.5, false },
        { "closing", "$Discount", 184.7, 10.6, 185.7, 9.5, true },
        { "closing", "=Tax:", 140.2, 16.4, 134.9, 16.9, false },
        { "closing", "$TotalSalesTax", 184.7, 16.4, 185.7, 16.9, true },
        { "closing", "=Quote Total:", 122.8, 21.2, 130.7, 23.5, false, "=Total:" },
        { "closing", "$VGrandTotal", 184.7, 21.2, 185.7, 23.5, true, "$VJobTotal" },
        { "footer", "=Page 1", 190.0, 21.7, 190.0, 25.9, true },
    };
    for (const Item &item : items) {
        const QString what = QString::fromLatin1(item.what);
        QTest::addRow("quote %s %s", item.band, item.what)
            << u"quote"_s << QString::fromLatin1(item.band) << what << item.quoteX << item.quoteY
            << item.right;
        QTest::addRow("job %s %s", item.band, item.jobWhat ? item.jobWhat : item.what)
            << u"job"_s << QString::fromLatin1(item.band)
            << (item.jobWhat ? QString::fromLatin1(item.jobWhat) : what) << item.jobX << item.jobY
            << item.right;
    }
}

void TestDemoDocuments::positions()
{
    QFETCH(QString, document);
    QFETCH(QString, band);
    QFETCH(QString, what);
    QFETCH(double, x);
    QFETCH(double, y);
    QFETCH(bool, rightAligned);

    DocumentReport &doc = report(document);
    const QList<QVariantMap> rows = doc.readRows(number(document));
    const RenderedReport pages = runDocument(doc, number(document));
    QCOMPARE(pages.pages.size(), 1);
    const QString text = expectedText(what, rows.first());
    QVERIFY(!text.isEmpty());
    const double top = bandTop(doc.geometry(), band, int(rows.size())) + y;

    QList<PageText> candidates;
    for (const PageText &t : textsOf(pages)) {
        if (t.text == text)
            candidates << t;
    }
    QVERIFY2(!candidates.isEmpty(), qPrintable(u"no text \"%1\""_s.arg(text)));
    bool found = false;
    for (const PageText &t : std::as_const(candidates)) {
        const double edge = rightAligned ? t.box.right() : t.box.left();
        found = found || (qAbs(edge - (margin + x)) < 0.05 && qAbs(t.box.top() - top) < 0.05);
    }
    if (!found) {
        const PageText &t = candidates.first();
        QFAIL(qPrintable(u"\"%1\" is at %2, %3 (right %4); expected %5, %6"_s.arg(text)
                             .arg(t.box.left() - margin)
                             .arg(t.box.top())
                             .arg(t.box.right() - margin)
                             .arg(x)
                             .arg(top)));
    }
}

void TestDemoDocuments::memoBoxes_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("band");
    QTest::addColumn<QRectF>("box");
    QTest::addColumn<bool>("bold");

    QTest::newRow("quote client address")
        << u"quote"_s << u"header"_s << QRectF(2.1, 31.8, 46.8, 15.9) << false;
    QTest::newRow("job client address")
        << u"job"_s << u"header"_s << QRectF(1.3, 33.9, 58.2, 19.3) << false;
    QTest::newRow("quote header notes")
        << u"quote"_s << u"closing"_s << QRectF(1.6, 2.6, 106.1, 13.8) << false;
    QTest::newRow("job header notes, bold")
        << u"job"_s << u"closing"_s << QRectF(2.1, 2.1, 87.0, 15.1) << true;
    QTest::newRow("quote footer text")
        << u"quote"_s << u"footer"_s << QRectF(2.1, 3.4, 97.6, 17.2) << false;
    QTest::newRow("job footer text")
        << u"job"_s << u"footer"_s << QRectF(2.1, 6.9, 97.6, 17.2) << false;
}

void TestDemoDocuments::memoBoxes()
{
    QFETCH(QString, document);
    QFETCH(QString, band);
    QFETCH(QRectF, box);
    QFETCH(bool, bold);

    DocumentReport &doc = report(document);
    const int lines = int(doc.readRows(number(document)).size());
    const RenderedReport pages = runDocument(doc, number(document));
    const QRectF expected = box.translated(margin, bandTop(doc.geometry(), band, lines));
    for (const PagePrimitive &primitive : pages.pages.first().primitives) {
        const auto *memo = std::get_if<PageRichText>(&primitive);
        if (memo && qAbs(memo->box.left() - expected.left()) < 0.05
            && qAbs(memo->box.top() - expected.top()) < 0.05) {
            QVERIFY(qAbs(memo->box.width() - expected.width()) < 0.05);
            QVERIFY(qAbs(memo->box.height() - expected.height()) < 0.05);
            QCOMPARE(memo->font.bold(), bold);
            return;
        }
    }
    QFAIL("no rich text in that box");
}

void TestDemoDocuments::rules_data()
{
    QTest::addColumn<QString>("document");
    QTest::newRow("quote") << u"quote"_s;
    QTest::newRow("job") << u"job"_s;
}

void TestDemoDocuments::rules()
{
    QFETCH(QString, document);
    DocumentReport &doc = report(document);
    const DocumentGeometry &g = doc.geometry();
    const int lines = int(doc.readRows(number(document)).size());
    const RenderedReport pages = runDocument(doc, number(document));

    struct Rule
    {
        double y, from, to, width;
    };
    const double closing = bandTop(g, u"closing"_s, lines);
    const QList<Rule> expected {
        { margin + g.pageHeaderHeight, 0, 190, 0 }, // under the page header
        { margin + g.pageHeaderHeight + 5.4, 0, 190, 0 }, // under the column titles
        { closing + g.ruleY, 116.9, 187.0, pen2 }, { closing + g.doubleRuleY1, 116.9, 187.0, pen2 },
        { closing + g.doubleRuleY2, 116.9, 187.0, pen2 },
        { bandTop(g, u"footer"_s, 0), 0, 190, 0 }, // over the page footer
    };
    for (const Rule &rule : expected) {
        bool found = false;
        for (const PagePrimitive &primitive : pages.pages.first().primitives) {
            const auto *line = std::get_if<PageLine>(&primitive);
            found = found
                || (line && qAbs(line->from.y() - rule.y) < 0.05
                    && qAbs(line->to.y() - rule.y) < 0.05
                    && qAbs(line->from.x() - margin - rule.from) < 0.05
                    && qAbs(line->to.x() - margin - rule.to) < 0.05
                    && qAbs(line->width - rule.width) < 0.01);
        }
        QVERIFY2(found,
            qPrintable(u"no rule at y %1 from %2 to %3"_s.arg(rule.y).arg(rule.from).arg(rule.to)));
    }
}

void TestDemoDocuments::pdfText_data()
{
    rules_data();
}

void TestDemoDocuments::pdfText()
{
    QFETCH(QString, document);
    DocumentReport &doc = report(document);
    const QList<QVariantMap> rows = doc.readRows(number(document));
    const RenderedReport pages = runDocument(doc, number(document));
    QTemporaryDir dir;
    const QString path = dir.filePath(u"document.pdf"_s);
    QString error;
    QVERIFY2(ReportOutput::writePdf(pages, path, &error), qPrintable(error));
    REQUIRE_TOOL(u"pdftotext"_s);
    const QString text = DocumentTestSupport::pdfText(path);

    const QVariantMap &first = rows.first();
    const bool job = document == u"job";
    QStringList expected { job ? u"Job Sheet"_s : u"Quote"_s,
        m_business.value(u"Company_Name"_s).toString(), first.value(u"Company_Name"_s).toString(),
        first.value(u"Contact"_s).toString(),
        first.value(job ? u"Job_No"_s : u"Quote_No"_s).toString(),
        expectedText(u"$VSubTotal"_s, first),
        expectedText(job ? u"$VJobTotal"_s : u"$VGrandTotal"_s, first) };
    for (const QVariantMap &row : rows)
        expected << row.value(u"Description"_s).toString() << expectedText(u"$Total_Cost"_s, row);
    for (const QString &want : std::as_const(expected))
        QVERIFY2(text.contains(want), qPrintable(u"the PDF lacks \"%1\""_s.arg(want)));

    // For a person to look at: the document with every option on, where the variable says.
    const QString keep = qEnvironmentVariable("TESSORIN_DOCUMENT_PDF_DIR");
    if (!keep.isEmpty()) {
        const RenderedReport full = runDocument(doc, number(document), true, true, true, true);
        QVERIFY(ReportOutput::writePdf(full, QDir(keep).filePath(document + u".pdf"_s), &error));
    }
}

int runDemoDocumentTests(int argc, char **argv)
{
    TestDemoDocuments test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_documents.moc"

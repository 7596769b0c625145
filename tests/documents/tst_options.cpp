#include "DocumentTestData.h"
#include "DocumentsTests.h"
#include "documents/QRJobQuote.h"
#include "documents/QRQuote.h"
#include "report/ReportShapes.h"

#include <QImage>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace DocumentTestSupport;

namespace {

constexpr double margin = 10;

int countTexts(const RenderedReport &report, const QString &text)
{
    int count = 0;
    for (const PageText &t : textsOf(report))
        count += t.text == text ? 1 : 0;
    return count;
}

std::optional<PageText> findText(const RenderedReport &report, const QString &text)
{
    for (const PageText &t : textsOf(report)) {
        if (t.text == text)
            return t;
    }
    return std::nullopt;
}

QList<PageRichText> richTexts(const RenderedReport &report)
{
    QList<PageRichText> memos;
    for (const ReportPage &page : report.pages) {
        for (const PagePrimitive &primitive : page.primitives) {
            if (const auto *memo = std::get_if<PageRichText>(&primitive))
                memos << *memo;
        }
    }
    return memos;
}

QList<PageImage> images(const RenderedReport &report)
{
    QList<PageImage> found;
    for (const ReportPage &page : report.pages) {
        for (const PagePrimitive &primitive : page.primitives) {
            if (const auto *image = std::get_if<PageImage>(&primitive))
                found << *image;
        }
    }
    return found;
}

} // namespace

// The display options, the totals, odd document numbers and the logo, on documents of known
// content written straight into a fresh data directory.
class TestDocumentOptions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void allClearButLogo_data();
    void allClearButLogo();
    void headingsComeBack_data();
    void headingsComeBack();
    void lineNotes_data();
    void lineNotes();
    void totals_data();
    void totals();
    void numberHoldingQuote_data();
    void numberHoldingQuote();
    void logoKeptOrCleared();
    void logoKeepsProportions_data();
    void logoKeepsProportions();

private:
    std::unique_ptr<DocumentReport> document(bool job);

    std::unique_ptr<HandMadeDocuments> m_data;
    std::unique_ptr<TDM> m_dm;
};

void TestDocumentOptions::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestDocumentOptions::init()
{
    m_data = std::make_unique<HandMadeDocuments>();
}

void TestDocumentOptions::cleanup()
{
    m_dm.reset();
    m_data.reset();
}

std::unique_ptr<DocumentReport> TestDocumentOptions::document(bool job)
{
    if (!m_dm)
        m_dm = m_data->start();
    if (job)
        return std::make_unique<TqrepJobQuote>(m_dm.get());
    return std::make_unique<TqrepQuote>(m_dm.get());
}

void TestDocumentOptions::allClearButLogo_data()
{
    QTest::addColumn<bool>("job");
    QTest::newRow("quote") << false;
    QTest::newRow("job") << true;
}

void TestDocumentOptions::allClearButLogo()
{
    QFETCH(bool, job);
    m_data->addDocument(job, u"D1"_s, HandMadeDocuments::clientId,
        { { u"Heading A"_s, u"CODE-A"_s, u"First line"_s, 2, 10, u"Some notes"_s },
            { u"Heading B"_s, u"CODE-B"_s, u"Second line"_s, 1, 5, u"More notes"_s },
            { u"Heading B"_s, u"CODE-C"_s, u"Third line"_s, 1, 5, {} } });
    auto doc = document(job);
    const RenderedReport pages = runDocument(*doc, u"D1"_s, true, false, false, false);
    QCOMPARE(pages.pages.size(), 1);

    QCOMPARE(countTexts(pages, u"Heading A"_s) + countTexts(pages, u"Heading B"_s), 0);
    QCOMPARE(countTexts(pages, u"Code"_s), 0);
    for (const QString &code : { u"CODE-A"_s, u"CODE-B"_s, u"CODE-C"_s })
        QCOMPARE(countTexts(pages, code), 0);
    for (const PageRichText &memo : richTexts(pages))
        QVERIFY(memo.text != u"Some notes"_s && memo.text != u"More notes"_s);
    const auto first = findText(pages, u"First line"_s);
    const auto second = findText(pages, u"Second line"_s);
    const auto third = findText(pages, u"Third line"_s);
    QVERIFY(first && second && third);
    const DocumentGeometry &g = doc->geometry();
    QCOMPARE_LT(
        qAbs(first->box.top() - (margin + g.pageHeaderHeight + g.columnHeaderHeight)), 0.05);
    QCOMPARE_LT(qAbs(second->box.top() - first->box.top() - 6.1), 0.05);
    QCOMPARE_LT(qAbs(third->box.top() - second->box.top() - 6.1), 0.05);
}

void TestDocumentOptions::headingsComeBack_data()
{
    allClearButLogo_data();
}

void TestDocumentOptions::headingsComeBack()
{
    QFETCH(bool, job);
    m_data->addDocument(job, u"D2"_s, HandMadeDocuments::clientId,
        { { u"Heading A"_s, u"A1"_s, u"Alpha one"_s, 1, 1, {} },
            { u"Heading B"_s, u"B1"_s, u"Bravo one"_s, 1, 1, {} },
            { u"Heading A"_s, u"A2"_s, u"Alpha two"_s, 1, 1, {} } });
    auto doc = document(job);
    const RenderedReport pages = runDocument(*doc, u"D2"_s, true, true, true, false);
    QCOMPARE(countTexts(pages, u"Heading A"_s), 2);
    QCOMPARE(countTexts(pages, u"Heading B"_s), 1);

    // The first heading opens the lines, bold, where the document puts its headings.
    const DocumentGeometry &g = doc->geometry();
    const auto heading = findText(pages, u"Heading A"_s);
    QVERIFY(heading);
    QVERIFY(heading->font.bold());
    QCOMPARE_LT(qAbs(heading->box.left() - (margin + g.headingX)), 0.05);
    const double linesTop = margin + g.pageHeaderHeight + g.columnHeaderHeight;
    QCOMPARE_LT(qAbs(heading->box.top() - linesTop), 0.05);
    QCOMPARE_LT(qAbs(findText(pages, u"Alpha one"_s)->box.top() - (linesTop + 6.3)), 0.05);
}

void TestDocumentOptions::lineNotes_data()
{
    QTest::addColumn<bool>("job");
    QTest::addColumn<QString>("notes");
    QTest::addColumn<bool>("notesOption");
    QTest::addColumn<bool>("printed");

    for (const bool job : { false, true }) {
        const char *name = job ? "job" : "quote";
        QTest::addRow("%s: blank notes print one line", name)
            << job << u"   \r\n "_s << true << false;
        QTest::addRow("%s: notes print under the line", name)
            << job << u"Bring the long ladder"_s << true << true;
        QTest::addRow("%s: notes switched off", name)
            << job << u"Bring the long ladder"_s << false << false;
    }
}

void TestDocumentOptions::lineNotes()
{
    QFETCH(bool, job);
    QFETCH(QString, notes);
    QFETCH(bool, notesOption);
    QFETCH(bool, printed);
    m_data->addDocument(job, u"D3"_s, HandMadeDocuments::clientId,
        { { u"H"_s, u"C1"_s, u"Noted line"_s, 1, 1, notes },
            { u"H"_s, u"C2"_s, u"Next line"_s, 1, 1, {} } });
    auto doc = document(job);
    const RenderedReport pages = runDocument(*doc, u"D3"_s, true, true, false, notesOption);
    const DocumentGeometry &g = doc->geometry();
    const auto line = findText(pages, u"Noted line"_s);
    const auto next = findText(pages, u"Next line"_s);
    QVERIFY(line && next);
    const double bandHeight = printed ? 4.5 + g.lineNotes.height() + 2.4 : 4.5 + 1.6;
    QCOMPARE_LT(qAbs(next->box.top() - line->box.top() - bandHeight), 0.05);

    std::optional<PageRichText> memo;
    for (const PageRichText &m : richTexts(pages)) {
        if (m.text == notes)
            memo = m;
    }
    QCOMPARE(memo.has_value(), printed);
    if (printed) {
        QCOMPARE_LT(qAbs(memo->box.left() - (margin + g.lineNotes.left())), 0.05);
        QCOMPARE_LT(qAbs(memo->box.top() - (line->box.top() + g.lineNotes.top())), 0.05);
        QCOMPARE(memo->font.pointSize(), 8);
    }
}

void TestDocumentOptions::totals_data()
{
    allClearButLogo_data();
}

void TestDocumentOptions::totals()
{
    QFETCH(bool, job);
    m_data->addDocument(job, u"D4"_s, HandMadeDocuments::clientId,
        { { u"H"_s, u"C1"_s, u"Line"_s, 1, 100, {} } }, 100, 10, 9);
    auto doc = document(job);
    const RenderedReport pages = runDocument(*doc, u"D4"_s);
    const DocumentGeometry &g = doc->geometry();
    const auto subTotal = findText(pages, u"Sub Total:"_s);
    const auto grandLabel = findText(pages, g.grandTotalLabel);
    QVERIFY(subTotal && grandLabel);

    auto amountBeside = [&](const PageText &label) -> QString {
        for (const PageText &t : textsOf(pages)) {
            if (qAbs(t.box.top() - label.box.top()) < 0.05
                && qAbs(t.box.right() - (margin + g.amountsRight)) < 0.05)
                return t.text;
        }
        return {};
    };
    QCOMPARE(amountBeside(*subTotal), u"$100.00"_s);
    QCOMPARE(amountBeside(*findText(pages, u"Discount:"_s)), u"$10.00"_s);
    QCOMPARE(amountBeside(*findText(pages, u"Tax:"_s)), u"$9.00"_s);
    QCOMPARE(amountBeside(*grandLabel), u"$99.00"_s);
}

void TestDocumentOptions::numberHoldingQuote_data()
{
    QTest::addColumn<bool>("job");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("line"); // the one line printed, or empty for no pages

    for (const bool job : { false, true }) {
        const char *name = job ? "job" : "quote";
        QTest::addRow("%s: a quote inside the number", name) << job << u"Q'7"_s << u"Line of Q'7"_s;
        QTest::addRow("%s: a number that reads as a condition", name)
            << job << u"' OR ''='"_s << u"Line of the odd one"_s;
        QTest::addRow("%s: the plain neighbour", name) << job << u"Q7"_s << u"Line of Q7"_s;
        QTest::addRow("%s: a condition matching everything", name)
            << job << u"' OR 1=1--"_s << QString();
    }
}

void TestDocumentOptions::numberHoldingQuote()
{
    QFETCH(bool, job);
    QFETCH(QString, number);
    QFETCH(QString, line);
    m_data->addDocument(
        job, u"Q'7"_s, HandMadeDocuments::clientId, { { u"H"_s, u"C"_s, u"Line of Q'7"_s } });
    m_data->addDocument(job, u"' OR ''='"_s, HandMadeDocuments::clientId,
        { { u"H"_s, u"C"_s, u"Line of the odd one"_s } });
    m_data->addDocument(
        job, u"Q7"_s, HandMadeDocuments::clientId, { { u"H"_s, u"C"_s, u"Line of Q7"_s } });
    auto doc = document(job);
    const RenderedReport pages = runDocument(*doc, number);
    if (line.isEmpty()) {
        QVERIFY(pages.pages.isEmpty());
        return;
    }
    QCOMPARE(countTexts(pages, line), 1);
    int lineCount = 0;
    for (const PageText &t : textsOf(pages))
        lineCount += t.text.startsWith(u"Line of"_s) ? 1 : 0;
    QCOMPARE(lineCount, 1);
    QCOMPARE(countTexts(pages, number), 1); // the number in the header
}

void TestDocumentOptions::logoKeptOrCleared()
{
    QTemporaryDir dir;
    const QString logoPath = dir.filePath(u"logo.png"_s);
    QImage logo(213, 234, QImage::Format_RGB32); // the shape of the quote's logo box
    logo.fill(Qt::red);
    QVERIFY(logo.save(logoPath));
    m_data->data.exec(u"Business.db"_s, u"UPDATE data SET LogoPath = '%1'"_s.arg(logoPath));
    m_data->addDocument(
        false, u"D5"_s, HandMadeDocuments::clientId, { { u"H"_s, u"C"_s, u"Line"_s } });
    auto doc = document(false);

    const QList<PageImage> shown = images(runDocument(*doc, u"D5"_s, true));
    QCOMPARE(shown.size(), 1);
    QCOMPARE_LT(qAbs(shown.first().box.left() - (margin + 141.8)), 0.05);
    QCOMPARE_LT(qAbs(shown.first().box.top() - (margin + 19.1)), 0.05);
    QCOMPARE_LT(qAbs(shown.first().box.width() - 42.6), 0.05);
    QCOMPARE_LT(qAbs(shown.first().box.height() - 46.8), 0.05);

    // A logo file gone missing leaves the picture of the earlier run; no logo clears it.
    QVERIFY(QFile::remove(logoPath));
    QCOMPARE(images(runDocument(*doc, u"D5"_s, true)).size(), 1);
    QCOMPARE(images(runDocument(*doc, u"D5"_s, false)).size(), 0);
    QCOMPARE(images(runDocument(*doc, u"D5"_s, true)).size(), 0);
}

void TestDocumentOptions::logoKeepsProportions_data()
{
    QTest::addColumn<bool>("job");
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRectF>("printed"); // in millimetres from the page's margins
    QTest::newRow("a wide logo on a quote: full width, centred in height")
        << false << QSize(400, 100) << QRectF(141.8, 19.1 + (46.8 - 10.65) / 2, 42.6, 10.65);
    QTest::newRow("a tall logo on a job: full height, centred in width")
        << true << QSize(100, 400) << QRectF(133.9 + (49.5 - 12.225) / 2, 19.1, 12.225, 48.9);
}

void TestDocumentOptions::logoKeepsProportions()
{
    QFETCH(bool, job);
    QFETCH(QSize, picture);
    QFETCH(QRectF, printed);
    QTemporaryDir dir;
    const QString logoPath = dir.filePath(u"logo.png"_s);
    QImage logo(picture, QImage::Format_RGB32);
    logo.fill(Qt::red);
    QVERIFY(logo.save(logoPath));
    m_data->data.exec(u"Business.db"_s, u"UPDATE data SET LogoPath = '%1'"_s.arg(logoPath));
    m_data->addDocument(
        job, u"D6"_s, HandMadeDocuments::clientId, { { u"H"_s, u"C"_s, u"Line"_s } });
    auto doc = document(job);
    const QList<PageImage> shown = images(runDocument(*doc, u"D6"_s, true));
    QCOMPARE(shown.size(), 1);
    const QRectF box = shown.first().box.translated(-margin, -margin);
    for (const auto &[actual, expected] : { std::pair { box.left(), printed.left() },
             { box.top(), printed.top() }, { box.width(), printed.width() },
             { box.height(), printed.height() } })
        QCOMPARE_LT(qAbs(actual - expected), 0.05);
}

int runDocumentOptionTests(int argc, char **argv)
{
    TestDocumentOptions test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_options.moc"

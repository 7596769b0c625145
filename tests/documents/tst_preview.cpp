#include "DocumentsTests.h"
#include "ReportTestSupport.h"
#include "controls/window/MessageAnswers.h"
#include "documents/FormPrintPreview.h"
#include "documents/PreviewPageView.h"
#include "report/PageFile.h"
#include "report/PageStream.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

// A finished preview of report whose file dialogs answer with fileName.
std::unique_ptr<TfrmPrintPreview> finishedPreview(
    const RenderedReport &report, const QString &fileName = {})
{
    auto preview = std::make_unique<TfrmPrintPreview>();
    preview->setAttribute(Qt::WA_DeleteOnClose, false);
    OutputDialogs dialogs;
    dialogs.saveFileName = [fileName](QWidget *, const QString &) { return fileName; };
    dialogs.openFileName = dialogs.saveFileName;
    dialogs.printerSetup = [](QPrinter &, QWidget *, int) { return false; };
    preview->setDialogs(dialogs);
    preview->setReport(report);
    preview->setRenderState(ReportRunner::State::Finished);
    return preview;
}

void click(TfrmPrintPreview &preview, const QString &button)
{
    QTest::mouseClick(preview.findChild<QToolButton *>(button), Qt::LeftButton);
}

} // namespace

// The preview window: report files in and out, damaged files, paging, zoom and the e-mail button.
class TestPrintPreview : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void saveNameRule_data();
    void saveNameRule();
    void saveOpenRoundTrip();
    void damagedFileRefused_data();
    void damagedFileRefused();
    void hostileFileRefused_data();
    void hostileFileRefused();
    void nothingSavedWhileRendering();
    void paging_data();
    void paging();
    void zoomChoices();
    void emailLeavesNoAttachment();
    void printerSetupAfterOpeningAFile();

private:
    QTemporaryDir m_dir;
};

void TestPrintPreview::init()
{
    MessageAnswers::clear();
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
}

void TestPrintPreview::cleanup()
{
    MessageAnswers::clear();
}

void TestPrintPreview::saveNameRule_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("no extension") << u"week"_s << u"week.QRP"_s;
    QTest::newRow("lower-case extension kept") << u"week.qrp"_s << u"week.qrp"_s;
    QTest::newRow("mixed-case extension kept") << u"month.QrP"_s << u"month.QrP"_s;
    QTest::newRow("a longer extension") << u"a.qrpx"_s << u"a.qrpx.QRP"_s;
}

void TestPrintPreview::saveNameRule()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QCOMPARE(TfrmPrintPreview::reportFileName(chosen), written);
    QTemporaryDir dir;
    auto preview = finishedPreview(ReportTestSupport::sampleReport(3), dir.filePath(chosen));
    click(*preview, u"btnSave"_s);
    QVERIFY(QFile::exists(dir.filePath(written)));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

void TestPrintPreview::saveOpenRoundTrip()
{
    const RenderedReport report = ReportTestSupport::sampleReport(120);
    QVERIFY(report.pages.size() > 1);
    const QString path = m_dir.filePath(u"week.QRP"_s);
    auto saver = finishedPreview(report, m_dir.filePath(u"week"_s));
    click(*saver, u"btnSave"_s);

    auto opener = finishedPreview(RenderedReport(), path);
    opener->attachReport([] { QFAIL("a loaded report must not run again"); }, nullptr);
    click(*opener, u"btnOpen"_s);
    QVERIFY(MessageAnswers::shown().isEmpty());
    QCOMPARE(opener->report(), report);
    QCOMPARE(opener->windowTitle(), u"Velbric Print Preview : week.QRP"_s);
    QCOMPARE(opener->currentPage(), 1);
    QCOMPARE(opener->pageText(), u"Page 1 of %1"_s.arg(report.pages.size()));
    QCOMPARE(opener->stateText(), u" Finshed"_s);
    QVERIFY(!opener->isAttached());

    // The loaded pages print as they are, on the window's own printer.
    const QString printed = m_dir.filePath(u"printed.pdf"_s);
    opener->printer().setOutputFormat(QPrinter::PdfFormat);
    opener->printer().setOutputFileName(printed);
    click(*opener, u"btnPrint"_s);
    QVERIFY(MessageAnswers::shown().isEmpty());
    QVERIFY(QFileInfo(printed).size() > 0);
}

void TestPrintPreview::damagedFileRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QByteArray good = PageFile::encode(ReportTestSupport::sampleReport(2));
    QByteArray flipped = good;
    flipped[flipped.size() / 2] = char(flipped[flipped.size() / 2] ^ 0x10);
    QTest::newRow("not a report file") << QByteArray("week's notes, not a report");
    QTest::newRow("cut short") << good.left(good.size() / 2);
    QTest::newRow("a flipped bit") << flipped;
    QTest::newRow("empty") << QByteArray();
}

void TestPrintPreview::damagedFileRefused()
{
    QFETCH(QByteArray, bytes);
    const QString path = m_dir.filePath(u"damaged.qrp"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
    file.close();

    const RenderedReport shown = ReportTestSupport::sampleReport(2);
    auto preview = finishedPreview(shown, path);
    const QString caption = preview->windowTitle();
    click(*preview, u"btnOpen"_s);
    const QList<MessageAnswers::Shown> boxes = MessageAnswers::shown();
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first().icon, QMessageBox::Critical);
    QVERIFY(!boxes.first().text.isEmpty());
    QCOMPARE(preview->report(), shown);
    QCOMPARE(preview->windowTitle(), caption);
}

void TestPrintPreview::hostileFileRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("a link to an endless device") << u"zero"_s;
    QTest::newRow("a pipe nobody writes") << u"fifo"_s;
    QTest::newRow("pictures beyond the budget") << u"pictures"_s;
}

void TestPrintPreview::hostileFileRefused()
{
    QFETCH(QString, kind);
    const QString path = m_dir.filePath(u"hostile.qrp"_s);
    QFile::remove(path);
    if (kind == u"zero") {
        QVERIFY(QFile::link(u"/dev/zero"_s, path));
    } else if (kind == u"fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else {
        // Each picture fits, all of them together do not: found while reading, never decoded.
        RenderedReport big;
        ReportPage page;
        for (int i = 0; i < 3; ++i) {
            QImage picture(2400, 2400, QImage::Format_RGB32);
            picture.fill(QColor::fromHsv(i * 100, 200, 200));
            page.primitives.append(PageImage { QRectF(0, 0, 210, 210), picture });
        }
        big.pages.append(page);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(PageFile::seal(PageStream::write(big)));
    }
    const RenderedReport shown = ReportTestSupport::sampleReport(2);
    auto preview = finishedPreview(shown, path);
    click(*preview, u"btnOpen"_s);
    const QList<MessageAnswers::Shown> boxes = MessageAnswers::shown();
    QCOMPARE(boxes.size(), 1);
    QVERIFY2(boxes.first().text.contains(u"hostile.qrp"_s), qPrintable(boxes.first().text));
    QCOMPARE(preview->report(), shown);
    QCOMPARE(preview->pageCount(), int(shown.pages.size()));
    QCOMPARE(preview->windowTitle(), u"Velbric - Print Preview"_s);
    QFile::remove(path);
}

void TestPrintPreview::nothingSavedWhileRendering()
{
    const QString path = m_dir.filePath(u"busy"_s);
    auto preview = finishedPreview(ReportTestSupport::sampleReport(2), path);
    preview->setRenderState(ReportRunner::State::Busy);
    QCOMPARE(preview->stateText(), u" Busy"_s);
    click(*preview, u"btnSave"_s);
    click(*preview, u"btnSavePdf"_s);
    QVERIFY(!QFile::exists(path + u".QRP"_s));
    QVERIFY(!QFile::exists(path + u".pdf"_s));
    QVERIFY(MessageAnswers::shown().isEmpty());
}

void TestPrintPreview::paging_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QList<int>>("pages"); // the page shown after each button

    QTest::newRow("one page: prior and next change nothing")
        << 2 << QStringList { u"btnPrior"_s, u"btnNext"_s, u"btnLast"_s } << QList<int> { 1, 1, 1 };
    QTest::newRow("several pages")
        << 120
        << QStringList { u"btnNext"_s, u"btnLast"_s, u"btnNext"_s, u"btnPrior"_s, u"btnFirst"_s,
               u"btnPrior"_s }
        << QList<int> { 2, -1, -1, -2, 1, 1 }; // -1 the last page, -2 the one before it
}

void TestPrintPreview::paging()
{
    QFETCH(int, rows);
    QFETCH(QStringList, buttons);
    QFETCH(QList<int>, pages);
    const RenderedReport report = ReportTestSupport::sampleReport(rows);
    const int count = int(report.pages.size());
    auto preview = finishedPreview(report);
    QCOMPARE(preview->pageText(), u"Page 1 of %1"_s.arg(count));
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        click(*preview, buttons.at(i));
        const int expected = pages.at(i) > 0 ? pages.at(i) : count + 1 + pages.at(i);
        QCOMPARE(preview->currentPage(), expected);
        QCOMPARE(preview->pageText(), u"Page %1 of %2"_s.arg(expected).arg(count));
    }
}

void TestPrintPreview::zoomChoices()
{
    auto preview = finishedPreview(ReportTestSupport::sampleReport(2));
    preview->resize(800, 600);
    preview->show();
    auto *zoom = preview->findChild<QComboBox *>(u"cboZoom"_s);
    QCOMPARE(zoom->currentText(), u"To Width"_s);
    QCOMPARE(zoom->count(), 10);
    PreviewPageView *view = preview->pageView();
    const double toWidth = view->pixelsPerMillimetre();

    // As the user picks a zoom: the list's choice, not a change of its text from code.
    zoom->setCurrentText(u"50%"_s);
    emit zoom->activated(zoom->currentIndex());
    QCOMPARE(view->pixelsPerMillimetre(), view->logicalDpiX() / 25.4 * 0.5);
    zoom->setCurrentText(u"Full Page"_s);
    emit zoom->activated(zoom->currentIndex());
    QVERIFY(view->pixelsPerMillimetre() <= toWidth);
    QVERIFY(view->pixelsPerMillimetre() * 297 <= view->maximumViewportSize().height());

    // For a person to look at: the window as it shows, where the variable says.
    const QString keep = qEnvironmentVariable("TESSORIN_DOCUMENT_PDF_DIR");
    if (!keep.isEmpty())
        QVERIFY(preview->grab().save(QDir(keep).filePath(u"preview.png"_s)));
}

void TestPrintPreview::emailLeavesNoAttachment()
{
    // Without a mail system the send dialog still opens, after the unavailable error; cancelled,
    // it leaves no attachment behind.
    auto preview = finishedPreview(ReportTestSupport::sampleReport(2));
    const QByteArray oldTemp = qgetenv("TMPDIR");
    const QString temp = m_dir.filePath(u"mail"_s);
    QVERIFY(QDir().mkpath(temp));
    qputenv("TMPDIR", temp.toLocal8Bit());
    bool opened = false;
    QTimer::singleShot(0, preview.get(), [&] {
        if (auto *dialog = QApplication::activeModalWidget()) {
            opened = dialog->objectName() == u"frmSendMAPI"_s;
            QTest::mouseClick(dialog->findChild<QPushButton *>(u"btnCancel"_s), Qt::LeftButton);
        }
    });
    click(*preview, u"btnEmail"_s);
    qputenv("TMPDIR", oldTemp);
    QVERIFY(opened);
    const QList<MessageAnswers::Shown> boxes = MessageAnswers::shown();
    QVERIFY(!boxes.isEmpty());
    QCOMPARE(boxes.first().text, u"MAPI services are not available on this system"_s);
    QCOMPARE(QDir(temp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

void TestPrintPreview::printerSetupAfterOpeningAFile()
{
    // An opened report file prints where the window's printer set-up says.
    const RenderedReport report = ReportTestSupport::sampleReport(3);
    const QString path = m_dir.filePath(u"setup.QRP"_s);
    QString error;
    QVERIFY2(PageFile::save(path, report, &error), qPrintable(error));
    auto preview = finishedPreview(RenderedReport(), path);
    bool askedTheRun = false;
    preview->attachReport([] {}, [&](QWidget *) { askedTheRun = true; });
    click(*preview, u"btnOpen"_s);

    const QString printed = m_dir.filePath(u"setup.pdf"_s);
    int offeredPages = -1;
    preview->dialogs().printerSetup = [&](QPrinter &printer, QWidget *, int pageCount) {
        offeredPages = pageCount;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(printed);
        return true;
    };
    click(*preview, u"btnPrinterSetup"_s);
    QCOMPARE(offeredPages, int(report.pages.size()));
    QVERIFY(!askedTheRun); // the report whose run the file replaced is not asked
    click(*preview, u"btnPrint"_s);
    QVERIFY(MessageAnswers::shown().isEmpty());
    QVERIFY(QFileInfo(printed).size() > 0);
}

int runPreviewTests(int argc, char **argv)
{
    TestPrintPreview test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_preview.moc"

#include "Commands.h"
#include "DocumentTestData.h"
#include "DocumentsTests.h"
#include "RecordValues.h"
#include "controls/window/MessageAnswers.h"
#include "controls/window/TQVPageControl.h"
#include "documents/FormCJobQuote.h"
#include "documents/FormPrintPreview.h"
#include "controls/dataaware/IncrementalSearchBox.h"
#include "documents/PrintCommand.h"
#include "documents/QRJobQuote.h"
#include "documents/QRQuote.h"
#include "engine/Field.h"
#include "report/PageFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

// The print dialog: its starting state, its refusals, printing with the chosen options and
// printer, and the preview it waits for.
class TestPrintDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void startingState();
    void refusesWithoutClient_data();
    void refusesWithoutClient();
    void printerChoicesLastForTheOpening();
    void previewWaitsUntilClosed_data();
    void previewWaitsUntilClosed();
    void searchMovesTheList();
    void printCommandSavesFirst();
    void previewShowsPagesAsTheyAreMade();
    void openingAFileEndsTheRun();
    void printingShowsProgress_data();
    void printingShowsProgress();

private:
    // Adds quote Q9, long enough for several pages, and makes it the current quote.
    void selectLongQuote();

    std::unique_ptr<HandMadeDocuments> m_data;
    std::unique_ptr<TDM> m_dm;
    QTemporaryDir m_dir;
};

void TestPrintDialog::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestPrintDialog::init()
{
    MessageAnswers::clear();
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
    m_data = std::make_unique<HandMadeDocuments>();
    m_data->addDocument(
        false, u"Q1"_s, HandMadeDocuments::clientId, { { u"H"_s, u"C1"_s, u"Quote line"_s } });
    m_data->addDocument(
        false, u"Q2"_s, QVariant(), { { u"H"_s, u"C2"_s, u"Orphan quote line"_s } });
    m_data->addDocument(
        true, u"J1"_s, HandMadeDocuments::clientId, { { u"H"_s, u"C3"_s, u"Job line"_s } });
    m_data->addDocument(true, u"J2"_s, QVariant(), { { u"H"_s, u"C4"_s, u"Orphan job line"_s } });
    m_dm = m_data->start();
    QVERIFY(m_dm->isConnected());
}

void TestPrintDialog::cleanup()
{
    m_dm.reset();
    m_data.reset();
    MessageAnswers::clear();
}

void TestPrintDialog::startingState()
{
    TfrmCJobQuotes dialog(m_dm.get());
    QCOMPARE(dialog.windowTitle(), u"Print Job or Quote"_s);
    const struct
    {
        const char16_t *name, *caption, *hint;
        bool checked;
    } boxes[] = {
        { u"chkLogo", u"Logo", u"Display Logo on Quote or Job", true },
        { u"chkCodes", u"Material/Labour Codes", u"Show Material / Codes on Job or Quote", false },
        { u"chkGroups", u"Material/Labour Group Headings", u"Show Material/Labour Group Headings. ",
            false },
        { u"chkNotes", u"Notes for Labour/Material Items", u"Display Extened notes on each item",
            false },
    };
    for (const auto &b : boxes) {
        auto *box = dialog.findChild<QCheckBox *>(QString::fromUtf16(b.name));
        QVERIFY(box);
        QCOMPARE(box->text(), QString::fromUtf16(b.caption));
        QCOMPARE(box->toolTip(), QString::fromUtf16(b.hint));
        QCOMPARE(box->isChecked(), b.checked);
    }
    auto *type = dialog.findChild<QComboBox *>(u"cboReportType"_s);
    QCOMPARE(type->currentText(), u"Print To Screen"_s);
    QCOMPARE(type->count(), 2);
    auto *pages = dialog.findChild<TQVPageControl *>(u"pgcJobsQuotes"_s);
    QCOMPARE(pages->tabText(pages->currentIndex()), u"Quotes"_s);
    QVERIFY(dialog.findChild<QPushButton *>(u"btnPrint"_s)->isDefault());

    dialog.show();
    QVERIFY(dialog.findChild<IncrementalSearchBox *>(u"edtSearchQuotes"_s)->isVisible());
    QVERIFY(!dialog.findChild<IncrementalSearchBox *>(u"edtSearchJobs"_s)->isVisible());
    pages->setCurrentIndex(1);
    QVERIFY(!dialog.findChild<IncrementalSearchBox *>(u"edtSearchQuotes"_s)->isVisible());
    QVERIFY(dialog.findChild<IncrementalSearchBox *>(u"edtSearchJobs"_s)->isVisible());
}

void TestPrintDialog::refusesWithoutClient_data()
{
    QTest::addColumn<bool>("job");
    QTest::addColumn<QString>("message");
    QTest::newRow("quote")
        << false
        << u"Quote has no client selected. Please insert client details before printing Quote"_s;
    QTest::newRow("job")
        << true << u"Job has no Client selected. Please Select a client before printing Job"_s;
}

void TestPrintDialog::refusesWithoutClient()
{
    QFETCH(bool, job);
    QFETCH(QString, message);
    TfrmCJobQuotes dialog(m_dm.get());
    dialog.findChild<TQVPageControl *>(u"pgcJobsQuotes"_s)->setCurrentIndex(job ? 1 : 0);
    TQVTable *view = job ? m_dm->tblCriteriaJobs : m_dm->tblCriteriaQuotes;
    // Move to the document without a client.
    for (view->first(); !view->eof(); view->next()) {
        if (isBlank(view, u"Client_ID"))
            break;
    }
    QVERIFY(!view->eof());

    trigger(&dialog, u"btnPrint"_s);
    const QList<MessageAnswers::Shown> shown = MessageAnswers::shown();
    QVERIFY(!shown.isEmpty());
    QCOMPARE(shown.last().text, message);
    QCOMPARE(shown.last().icon, QMessageBox::Critical);
    DocumentReport &report =
        job ? static_cast<DocumentReport &>(dialog.jobReport()) : dialog.quoteReport();
    QVERIFY(report.lastPages().pages.isEmpty()); // nothing ran
    QVERIFY(!report.previewWindow());
}

void TestPrintDialog::printerChoicesLastForTheOpening()
{
    const QString chosen = m_dir.filePath(u"chosen.pdf"_s);
    int setups = 0;
    OutputDialogs dialogs;
    dialogs.printerSetup = [&](QPrinter &printer, QWidget *, int) {
        ++setups;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(chosen);
        return true;
    };
    {
        TfrmCJobQuotes dialog(m_dm.get());
        dialog.setOutputDialogs(dialogs);
        dialog.findChild<QComboBox *>(u"cboReportType"_s)->setCurrentIndex(1);
        dialog.findChild<QCheckBox *>(u"chkCodes"_s)->setChecked(true);
        QTest::mouseClick(dialog.findChild<QPushButton *>(u"btnPrinterSetup"_s), Qt::LeftButton);
        QCOMPARE(setups, 1);
        for (int run = 0; run < 2; ++run) {
            QFile::remove(chosen);
            QTest::mouseClick(dialog.findChild<QPushButton *>(u"btnPrint"_s), Qt::LeftButton);
            QVERIFY2(QFileInfo(chosen).size() > 0, "the run did not reach the chosen printer");
        }
        QCOMPARE(dialog.quoteReport().Params,
            QStringList({ u"NO=Q1"_s, u"LOGO=TRUE"_s, u"CODES=TRUE"_s, u"GROUPS=FALSE"_s,
                u"NOTES=FALSE"_s }));
        QVERIFY(MessageAnswers::shown().isEmpty());
    }
    // A new opening starts from the printer defaults again.
    TfrmCJobQuotes reopened(m_dm.get());
    QVERIFY(reopened.quoteReport().printer().outputFileName().isEmpty());
    QCOMPARE(reopened.quoteReport().printer().copyCount(), 1);
}

void TestPrintDialog::previewWaitsUntilClosed_data()
{
    QTest::addColumn<bool>("job");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("title");
    QTest::newRow("quote") << false << u"Q1"_s << u"Quote"_s;
    QTest::newRow("job") << true << u"J1"_s << u"Job Sheet"_s;
}

void TestPrintDialog::previewWaitsUntilClosed()
{
    QFETCH(bool, job);
    QFETCH(QString, number);
    QFETCH(QString, title);
    TfrmCJobQuotes dialog(m_dm.get());
    dialog.show();
    dialog.findChild<TQVPageControl *>(u"pgcJobsQuotes"_s)->setCurrentIndex(job ? 1 : 0);
    TQVTable *view = job ? m_dm->tblCriteriaJobs : m_dm->tblCriteriaQuotes;
    view->first(); // the first document has its client
    DocumentReport &report =
        job ? static_cast<DocumentReport &>(dialog.jobReport()) : dialog.quoteReport();

    bool seen = false;
    QString caption, state, page, printedTitle;
    bool printEnabled = true;
    // Looks once the run has finished: the preview shows the pages while they are made.
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        TfrmPrintPreview *preview = report.previewWindow();
        if (!preview || preview->renderState() != ReportRunner::State::Finished)
            return;
        poll.stop();
        seen = true;
        caption = preview->windowTitle();
        state = preview->stateText();
        page = preview->pageText();
        printedTitle = preview->report().title;
        printEnabled = dialog.findChild<QPushButton *>(u"btnPrint"_s)->isEnabled();
        QTest::mouseClick(preview->findChild<QPushButton *>(u"btnClose"_s), Qt::LeftButton);
    });
    poll.start(5);
    trigger(&dialog, u"btnPrint"_s);
    QVERIFY(seen);
    QCOMPARE(caption, u"Velbric - Print Preview"_s);
    QCOMPARE(state, u" Finshed"_s);
    QCOMPARE(page, u"Page 1 of 1"_s);
    QCOMPARE(printedTitle, title);
    QVERIFY(!printEnabled); // no second run while the first one's preview is open
    QVERIFY(!report.previewWindow());
    QVERIFY(dialog.findChild<QPushButton *>(u"btnPrint"_s)->isEnabled());
    QVERIFY(report.Params.contains(u"NO="_s + number));
}

void TestPrintDialog::searchMovesTheList()
{
    TfrmCJobQuotes dialog(m_dm.get());
    dialog.show();
    auto *search = dialog.findChild<IncrementalSearchBox *>(u"edtSearchQuotes"_s);
    m_dm->tblCriteriaQuotes->first();
    QTest::keyClicks(search->lineEdit(), u"q2"_s);
    QCOMPARE(text(m_dm->tblCriteriaQuotes, u"Quote_No"), u"Q2"_s);
    QCOMPARE(search->listFields(), QStringList({ u"Quote_No"_s, u"QuoteDescription"_s }));
}

void TestPrintDialog::printCommandSavesFirst()
{
    TQVTable *quotes = m_dm->tblQuotes;
    quotes->first();
    quotes->edit();
    setText(quotes, u"QuoteDescription", u"Changed before printing"_s);

    bool opened = false;
    DataSetState stateWhenOpen = DataSetState::Edit;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<TfrmCJobQuotes *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        opened = true;
        stateWhenOpen = quotes->state();
        dialog->reject();
    });
    printJobQuote(m_dm.get(), nullptr, false);
    QVERIFY(opened);
    QCOMPARE(stateWhenOpen, DataSetState::Browse);
    QCOMPARE(m_data->data.peek(
                 u"Quotes.DB"_s, u"SELECT QuoteDescription FROM data WHERE Quote_No = 'Q1'"_s),
        QVariant(u"Changed before printing"_s));
}

void TestPrintDialog::selectLongQuote()
{
    m_dm.reset();
    QList<HandLine> lines;
    for (int i = 1; i <= 150; ++i)
        lines.append(HandLine(u"H"_s, u"C%1"_s.arg(i), u"Long quote line %1"_s.arg(i)));
    m_data->addDocument(false, u"Q9"_s, HandMadeDocuments::clientId, lines);
    m_dm = m_data->start();
    QVERIFY(m_dm->isConnected());
    TQVTable *quotes = m_dm->tblCriteriaQuotes;
    QVERIFY2(moveTo(quotes, u"Quote_No", u"Q9"_s), "Q9 is not in the list");
}

void TestPrintDialog::previewShowsPagesAsTheyAreMade()
{
    selectLongQuote();
    TfrmCJobQuotes dialog(m_dm.get());
    dialog.show();
    TqrepQuote &report = dialog.quoteReport();

    // The first chance the program has to handle an event comes while the run is still going.
    QString state, page;
    int pages = 0;
    QTimer::singleShot(0, this, [&] {
        TfrmPrintPreview *preview = report.previewWindow();
        if (!preview)
            return;
        state = preview->stateText();
        page = preview->pageText();
        pages = preview->pageCount();
        preview->close(); // ends the run
    });
    trigger(&dialog, u"btnPrint"_s);
    QCOMPARE(state, u" Busy"_s);
    QVERIFY2(pages >= 1, qPrintable(page));
    QCOMPARE(page, u"Page 1 of %1"_s.arg(pages));
    QVERIFY(!report.previewWindow());
    const int ranTo = int(report.lastPages().pages.size());
    const int whole = int(report.run().pages.size());
    QVERIFY2(whole > 2, qPrintable(QString::number(whole)));
    QVERIFY2(ranTo < whole, qPrintable(u"%1 of %2 pages"_s.arg(ranTo).arg(whole)));
    QVERIFY(MessageAnswers::shown().isEmpty());
}

void TestPrintDialog::openingAFileEndsTheRun()
{
    selectLongQuote();
    RenderedReport saved;
    saved.title = u"Saved week"_s;
    saved.pages.append(ReportPage());
    const QString path = m_dir.filePath(u"week.QRP"_s);
    QString error;
    QVERIFY2(PageFile::save(path, saved, &error), qPrintable(error));

    TfrmCJobQuotes dialog(m_dm.get());
    dialog.show();
    TqrepQuote &report = dialog.quoteReport();
    bool opened = false;
    RenderedReport shownAfterRun;
    QString caption;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        TfrmPrintPreview *preview = report.previewWindow();
        if (!preview)
            return;
        if (!opened) {
            preview->openReport(path); // while the quote is still rendering
            opened = true;
            return;
        }
        if (report.lastPages().pages.isEmpty())
            return; // the run has not returned yet
        poll.stop();
        shownAfterRun = preview->report();
        caption = preview->windowTitle();
        preview->close();
    });
    poll.start(0);
    trigger(&dialog, u"btnPrint"_s);
    QVERIFY(opened);
    QCOMPARE(shownAfterRun.title, saved.title); // the run's pages did not replace the file's
    QCOMPARE(shownAfterRun.pages.size(), 1);
    QCOMPARE(caption, u"Velbric Print Preview : week.QRP"_s);
    QVERIFY(report.lastPages().pages.size() < report.run().pages.size());
}

void TestPrintDialog::printingShowsProgress_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::newRow("to the end") << false;
    QTest::newRow("cancelled at the second page") << true;
}

void TestPrintDialog::printingShowsProgress()
{
    QFETCH(bool, cancel);
    selectLongQuote();
    TfrmCJobQuotes dialog(m_dm.get());
    dialog.show();
    dialog.findChild<QComboBox *>(u"cboReportType"_s)->setCurrentIndex(1);
    TqrepQuote &report = dialog.quoteReport();
    const QString path = m_dir.filePath(u"printed.pdf"_s);
    QFile::remove(path);
    report.printer().setOutputFormat(QPrinter::PdfFormat);
    report.printer().setOutputFileName(path);

    QStringList labels;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *progress = dialog.findChild<QProgressDialog *>(u"dlgPrintProgress"_s);
        if (!progress)
            return;
        if (labels.isEmpty() || labels.last() != progress->labelText())
            labels.append(progress->labelText());
        if (cancel && progress->labelText().startsWith(u"Printing page 2 "_s))
            progress->cancel();
    });
    poll.start(0);
    trigger(&dialog, u"btnPrint"_s);
    poll.stop();

    const int whole = int(report.lastPages().pages.size());
    QVERIFY(whole > 2);
    QVERIFY2(labels.contains(u"Preparing page 1"_s), qPrintable(labels.join(u'|')));
    QVERIFY2(labels.contains(u"Printing page 1 of %1"_s.arg(whole)), qPrintable(labels.join(u'|')));
    QCOMPARE(labels.contains(u"Printing page %1 of %1"_s.arg(whole)), !cancel);
    QVERIFY(!dialog.findChild<QProgressDialog *>(u"dlgPrintProgress"_s)); // gone with the job
    QVERIFY(MessageAnswers::shown().isEmpty()); // a cancel is no error
    QCOMPARE(QFileInfo::exists(path), !cancel); // no part of a cancelled document stays
    if (!cancel)
        QVERIFY(QFileInfo(path).size() > 0);
}

int runPrintDialogTests(int argc, char **argv)
{
    TestPrintDialog test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_printdialog.moc"

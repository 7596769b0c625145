#include "Commands.h"
#include "DocumentTestData.h"
#include "ExternalTool.h"
#include "LocalPrintServer.h"
#include "ModalDialogs.h"
#include "controls/window/MessageAnswers.h"
#include "documents/FormCJobQuote.h"
#include "documents/QRQuote.h"
#include "engine/Field.h"
#include "report/ReportOutput.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString queue = u"Office-Printer"_s;
const QString toFile = u"Print to File (PDF)"_s;

QString pdfText(const QString &path)
{
    QProcess process;
    process.start(ExternalTool::find(u"pdftotext"_s), { path, u"-"_s });
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return u"<pdftotext %1 failed>"_s.arg(path);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

// Printing to a real print queue of a scheduler the test starts: the printer set-up dialog, the
// print, its cancelling, and a computer without any printer.
class TestPrinting : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();
    void printsOnTheChosenPrinter_data();
    void printsOnTheChosenPrinter();
    void cancelledPrintReachesNoPrinter_data();
    void cancelledPrintReachesNoPrinter();
    void noPrinterSetUp();

private:
    void addQueue();
    // The print dialog, set to print to the printer, on quote number.
    std::unique_ptr<TfrmCJobQuotes> printDialog(const QString &number);

    std::unique_ptr<LocalPrintServer> m_server;
    std::unique_ptr<HandMadeDocuments> m_data;
    std::unique_ptr<TDM> m_dm;
    QTemporaryDir m_dir;
    bool m_queueAdded = false;
};

void TestPrinting::initTestCase()
{
    const QString missing = LocalPrintServer::missingProgram();
    if (!missing.isEmpty()) {
        if (ExternalTool::inContinuousIntegration())
            QFAIL(qPrintable(missing + u" is not installed (scripts/install-deps installs it)"_s));
        QSKIP(qPrintable(missing + u" is not installed"_s));
    }
    REQUIRE_TOOL(u"pdftotext"_s);
    m_server = std::make_unique<LocalPrintServer>();
    QString why;
    QVERIFY2(m_server->start(&why), qPrintable(why));
}

void TestPrinting::init()
{
    MessageAnswers::clear();
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
    m_data = std::make_unique<HandMadeDocuments>();
    m_data->addDocument(
        false, u"Q1"_s, HandMadeDocuments::clientId, { { u"H"_s, u"C1"_s, u"Quote line"_s } });
    QList<HandLine> lines;
    for (int i = 1; i <= 150; ++i)
        lines.append(HandLine(u"H"_s, u"C%1"_s.arg(i), u"Long quote line %1"_s.arg(i)));
    m_data->addDocument(false, u"Q9"_s, HandMadeDocuments::clientId, lines);
    m_dm = m_data->start();
    QVERIFY(m_dm->isConnected());
    // No message of the printer's may show: each one is a setting it refused or a failed job.
    QTest::failOnWarning(QRegularExpression(u"QPrinter|QPainter|QPdf|[Pp]rinter"_s));
}

void TestPrinting::cleanup()
{
    QString why;
    if (m_queueAdded)
        QVERIFY2(m_server->removeQueue(queue, &why), qPrintable(why));
    m_queueAdded = false;
    m_dm.reset();
    m_data.reset();
    MessageAnswers::clear();
}

void TestPrinting::cleanupTestCase()
{
    m_server.reset();
}

void TestPrinting::addQueue()
{
    QString why;
    QVERIFY2(m_server->addQueue(queue, &why), qPrintable(why));
    m_queueAdded = true;
    QFile::remove(m_server->outputFile(queue));
}

std::unique_ptr<TfrmCJobQuotes> TestPrinting::printDialog(const QString &number)
{
    auto dialog = std::make_unique<TfrmCJobQuotes>(m_dm.get());
    dialog->show();
    dialog->findChild<QComboBox *>(u"cboReportType"_s)->setCurrentIndex(1); // Print To Printer
    TQVTable *quotes = m_dm->tblCriteriaQuotes;
    for (quotes->first(); !quotes->eof(); quotes->next()) {
        if (quotes->fieldByName(u"Quote_No"_s)->asString() == number)
            break;
    }
    return dialog;
}

void TestPrinting::printsOnTheChosenPrinter_data()
{
    QTest::addColumn<bool>("queueSetUp");
    QTest::addColumn<bool>("failedBefore");
    QTest::addColumn<QString>("choice");
    QTest::newRow("the queue") << true << false << queue;
    QTest::newRow("a PDF file") << true << false << toFile;
    QTest::newRow("a PDF file, after a print without a printer") << false << true << toFile;
}

// The printer set-up lists the queues; the choice made there takes the next print, also after a
// print that failed.
void TestPrinting::printsOnTheChosenPrinter()
{
    QFETCH(bool, queueSetUp);
    QFETCH(bool, failedBefore);
    QFETCH(QString, choice);
    if (queueSetUp)
        addQueue();
    const auto dialog = printDialog(u"Q1"_s);
    if (failedBefore) {
        trigger(dialog.get(), u"btnPrint"_s);
        QCOMPARE(MessageAnswers::shown().size(), 1);
        MessageAnswers::clear();
        MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
    }

    const QString file = m_dir.filePath(u"chosen.pdf"_s);
    QFile::remove(file);
    QStringList listed;
    const bool opened =
        ModalDialogs::whileOpen<QPrintDialog>([&] { trigger(dialog.get(), u"btnPrinterSetup"_s); },
            [&](QPrintDialog *setup) {
                auto *printers = setup->findChild<QComboBox *>(u"printers"_s);
                for (int i = 0; i < printers->count(); ++i)
                    listed << printers->itemText(i);
                printers->setCurrentIndex(printers->findText(choice));
                if (choice == toFile)
                    setup->findChild<QLineEdit *>(u"filename"_s)->setText(file);
                setup->accept();
            });
    QVERIFY(opened);
    QCOMPARE(listed.contains(queue), queueSetUp);
    QVERIFY2(listed.contains(choice), qPrintable(listed.join(u'|')));

    trigger(dialog.get(), u"btnPrint"_s);
    QVERIFY2(MessageAnswers::shown().isEmpty(), qPrintable(MessageAnswers::shown().value(0).text));
    QString why;
    QVERIFY2(m_server->waitUntilIdle(&why), qPrintable(why));
    const QString printed = choice == toFile ? file : m_server->outputFile(queue);
    const QString text = pdfText(printed);
    QVERIFY2(text.contains(u"Quote line"_s) && text.contains(u"Q1"_s), qPrintable(text));
    if (queueSetUp)
        QCOMPARE(QFile::exists(m_server->outputFile(queue)), choice == queue);
}

void TestPrinting::cancelledPrintReachesNoPrinter_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::newRow("to the end") << false;
    QTest::newRow("cancelled at the second page") << true;
}

// A print to the queue shows its progress; cancelled while the pages go out, nothing of it prints.
void TestPrinting::cancelledPrintReachesNoPrinter()
{
    QFETCH(bool, cancel);
    addQueue();
    const auto dialog = printDialog(u"Q9"_s);
    QCOMPARE(dialog->quoteReport().printer().printerName(), queue);

    QStringList labels;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *progress = dialog->findChild<QProgressDialog *>(u"dlgPrintProgress"_s);
        if (!progress)
            return;
        if (labels.isEmpty() || labels.last() != progress->labelText())
            labels.append(progress->labelText());
        if (cancel && progress->labelText().startsWith(u"Printing page 2 "_s))
            progress->cancel();
    });
    poll.start(0);
    trigger(dialog.get(), u"btnPrint"_s);
    poll.stop();
    QVERIFY(MessageAnswers::shown().isEmpty()); // a cancel is no error
    QVERIFY2(labels.contains(
                 u"Printing page 1 of %1"_s.arg(dialog->quoteReport().lastPages().pages.size())),
        qPrintable(labels.join(u'|')));

    QString why;
    QVERIFY2(m_server->waitUntilIdle(&why), qPrintable(why));
    const QString printed = m_server->outputFile(queue);
    QCOMPARE(QFile::exists(printed), !cancel);
    if (!cancel)
        QVERIFY2(pdfText(printed).contains(u"Long quote line 150"_s), qPrintable(pdfText(printed)));
}

// Printing on a computer where no printer is set up says so and how to add one; the printer is
// left ready for other settings.
void TestPrinting::noPrinterSetUp()
{
    const auto dialog = printDialog(u"Q1"_s);
    trigger(dialog.get(), u"btnPrint"_s);
    const QList<MessageAnswers::Shown> shown = MessageAnswers::shown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().text, ReportOutput::noPrinterMessage());
    QVERIFY(dialog->quoteReport().printer().printerState() != QPrinter::Active);
}

int runPrintingTests(int argc, char **argv)
{
    TestPrinting test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_printing.moc"

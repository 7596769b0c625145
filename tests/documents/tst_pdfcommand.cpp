#include "DataDirFixture.h"
#include "DataTool.h"
#include "DemoCommand.h"
#include "DocumentsTests.h"
#include "ExternalTool.h"
#include "RecordValues.h"
#include "ReportTestSupport.h"
#include "ToolRun.h"
#include "documents/QRJobQuote.h"
#include "documents/QRQuote.h"
#include "report/PageFile.h"
#include "report/ReportOutput.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

QString pdfToText(const QString &path)
{
    QProcess process;
    process.start(ExternalTool::find(u"pdftotext"_s), { u"-layout"_s, path, u"-"_s });
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

// "tessorin-data pdf": documents and report files as PDF without a window.
class TestPdfCommand : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void documentAsThePrintDialogPrintsIt_data();
    void documentAsThePrintDialogPrintsIt();
    void reportFileAsPdf();
    void refusesWithoutLeavingAFile_data();
    void refusesWithoutLeavingAFile();

private:
    std::unique_ptr<DataDirFixture> m_data;
    QTemporaryDir m_out;
    QString m_quoteNo;
    QString m_jobNo;
};

void TestPdfCommand::initTestCase()
{
    m_data = std::make_unique<DataDirFixture>();
    std::unique_ptr<TDM> dm = m_data->start();
    QVERIFY(dm->isConnected());
    fillDemoData(*dm);
    dm->tblCriteriaQuotes->first();
    m_quoteNo = text(dm->tblCriteriaQuotes, u"Quote_No");
    dm->tblCriteriaJobs->first();
    m_jobNo = text(dm->tblCriteriaJobs, u"Job_No");
    QVERIFY(!m_quoteNo.isEmpty() && !m_jobNo.isEmpty());
    // A data directory of another name is opened as well.
    QVERIFY(QFile::link(m_data->dataDirectory(), m_out.filePath(u"shop"_s)));
}

void TestPdfCommand::cleanupTestCase()
{
    m_data.reset();
}

void TestPdfCommand::documentAsThePrintDialogPrintsIt_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("otherName");
    QTest::newRow("quote, the dialog's defaults") << u"quote"_s << QStringList() << false;
    QTest::newRow("job, every option") << u"job"_s
                                       << QStringList { u"--no-logo"_s, u"--codes"_s,
                                              u"--groups"_s, u"--notes"_s }
                                       << false;
    QTest::newRow("quote from a directory not named DATA")
        << u"quote"_s << QStringList { u"--codes"_s } << true;
}

void TestPdfCommand::documentAsThePrintDialogPrintsIt()
{
    QFETCH(QString, kind);
    QFETCH(QStringList, options);
    QFETCH(bool, otherName);
    const bool job = kind == u"job";
    const QString number = job ? m_jobNo : m_quoteNo;
    const QString out = m_out.filePath(kind + u".pdf"_s);
    const QString dir = otherName ? m_out.filePath(u"shop"_s) : m_data->dataDirectory();
    const ToolRun run = runTool(QStringList { u"pdf"_s } + options + QStringList { dir, kind, number, out });
    QVERIFY2(run.code == 0, qPrintable(run.err));

    // The same document, run as the print dialog runs it.
    DocumentOptions chosen;
    chosen.logo = !options.contains(u"--no-logo"_s);
    chosen.codes = options.contains(u"--codes"_s);
    chosen.groups = options.contains(u"--groups"_s);
    chosen.notes = options.contains(u"--notes"_s);
    std::unique_ptr<TDM> dm = m_data->start();
    std::unique_ptr<DocumentReport> report;
    if (job)
        report = std::make_unique<TqrepJobQuote>(dm.get());
    else
        report = std::make_unique<TqrepQuote>(dm.get());
    report->setRun(number, chosen);
    const QString expected = m_out.filePath(u"expected.pdf"_s);
    QString error;
    QVERIFY2(ReportOutput::writePdf(report->run(), expected, &error), qPrintable(error));

    REQUIRE_TOOL(u"pdftotext"_s);
    const QString text = pdfToText(out);
    QVERIFY(text.contains(number));
    QCOMPARE(text, pdfToText(expected));
}

void TestPdfCommand::reportFileAsPdf()
{
    const RenderedReport report = ReportTestSupport::sampleReport(40);
    const QString file = m_out.filePath(u"week.QRP"_s);
    QString error;
    QVERIFY2(PageFile::save(file, report, &error), qPrintable(error));
    const QString out = m_out.filePath(u"week.pdf"_s);
    const ToolRun run = runTool({ u"pdf"_s, file, out });
    QVERIFY2(run.code == 0, qPrintable(run.err));
    REQUIRE_TOOL(u"pdftotext"_s);
    const QString text = pdfToText(out);
    for (const PageText &t : ReportTestSupport::texts(report.pages.first())) {
        if (!t.text.trimmed().isEmpty())
            QVERIFY2(text.contains(t.text.trimmed()), qPrintable(t.text));
    }
}

void TestPdfCommand::refusesWithoutLeavingAFile_data()
{
    QTest::addColumn<QString>("what"); // what the arguments name
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown quote number") << u"unknown quote"_s << 1 << u"no quote numbered"_s;
    QTest::newRow("unknown job number") << u"unknown job"_s << 1 << u"no job numbered"_s;
    QTest::newRow("missing data directory") << u"missing dir"_s << 1 << u"no data directory"_s;
    QTest::newRow("missing report file") << u"missing file"_s << 1 << u"missing.QRP"_s;
    QTest::newRow("report file linked to an endless device")
        << u"hostile file"_s << 1 << u"not a regular file"_s;
    QTest::newRow("output in a folder that cannot be") << u"unwritable"_s << 1 << u"cannot write"_s;
    QTest::newRow("unknown option") << u"bad option"_s << 2 << u"--bogus"_s;
    QTest::newRow("unknown document") << u"bad document"_s << 2 << u"unknown document"_s;
}

void TestPdfCommand::refusesWithoutLeavingAFile()
{
    QFETCH(QString, what);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QTemporaryDir outDir;
    QString out = outDir.filePath(u"out.pdf"_s);
    // An earlier PDF of that name stays as it was.
    {
        QFile earlier(out);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier");
    }
    const QString dir = m_data->dataDirectory();
    QStringList arguments { u"pdf"_s };
    if (what == u"unknown quote")
        arguments << dir << u"quote"_s << u"Q-none"_s << out;
    else if (what == u"unknown job")
        arguments << dir << u"job"_s << m_quoteNo << out;
    else if (what == u"missing dir")
        arguments << outDir.filePath(u"nowhere"_s) << u"quote"_s << m_quoteNo << out;
    else if (what == u"missing file")
        arguments << outDir.filePath(u"missing.QRP"_s) << out;
    else if (what == u"hostile file") {
        QVERIFY(QFile::link(u"/dev/zero"_s, outDir.filePath(u"mail.QRP"_s)));
        arguments << outDir.filePath(u"mail.QRP"_s) << out;
    } else if (what == u"unwritable") {
        // A path below a file: no user, however privileged, can create it.
        out = outDir.filePath(u"out.pdf/inner.pdf"_s);
        arguments << dir << u"quote"_s << m_quoteNo << out;
    } else if (what == u"bad option")
        arguments << u"--bogus"_s << dir << u"quote"_s << m_quoteNo << out;
    else
        arguments << dir << u"invoice"_s << m_quoteNo << out;

    const QStringList before = QDir(outDir.path()).entryList(QDir::Files | QDir::Hidden);
    const ToolRun run = runTool(arguments);
    QCOMPARE(run.code, exitCode);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QCOMPARE(QDir(outDir.path()).entryList(QDir::Files | QDir::Hidden), before);
    QFile earlier(outDir.filePath(u"out.pdf"_s));
    QVERIFY(earlier.open(QIODevice::ReadOnly));
    QCOMPARE(earlier.readAll(), QByteArray("earlier"));
}

int runPdfCommandTests(int argc, char **argv)
{
    TestPdfCommand test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pdfcommand.moc"

#include "DocumentTestData.h"
#include "DocumentsTests.h"
#include "RecordingMail.h"
#include "controls/window/MessageAnswers.h"
#include "data/DataModuleMain.h"
#include "documents/FormMAPISend.h"
#include "documents/QRJobQuote.h"
#include "documents/QRQuote.h"
#include "documents/mail/MailLibrary.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// Calls step every 10 ms until it returns true, or until owner goes.
void whenReady(QObject *owner, std::function<bool()> step)
{
    auto *timer = new QTimer(owner);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, step] {
        if (step()) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

} // namespace

// A quote or job goes from its preview to its client in three clicks: the e-mail button, the
// send dialog filled in for it, and Send.
class TestDocumentMail : public QObject
{
    Q_OBJECT

private slots:
    void init() { MessageAnswers::setDefaultAnswer(QMessageBox::Ok); }
    void cleanup() { MessageAnswers::clear(); }
    void sentFromPreview_data();
    void sentFromPreview();
};

void TestDocumentMail::sentFromPreview_data()
{
    QTest::addColumn<bool>("job");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("defaultEmail");
    QTest::addColumn<QStringList>("emails");
    QTest::addColumn<QString>("recipient");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("attachment");
    const QString business = u" from Harbour Plumbing Pty Ltd"_s;
    QTest::newRow("quote to the default address")
        << false << u"Q-500"_s << u"2"_s
        << QStringList { u"ann@example.com"_s, u"accounts@example.com"_s, QString() }
        << u"accounts@example.com"_s << u"Quote Q-500"_s + business << u"Quote Q-500.pdf"_s;
    QTest::newRow("job to the first address given")
        << true << u"J-12"_s << QString()
        << QStringList { QString(), u"site@example.com"_s, u"third@example.com"_s }
        << u"site@example.com"_s << u"Job Sheet J-12"_s + business << u"Job Sheet J-12.pdf"_s;
    QTest::newRow("default address left empty")
        << false << u"Q-501"_s << u"3"_s
        << QStringList { u"ann@example.com"_s, QString(), QString() } << u"ann@example.com"_s
        << u"Quote Q-501"_s + business << u"Quote Q-501.pdf"_s;
    QTest::newRow("number unfit for a file name")
        << false << u"Q/7:1*"_s << QString() << QStringList { QString(), QString(), QString() }
        << QString() << u"Quote Q/7:1*"_s + business << u"Quote Q_7_1_.pdf"_s;
}

void TestDocumentMail::sentFromPreview()
{
    QFETCH(bool, job);
    QFETCH(QString, number);
    QFETCH(QString, defaultEmail);
    QFETCH(QStringList, emails);
    QFETCH(QString, recipient);
    QFETCH(QString, subject);
    QFETCH(QString, attachment);

    HandMadeDocuments documents;
    documents.addDocument(job, number, HandMadeDocuments::clientId,
        { HandLine(u"Pipes"_s, u"P1"_s, u"Copper pipe"_s, 2, 10) }, 20);
    documents.data.exec(
        u"Business.db"_s, u"UPDATE data SET Company_Name = 'Harbour Plumbing Pty Ltd'"_s);
    documents.data.exec(u"Clients.DB"_s,
        u"UPDATE data SET Default_Email = '%1', Email1 = '%2', Email2 = '%3', Email3 = '%4'"_s.arg(
            defaultEmail, emails.at(0), emails.at(1), emails.at(2)));
    const std::unique_ptr<TDM> dm = documents.start();
    std::unique_ptr<DocumentReport> report;
    if (job)
        report = std::make_unique<TqrepJobQuote>(dm.get());
    else
        report = std::make_unique<TqrepQuote>(dm.get());
    report->setRun(number, {});
    auto mail = std::make_unique<RecordingMail>();
    RecordingMail *recording = mail.get();
    MailLibrary library(std::move(mail));

    QString shownRecipient;
    QString shownSubject;
    int clicks = 0;
    QObject steps; // a step that never came ends with the test
    whenReady(&steps, [&] { // first click: the preview's e-mail button, once the report is there
        TfrmPrintPreview *preview = report->previewWindow();
        if (!preview || preview->renderState() != ReportRunner::State::Finished)
            return false;
        ++clicks;
        QTimer::singleShot(0, preview, [preview] {
            QTest::mouseClick(preview->findChild<QToolButton *>(u"btnEmail"_s), Qt::LeftButton);
            preview->close();
        });
        return true;
    });
    whenReady(&steps, [&] { // the dialog comes filled in: the second click is Send
        auto *dialog = qobject_cast<TfrmSendMAPI *>(QApplication::activeModalWidget());
        if (!dialog)
            return false;
        ++clicks;
        shownRecipient = dialog->findChild<QLineEdit *>(u"edtRecipient"_s)->text();
        shownSubject = dialog->findChild<QLineEdit *>(u"edtSubject"_s)->text();
        QTest::mouseClick(dialog->findChild<QPushButton *>(u"btnSend"_s), Qt::LeftButton);
        return true;
    });
    report->preview(nullptr);

    QCOMPARE(clicks, 2);
    QCOMPARE(shownRecipient, recipient);
    QCOMPARE(shownSubject, subject);
    QCOMPARE(recording->sent.size(), 1);
    const MailMessage &sent = recording->sent.first();
    QCOMPARE(sent.subject, subject);
    QCOMPARE(sent.recipients.size(), recipient.isEmpty() ? 0 : 1);
    QCOMPARE(QFileInfo(sent.attachmentPaths.value(0)).fileName(), attachment);
}

int runDocumentMailTests(int argc, char **argv)
{
    TestDocumentMail test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_documentmail.moc"

#include "LocalSmtpServer.h"
#include "ReportTestSupport.h"
#include "controls/window/MessageAnswers.h"
#include "documents/Email.h"
#include "documents/FormMAPISend.h"
#include "documents/FormPrintPreview.h"
#include "documents/mail/MailLibrary.h"
#include "documents/mail/SmtpMail.h"
#include "documents/mail/XdgEmailMail.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

namespace {

MailSettings serverAt(int port)
{
    MailSettings settings;
    settings.host = u"127.0.0.1"_s;
    settings.port = port;
    settings.security = MailSettings::Security::None;
    settings.from = u"office@kestrel.example"_s;
    return settings;
}

// Answers the send dialog once it shows: fills it, lets prepare change it, and sends.
void answerSendDialog(const QString &recipient,
    const QString &text,
    int attachAs = 0,
    std::function<void(TfrmSendMAPI &)> prepare = {})
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto *dialog = qobject_cast<TfrmSendMAPI *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        dialog->findChild<QLineEdit *>(u"edtRecipient"_s)->setText(recipient);
        dialog->findChild<QPlainTextEdit *>(u"memText"_s)->setPlainText(text);
        dialog->findChild<QComboBox *>(u"cboAttachAs"_s)->setCurrentIndex(attachAs);
        if (prepare)
            prepare(*dialog);
        QTest::mouseClick(dialog->findChild<QPushButton *>(u"btnSend"_s), Qt::LeftButton);
    });
    timer->start();
}

std::unique_ptr<TfrmPrintPreview> preview(bool finished)
{
    auto window = std::make_unique<TfrmPrintPreview>();
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->setReport(ReportTestSupport::sampleReport(2));
    window->setRenderState(finished ? ReportRunner::State::Finished : ReportRunner::State::Busy);
    return window;
}

QStringList mailFolders(const QString &temp)
{
    return QDir(temp).entryList({ u"tessorin-mail-*"_s }, QDir::Dirs);
}

} // namespace

// Mail that really leaves: through xdg-email to a recording hook, and through a local SMTP
// server, from the preview's button to the received message, with the refusals on the way.
class TestMailDelivery : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void xdgEmailHandsOver();
    void xdgEmailRefusesUnsafeAddress();
    void smtpDelivers();
    void smtpSubjectInjection();
    void previewSend_data();
    void previewSend();
    void xdgEmailWindowAnswers_data();
    void xdgEmailWindowAnswers();
    void encryption_data();
    void encryption();

private:
    QTemporaryDir m_temp;
    QByteArray m_oldTemp;
};

void TestMailDelivery::init()
{
    MessageAnswers::clear();
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
    // Attachment folders go where the test can see that none is left behind.
    m_oldTemp = qgetenv("TMPDIR");
    qputenv("TMPDIR", m_temp.path().toLocal8Bit());
}

void TestMailDelivery::cleanup()
{
    qputenv("TMPDIR", m_oldTemp);
    MessageAnswers::clear();
}

void TestMailDelivery::xdgEmailHandsOver()
{
    if (!XdgEmailMail::isUsable())
        QFAIL("xdg-email is not installed (scripts/install-deps installs xdg-utils)");
    QTemporaryDir bin;
    const QString record = bin.filePath(u"mailto.txt"_s);
    QFile hook(bin.filePath(u"xdg-email-hook.sh"_s));
    QVERIFY(hook.open(QIODevice::WriteOnly));
    hook.write("#!/bin/sh\nprintf '%s' \"$1\" > '" + record.toLocal8Bit() + "'\n");
    hook.close();
    hook.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit() + ':' + path);

    QString attachment;
    {
        MailLibrary library(std::make_unique<XdgEmailMail>());
        auto window = preview(true);
        answerSendDialog(
            u"[SMTP:ann@example.com]"_s, u"Dear Ann,\nthe report."_s, 0, [](TfrmSendMAPI &dialog) {
                dialog.email().CC << u"Bo <bo@example.com>"_s;
                dialog.findChild<QLineEdit *>(u"edtSubject"_s)
                    ->setText(u"Week\r\nBcc: eve@x.org"_s);
            });
        QTest::mouseClick(window->findChild<QToolButton *>(u"btnEmail"_s), Qt::LeftButton);
        qputenv("PATH", path);
        QCOMPARE(MessageAnswers::shown().size(), 0);

        QFile recorded(record);
        QVERIFY(recorded.open(QIODevice::ReadOnly));
        const QUrl mailto(QString::fromUtf8(recorded.readAll()));
        QCOMPARE(mailto.scheme(), u"mailto"_s);
        const QUrlQuery query(mailto);
        auto item = [&](const QString &key) {
            return query.queryItemValue(key, QUrl::FullyDecoded);
        };
        QCOMPARE(mailto.path(), u"ann@example.com"_s);
        QCOMPARE(item(u"cc"_s), u"bo@example.com"_s);
        QCOMPARE(item(u"subject"_s), u"Week  Bcc: eve@x.org"_s);
        QVERIFY(!query.hasQueryItem(u"bcc"_s));
        QVERIFY(item(u"body"_s).startsWith(u"Dear Ann,"_s));
        QVERIFY(item(u"body"_s).contains(u"Visit The Quorvane Web Page At "_s));
        attachment = item(u"attach"_s);
        QCOMPARE(QFileInfo(attachment).fileName(), u"Velbric Report.pdf"_s);
        // The mail program reads the file when the user sends: it stays, in a private folder.
        QFile pdf(attachment);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(5) == "%PDF-");
        const QFileDevice::Permissions folder =
            QFileInfo(QFileInfo(attachment).path()).permissions();
        QCOMPARE(int(folder & 0x0077), 0); // nothing for the group or others
        QVERIFY(folder.testFlags(
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    }
    QVERIFY(!QFile::exists(attachment)); // gone with the program's mail library
    QCOMPARE(mailFolders(m_temp.path()), QStringList());
}

void TestMailDelivery::xdgEmailRefusesUnsafeAddress()
{
    MailMessage message;
    message.recipients = { { 1, u"--attach=/etc/passwd"_s, QString() } };
    QString why;
    QVERIFY(XdgEmailMail::arguments(message, &why).isEmpty());
    QVERIFY(why.contains(u"not an e-mail address"_s));
    message.recipients = { { 2, u"a@example.com\nb@example.com"_s, QString() } };
    QVERIFY(XdgEmailMail::arguments(message, &why).isEmpty());
}

void TestMailDelivery::smtpDelivers()
{
    LocalSmtpServer server;
    QString why;
    QVERIFY2(server.start(&why), qPrintable(why));
    QByteArray bytes(70001, Qt::Uninitialized);
    for (char &b : bytes)
        b = char(QRandomGenerator::global()->bounded(256));
    const QString file = m_temp.filePath(u"bytes.bin"_s);
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
    out.close();

    MailLibrary library(std::make_unique<SmtpMail>(serverAt(server.port())));
    const QDateTime sentAt = QDateTime::currentDateTime();
    TEmail email;
    email.Recipient = { u"[SMTP:ann@example.com]"_s };
    email.CC = { u"bo@example.com"_s };
    email.Bcc = { u"Cy <cy@example.com>"_s };
    email.Subject = u"Angebot f\u00fcr M\u00fcller \u2013 \u20ac 12"_s;
    email.SetLongText(u"Line one\n.\nLine three \u00e9"_s);
    email.Attachment = { file };
    QCOMPARE(email.SendMail(), 0);

    const QJsonArray messages = server.messages();
    QCOMPARE(messages.size(), 1);
    const QJsonObject m = messages.first().toObject();
    QCOMPARE(m[u"rcpt"_s].toArray().first().toString(),
        u"ann@example.com, bo@example.com, cy@example.com"_s);
    QCOMPARE(m[u"to"_s].toString(), u"ann@example.com"_s);
    QCOMPARE(m[u"cc"_s].toString(), u"bo@example.com"_s);
    QVERIFY(!m[u"headers"_s].toArray().contains(u"Bcc"_s));
    QCOMPARE(m[u"subject"_s].toString(), email.Subject);
    // Every header reads cleanly with the strict parser; the date is the sending time.
    QCOMPARE(m[u"defects"_s].toArray(), QJsonArray());
    const QDateTime date = QDateTime::fromString(m[u"date"_s].toString(), Qt::ISODate);
    QVERIFY2(date.isValid(), qPrintable(m[u"date"_s].toString()));
    QVERIFY(qAbs(date.secsTo(sentAt)) < 120);
    QCOMPARE(m[u"text"_s].toString(), u"Line one\n.\nLine three \u00e9"_s);
    const QJsonArray files = m[u"attachments"_s].toArray();
    QCOMPARE(files.size(), 1);
    QCOMPARE(files.first()[u"name"_s].toString(), u"bytes.bin"_s);
    QVERIFY(QByteArray::fromBase64(files.first()[u"data"_s].toString().toLatin1()) == bytes);
}

void TestMailDelivery::smtpSubjectInjection()
{
    LocalSmtpServer server;
    QString why;
    QVERIFY2(server.start(&why), qPrintable(why));
    MailLibrary library(std::make_unique<SmtpMail>(serverAt(server.port())));
    TEmail email;
    email.Recipient = { u"ann@example.com"_s, u"eve@example.com\r\nBcc: mallory@example.com"_s };
    email.Subject = u"Hi\r\nBcc: mallory@example.com"_s;
    QCOMPARE(email.SendMail(), 0);
    const QJsonObject m = server.messages().first().toObject();
    // The address with a line break was dropped; the subject's break became blanks.
    QCOMPARE(m[u"rcpt"_s].toArray().first().toString(), u"ann@example.com"_s);
    QCOMPARE(m[u"subject"_s].toString(), u"Hi  Bcc: mallory@example.com"_s);
    QVERIFY(!m[u"headers"_s].toArray().contains(u"Bcc"_s));
}

void TestMailDelivery::previewSend_data()
{
    QTest::addColumn<QString>("server"); // "mailbox", "refusing" or "none"
    QTest::addColumn<bool>("finished");
    QTest::addColumn<int>("extraRecipients");
    QTest::addColumn<int>("attachAs");
    QTest::addColumn<QString>("reason"); // in the failure message; empty when sent
    QTest::newRow("sent as PDF") << u"mailbox"_s << true << 0 << 0 << QString();
    QTest::newRow("sent as report file") << u"mailbox"_s << true << 0 << 1 << QString();
    QTest::newRow("server refuses") << u"refusing"_s << true << 0 << 0 << u"554"_s;
    QTest::newRow("no server") << u"none"_s << true << 0 << 0 << u"127.0.0.1"_s;
    QTest::newRow("no attachment while rendering")
        << u"mailbox"_s << false << 0 << 0 << u"was not found"_s;
    QTest::newRow("too many recipients")
        << u"mailbox"_s << true << 100000 << 0 << u"at most 100000 recipients"_s;
}

void TestMailDelivery::previewSend()
{
    QFETCH(QString, server);
    QFETCH(bool, finished);
    QFETCH(int, extraRecipients);
    QFETCH(int, attachAs);
    QFETCH(QString, reason);
    LocalSmtpServer smtp(server == u"refusing" ? u"refusing_smtp.Refusing"_s : QString());
    int port = LocalSmtpServer::unusedPort();
    if (server != u"none") {
        QString why;
        QVERIFY2(smtp.start(&why), qPrintable(why));
        port = smtp.port();
    }
    MailLibrary library(std::make_unique<SmtpMail>(serverAt(port)));
    auto window = preview(finished);
    answerSendDialog(u"ann@example.com"_s, u"Here it is."_s, attachAs, [=](TfrmSendMAPI &dialog) {
        dialog.email().Recipient = QStringList(extraRecipients, u"x@example.com"_s);
    });
    QTest::mouseClick(window->findChild<QToolButton *>(u"btnEmail"_s), Qt::LeftButton);

    QVERIFY(!QApplication::activeModalWidget()); // the dialog has closed, sent or not
    QCOMPARE(mailFolders(m_temp.path()), QStringList()); // and the attachment is gone
    const QList<MessageAnswers::Shown> boxes = MessageAnswers::shown();
    if (reason.isEmpty()) {
        QCOMPARE(boxes.size(), 0);
        const QJsonObject m = smtp.messages().first().toObject();
        QCOMPARE(m[u"subject"_s].toString(), u"A Report"_s);
        QVERIFY(m[u"text"_s].toString().startsWith(u"Here it is.\n\n\n"_s + QString(54, u'-')));
        const QJsonObject file = m[u"attachments"_s].toArray().first().toObject();
        const QByteArray data = QByteArray::fromBase64(file[u"data"_s].toString().toLatin1());
        if (attachAs == 0) {
            QCOMPARE(file[u"name"_s].toString(), u"Velbric Report.pdf"_s);
            QCOMPARE(file[u"type"_s].toString(), u"application/pdf"_s);
            QVERIFY(data.startsWith("%PDF-"));
        } else {
            QCOMPARE(file[u"name"_s].toString(), u"Velbric Report.QRP"_s);
            QVERIFY(!data.isEmpty());
        }
        QVERIFY(!library.unsent);
        return;
    }
    QCOMPARE(boxes.size(), 1);
    QCOMPARE(boxes.first().icon, QMessageBox::Information);
    // Plain words in the box; what the server or the component said goes to its details.
    QVERIFY2(boxes.first().text.startsWith(u"The report was not sent"_s),
        qPrintable(boxes.first().text));
    QVERIFY2(boxes.first().details.contains(reason), qPrintable(boxes.first().details));
    // Nothing typed is lost: the next send dialog of the report starts from the failed message.
    QVERIFY(library.unsent);
    QCOMPARE(library.unsent->recipient, u"ann@example.com"_s);
    QCOMPARE(library.unsent->text, u"Here it is."_s);
    QString shown;
    QTimer::singleShot(0, window.get(), [&] {
        if (auto *dialog = qobject_cast<TfrmSendMAPI *>(QApplication::activeModalWidget())) {
            shown = dialog->findChild<QPlainTextEdit *>(u"memText"_s)->toPlainText();
            dialog->reject();
        }
    });
    QTest::mouseClick(window->findChild<QToolButton *>(u"btnEmail"_s), Qt::LeftButton);
    QCOMPARE(shown, u"Here it is."_s);
    if (server == u"mailbox")
        QCOMPARE(smtp.messages().size(), 0);
}

void TestMailDelivery::xdgEmailWindowAnswers_data()
{
    QTest::addColumn<QByteArray>("hook"); // what the mail program does with the message
    QTest::addColumn<bool>("taken");
    QTest::newRow("taken after a while") << QByteArray("sleep 1\nexit 0\n") << true;
    QTest::newRow("no mail program")
        << QByteArray("i=0; while [ $i -lt 40 ]; do echo \"xdg-open: no method $i\" >&2; "
                      "i=$((i+1)); done\nsleep 1\nexit 3\n")
        << false;
}

void TestMailDelivery::xdgEmailWindowAnswers()
{
    QFETCH(QByteArray, hook);
    QFETCH(bool, taken);
    QTemporaryDir bin;
    QFile script(bin.filePath(u"xdg-email-hook.sh"_s));
    QVERIFY(script.open(QIODevice::WriteOnly) && script.write("#!/bin/sh\n" + hook) > 0);
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit() + ':' + path);
    MailLibrary library(std::make_unique<XdgEmailMail>());
    auto window = preview(true);
    // While the mail program has the message, timers still run and the dialog says what it does.
    QStringList seen;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<TfrmSendMAPI *>(QApplication::activeModalWidget());
        auto *status = dialog ? dialog->findChild<QLabel *>(u"lblStatus"_s) : nullptr;
        if (status && status->isVisible() && !seen.contains(status->text()))
            seen << status->text();
    });
    watch.start(50);
    answerSendDialog(u"ann@example.com"_s, u"Here it is."_s);
    QTest::mouseClick(window->findChild<QToolButton *>(u"btnEmail"_s), Qt::LeftButton);
    qputenv("PATH", path);
    QCOMPARE(seen, QStringList { u"Handing the report to your mail program\u2026"_s });
    const QList<MessageAnswers::Shown> boxes = MessageAnswers::shown();
    QCOMPARE(boxes.size(), taken ? 0 : 1);
    if (!taken) {
        QVERIFY2(!boxes.first().text.contains(u"xdg"_s), qPrintable(boxes.first().text));
        QVERIFY(boxes.first().text.contains(u"Set up a mail program"_s));
        QVERIFY(boxes.first().text.contains(u"Options"_s));
        QVERIFY(boxes.first().details.contains(u"xdg-open: no method 39"_s));
    }
}

void TestMailDelivery::encryption_data()
{
    QTest::addColumn<QString>("server"); // "smtps", "starttls" or "plain"
    QTest::addColumn<QString>("security");
    QTest::addColumn<QString>("host");
    QTest::addColumn<bool>("trusted"); // whether the user chose to trust the server's certificate
    QTest::addColumn<int>("result");
    QTest::newRow("TLS, trusted") << u"smtps"_s << u"TLS"_s << u"127.0.0.1"_s << true << 0;
    QTest::newRow("TLS, not trusted")
        << u"smtps"_s << u"TLS"_s << u"127.0.0.1"_s << false << MailResult::Failure;
    QTest::newRow("STARTTLS, trusted")
        << u"starttls"_s << u"STARTTLS"_s << u"localhost"_s << true << 0;
    QTest::newRow("STARTTLS, not trusted")
        << u"starttls"_s << u"STARTTLS"_s << u"127.0.0.1"_s << false << MailResult::Failure;
    QTest::newRow("STARTTLS never falls back to plain text")
        << u"plain"_s << u"STARTTLS"_s << u"127.0.0.1"_s << true << MailResult::Failure;
    // Refused before any connection is made; the ".invalid" name never resolves anywhere.
    QTest::newRow("password in the clear to another machine")
        << u"plain"_s << u"None"_s << u"mail.example.invalid"_s << true << MailResult::LoginFailure;
}

void TestMailDelivery::encryption()
{
    QFETCH(QString, server);
    QFETCH(QString, security);
    QFETCH(QString, host);
    QFETCH(bool, trusted);
    QFETCH(int, result);
    QTemporaryDir keys;
    QString why;
    QVERIFY2(LocalSmtpServer::makeCertificate(keys.path(), &why), qPrintable(why));
    LocalSmtpServer smtp;
    if (server != u"plain")
        smtp.setTls(
            keys.filePath(u"cert.pem"_s), keys.filePath(u"key.pem"_s), server == u"starttls");
    QVERIFY2(smtp.start(&why), qPrintable(why));
    MailSettings settings = serverAt(smtp.port());
    settings.host = host;
    settings.security = MailSettings::securityFromName(security);
    if (settings.security == MailSettings::Security::None) {
        settings.user = u"office"_s;
        settings.password = u"s3cret"_s;
    }
    if (trusted)
        settings.certificates = keys.filePath(u"cert.pem"_s);
    SmtpMail mail(settings);
    MailMessage message;
    message.subject = u"Encrypted"_s;
    message.recipients = { { 1, u"ann@example.com"_s, {} } };
    QCOMPARE(mail.sendMail(0, message, 0), result);
    QCOMPARE(smtp.messages().size(), result == 0 ? 1 : 0);
    if (result == 0)
        QVERIFY2(mail.serverAnswer().startsWith(u"250"_s), qPrintable(mail.serverAnswer()));
}

int runMailDeliveryTests(int argc, char **argv)
{
    TestMailDelivery test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_maildelivery.moc"

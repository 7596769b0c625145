#include "RecordingMail.h"
#include "controls/window/MessageAnswers.h"
#include "controls/window/TQVRegistry.h"
#include "documents/Email.h"
#include "documents/FormMAPISend.h"
#include "documents/mail/MailLibrary.h"
#include "documents/mail/MailPassword.h"
#include "documents/mail/MailSettings.h"
#include "documents/mail/MailSettingsPage.h"
#include "documents/mail/MimeMessage.h"
#include "documents/mail/SmtpMail.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <QTimer>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(MailRecipient)

namespace {

using Answer = std::pair<int, QString>;

bool sameRecipients(const QList<MailRecipient> &a, const QList<MailRecipient> &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].recipientClass != b[i].recipientClass || a[i].name != b[i].name
            || a[i].address != b[i].address)
            return false;
    }
    return true;
}

} // namespace

// The mail component over a mail system that records what it is asked: recipient resolution,
// limits, flags, sessions, the unavailable system, and the message headers a server receives.
class TestEmailComponent : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void resolution_data();
    void resolution();
    void limits_data();
    void limits();
    void messageAndFlags();
    void sessions();
    void unavailable();
    void addressBook();
    void addressBookInSendDialog();
    void settingsPerUser();
    void plainAddress_data();
    void plainAddress();
    void headersCannotBeInjected_data();
    void headersCannotBeInjected();
    void dateHeader_data();
    void dateHeader();
    void passwordFileChecked_data();
    void passwordFileChecked();
    void settingsPage_data();
    void settingsPage();
    void draftAndFooter_data();
    void draftAndFooter();
    void readmeExample();

private:
    RecordingMail *m_mail = nullptr;
    std::unique_ptr<MailLibrary> m_library;
    QTemporaryDir m_dir;
};

void TestEmailComponent::init()
{
    MessageAnswers::clear();
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
    auto mail = std::make_unique<RecordingMail>();
    m_mail = mail.get();
    m_library = std::make_unique<MailLibrary>(std::move(mail));
}

void TestEmailComponent::cleanup()
{
    m_library.reset();
}

void TestEmailComponent::resolution_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<Answer>("first");
    QTest::addColumn<Answer>("retry");
    QTest::addColumn<QList<MailRecipient>>("recipients");
    QTest::addColumn<QString>("entryAfter");
    QTest::addColumn<int>("calls");
    const Answer none { -1, {} };
    QTest::newRow("SMTP literal resolved without brackets is the address")
        << u"[SMTP:someone@example.com]"_s << Answer { 0, u"SMTP:someone@example.com"_s } << none
        << QList<MailRecipient> { { 1, u"SMTP:someone@example.com"_s,
               u"SMTP:someone@example.com"_s } }
        << u"[SMTP:someone@example.com]"_s << 1;
    QTest::newRow("a display name replaces the entry")
        << u"Maeve"_s << Answer { 0, u"Maeve Lockhart"_s } << none
        << QList<MailRecipient> { { 1, u"Maeve Lockhart"_s, QString() } } << u"Maeve Lockhart"_s
        << 1;
    QTest::newRow("brackets kept by the mail system: a name")
        << u"[x]"_s << Answer { 0, u"[x]"_s } << none
        << QList<MailRecipient> { { 1, u"[x]"_s, QString() } } << u"[x]"_s << 1;
    QTest::newRow("unknown twice is dropped")
        << u"nobody"_s << Answer { 14, {} } << Answer { 14, {} } << QList<MailRecipient>()
        << u"nobody"_s << 2;
    QTest::newRow("ambiguous, then picked with the dialog")
        << u"Sam"_s << Answer { 21, {} } << Answer { 0, u"Sam Okafor"_s }
        << QList<MailRecipient> { { 1, u"Sam Okafor"_s, QString() } } << u"Sam Okafor"_s << 2;
    QTest::newRow("another failure is not retried")
        << u"x"_s << Answer { 2, {} } << Answer { 0, u"x"_s } << QList<MailRecipient>() << u"x"_s
        << 1;
}

void TestEmailComponent::resolution()
{
    QFETCH(QString, entry);
    QFETCH(Answer, first);
    QFETCH(Answer, retry);
    QFETCH(QList<MailRecipient>, recipients);
    QFETCH(QString, entryAfter);
    QFETCH(int, calls);
    m_mail->answers.insert(entry, first);
    if (retry.first >= 0)
        m_mail->retryAnswers.insert(entry, retry);
    TEmail email;
    email.Recipient = { entry };
    QCOMPARE(email.SendMail(), 0);
    QVERIFY(sameRecipients(m_mail->sent.first().recipients, recipients));
    QCOMPARE(email.Recipient, QStringList { entryAfter });
    QCOMPARE(m_mail->resolves.size(), calls);
    if (calls == 2)
        QCOMPARE(m_mail->resolves.last().second, MailFlags::Dialog);
    // No recipient left: the mail program's compose window opens.
    QCOMPARE(m_mail->sendFlags.first(), recipients.isEmpty() ? MailFlags::Dialog : 0u);
}

void TestEmailComponent::limits_data()
{
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("cc");
    QTest::addColumn<int>("bcc");
    QTest::addColumn<int>("files");
    QTest::addColumn<bool>("missingFile");
    QTest::addColumn<int>("result");
    QTest::newRow("100000 recipients are accepted") << 50000 << 30000 << 20000 << 1 << false << 0;
    QTest::newRow("100001 recipients are too many") << 50000 << 30000 << 20001 << 1 << false << 10;
    QTest::newRow("100001 attachments are too many") << 1 << 0 << 0 << 100001 << false << 9;
    QTest::newRow("an attachment that is not there") << 1 << 0 << 0 << 1 << true << 11;
}

void TestEmailComponent::limits()
{
    QFETCH(int, to);
    QFETCH(int, cc);
    QFETCH(int, bcc);
    QFETCH(int, files);
    QFETCH(bool, missingFile);
    QFETCH(int, result);
    const QString file = m_dir.filePath(u"report.pdf"_s);
    QFile(file).open(QIODevice::WriteOnly);
    TEmail email;
    email.Recipient = QStringList(to, u"a@example.com"_s);
    email.CC = QStringList(cc, u"b@example.com"_s);
    email.Bcc = QStringList(bcc, u"c@example.com"_s);
    email.Attachment = QStringList(files, missingFile ? m_dir.filePath(u"gone.pdf"_s) : file);
    QCOMPARE(email.SendMail(), result);
    QCOMPARE(m_mail->sent.size(), result == 0 ? 1 : 0);
    if (result != 0)
        QVERIFY(!email.lastError().isEmpty());
    else
        QCOMPARE(m_mail->sent.first().recipients.size(), to + cc + bcc);
}

void TestEmailComponent::messageAndFlags()
{
    TEmail email;
    email.Recipient = { u"a@example.com"_s };
    email.CC = { u"b@example.com"_s };
    email.Subject = QString(300, u's');
    email.Text = u"short"_s;
    email.Acknowledge = true;
    email.ShowDialog = true;
    QCOMPARE(email.SendMail(), 0);
    email.SetLongText(u"a long text"_s);
    email.ShowDialog = false;
    QCOMPARE(email.SendMail(), 0);
    const MailMessage &first = m_mail->sent.at(0);
    QCOMPARE(first.subject.size(), 255);
    QCOMPARE(first.noteText, u"short"_s);
    QVERIFY(first.receiptRequested);
    QCOMPARE(first.recipients.at(1).recipientClass, 2);
    QCOMPARE(m_mail->sendFlags, (QList<unsigned> { MailFlags::Dialog, 0u }));
    QCOMPARE(m_mail->sent.at(1).noteText, u"a long text"_s);
}

void TestEmailComponent::sessions()
{
    {
        TEmail email;
        email.Recipient = { u"a@example.com"_s };
        QCOMPARE(email.SendMail(), 0); // logs on for the send and off after it
        QCOMPARE(m_mail->logons.size(), 1);
        QCOMPARE(m_mail->logoffs, 1);
        QCOMPARE(email.Logon(), 0);
        QCOMPARE(email.SendMail(), 0); // reuses the open session
        QCOMPARE(m_mail->logons.size(), 2);
        QCOMPARE(m_mail->logoffs, 1);
    }
    QCOMPARE(m_mail->logoffs, 2); // going, the component logs off its session

    m_mail->refuseLogon = true;
    m_mail->logons.clear();
    TEmail refused;
    QCOMPARE(refused.SendMail(), 3);
    // Asked once as set, once more letting the mail system ask the user.
    QCOMPARE(m_mail->logons, (QList<unsigned> { 0u, MailFlags::LogonUi }));
    QCOMPARE(m_mail->sent.size(), 2);
}

void TestEmailComponent::unavailable()
{
    MailLibrary none(nullptr);
    TEmail email(nullptr, &none);
    QVERIFY(!email.MAPIavail());
    for (auto operation :
        { &TEmail::Logon, &TEmail::Logoff, &TEmail::SendMail, &TEmail::AddressBook }) {
        try {
            (email.*operation)();
            QFAIL("no error raised");
        } catch (const EMAPIunavailable &error) {
            QCOMPARE(error.message(), u"MAPI services are not available on this system"_s);
        }
    }
}

void TestEmailComponent::addressBook()
{
    m_mail->book = { { 1, u"Ann"_s, {} }, { 3, u"Cy"_s, {} }, { 1, u"Bea"_s, {} },
        { 2, u"Dot"_s, {} } };
    TEmail email;
    email.Recipient = { u"old@example.com"_s };
    email.Bcc = { u"gone@example.com"_s };
    QCOMPARE(email.AddressBook(), 0);
    QCOMPARE(m_mail->addressGiven.size(), 2);
    QCOMPARE(email.Recipient, (QStringList { u"Ann"_s, u"Bea"_s }));
    QCOMPARE(email.CC, QStringList { u"Dot"_s });
    QCOMPARE(email.Bcc, QStringList { u"Cy"_s });
}

void TestEmailComponent::addressBookInSendDialog()
{
    m_mail->useAddressDialog = true;
    TfrmSendMAPI dialog(nullptr, m_library.get());
    dialog.show();
    QTimer::singleShot(0, &dialog, [] {
        QWidget *book = QApplication::activeModalWidget();
        QVERIFY(book && book->objectName() == u"dlgAddress"_s);
        book->findChild<QLineEdit *>(u"edtTo"_s)->setText(u"ann@example.com; bo@example.com"_s);
        book->findChild<QLineEdit *>(u"edtBcc"_s)->setText(u"cy@example.com"_s);
        qobject_cast<QDialog *>(book)->accept();
    });
    QTest::mouseClick(dialog.findChild<QPushButton *>(u"btnTo"_s), Qt::LeftButton);
    QCOMPARE(dialog.findChild<QLineEdit *>(u"edtRecipient"_s)->text(), u"ann@example.com"_s);
    const QString keep = qEnvironmentVariable("TESSORIN_DOCUMENT_PDF_DIR");
    if (!keep.isEmpty())
        QVERIFY(dialog.grab().save(QDir(keep).filePath(u"frmSendMAPI.png"_s)));
    QTest::mouseClick(dialog.findChild<QPushButton *>(u"btnSend"_s), Qt::LeftButton);
    QCOMPARE(MessageAnswers::shown().size(), 0);
    // The first choice goes twice: as the address book's entry and as the box's text.
    QVERIFY(sameRecipients(m_mail->sent.first().recipients,
        { { 1, u"ann@example.com"_s, {} }, { 1, u"bo@example.com"_s, {} },
            { 1, u"ann@example.com"_s, {} }, { 3, u"cy@example.com"_s, {} } }));
    QVERIFY(!dialog.isVisible());
}

void TestEmailComponent::settingsPerUser()
{
    QTemporaryDir store;
    const QString oldRoot = TQVRegistry::rootPath();
    TQVRegistry::setRootPath(store.path());
    {
        MailLibrary unset; // no server set: the mail program, when xdg-email is installed
        QVERIFY(!unset.isAvailable() || !dynamic_cast<SmtpMail *>(unset.system()));
    }
    MailSettings settings;
    settings.useServer = true;
    settings.host = u"smtp.example.com"_s;
    settings.port = 465;
    settings.security = MailSettings::Security::Tls;
    settings.user = u"office"_s;
    settings.password = u"s3cret é"_s;
    settings.from = u"office@example.com"_s;
    settings.save();
    const MailSettings loaded = MailSettings::load();
    const MailSettings chosen = [] {
        MailLibrary library;
        auto *smtp = dynamic_cast<SmtpMail *>(library.system());
        return smtp ? smtp->settings() : MailSettings();
    }();
    TQVRegistry::setRootPath(oldRoot);
    for (const MailSettings &s : { loaded, chosen }) {
        QCOMPARE(s.host, settings.host);
        QCOMPARE(s.port, 465);
        QVERIFY(s.security == MailSettings::Security::Tls);
        QCOMPARE(s.user, settings.user);
        QCOMPARE(s.password, settings.password);
        QCOMPARE(s.from, settings.from);
    }
    // The password is in a file of its own that only the user can read, not in the registry.
    const QFileDevice::Permissions mode = QFile::permissions(store.filePath(u"mail-password"_s));
    QCOMPARE(int(mode & 0x0077), 0);
    QFile registry(store.filePath(u"registry.ini"_s));
    QVERIFY(registry.open(QIODevice::ReadOnly));
    const QByteArray stored = registry.readAll();
    QVERIFY(stored.contains("smtp.example.com"));
    QVERIFY(!stored.contains("s3cret"));
}

void TestEmailComponent::plainAddress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("address");
    QTest::newRow("bare") << u"ann@example.com"_s << u"ann@example.com"_s;
    QTest::newRow("SMTP literal") << u"SMTP:ann@example.com"_s << u"ann@example.com"_s;
    QTest::newRow("name and address") << u"Ann Lee <ann@example.com>"_s << u"ann@example.com"_s;
    QTest::newRow("line break and a header")
        << u"ann@example.com\r\nBcc: eve@example.com"_s << QString();
    QTest::newRow("an option in disguise") << u"--attach=/etc/passwd@x"_s << QString();
    QTest::newRow("a blank inside") << u"ann lee@example.com"_s << QString();
    QTest::newRow("two addresses") << u"a@example.com,b@example.com"_s << QString();
    QTest::newRow("no domain") << u"ann@"_s << QString();
}

void TestEmailComponent::plainAddress()
{
    QFETCH(QString, text);
    QFETCH(QString, address);
    QCOMPARE(MailAddress::plainAddress(text), address);
}

void TestEmailComponent::headersCannotBeInjected_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QByteArray>("subjectHeader");
    QTest::newRow("CR LF") << u"Report\r\nBcc: eve@example.com"_s
                           << QByteArray("Subject: Report  Bcc: eve@example.com");
    QTest::newRow("LF alone") << u"Report\nX-Evil: 1"_s << QByteArray("Subject: Report X-Evil: 1");
    QTest::newRow("not ASCII") << u"Angebot f\u00fcr M\u00fcller \u20ac"_s
                               << QByteArray("Subject: =?UTF-8?B?")
            + u"Angebot f\u00fcr M\u00fcller \u20ac"_s.toUtf8().toBase64() + "?=";
}

void TestEmailComponent::headersCannotBeInjected()
{
    QFETCH(QString, subject);
    QFETCH(QByteArray, subjectHeader);
    MimeMessage message;
    message.from = u"office@example.com"_s;
    message.to = { u"ann@example.com"_s };
    message.subject = subject;
    message.text = u"Hello"_s;
    const QByteArray bytes = message.toBytes();
    const QByteArray headers = bytes.left(bytes.indexOf("\r\n\r\n") + 2);
    QVERIFY(headers.endsWith("\r\n"));
    const QList<QByteArray> lines = headers.chopped(2).split('\n');
    QVERIFY(lines.contains(subjectHeader + '\r') || lines.last() == subjectHeader);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = i + 1 < lines.size() ? lines.at(i).chopped(1) : lines.at(i);
        QVERIFY2(!line.startsWith("Bcc") && !line.startsWith("X-Evil"), line.constData());
        QVERIFY2(!line.contains('\r'), line.constData()); // every break is a header's own CR LF
    }
}

void TestEmailComponent::dateHeader_data()
{
    QTest::addColumn<int>("offset"); // seconds ahead of UTC
    QTest::addColumn<QString>("zone");
    QTest::newRow("UTC") << 0 << u"+0000"_s;
    QTest::newRow("west") << -5 * 3600 << u"-0500"_s;
    QTest::newRow("east, half hour") << 9 * 3600 + 1800 << u"+0930"_s;
}

void TestEmailComponent::dateHeader()
{
    QFETCH(int, offset);
    QFETCH(QString, zone);
    MimeMessage message;
    message.from = u"office@example.com"_s;
    message.date = QDateTime(QDate(2026, 12, 7), QTime(20, 26, 11), QTimeZone(offset));
    const QString bytes = QString::fromLatin1(message.toBytes());
    const QRegularExpression date(u"^Date: (.*)\r$"_s, QRegularExpression::MultilineOption);
    QCOMPARE(date.match(bytes).captured(1), u"Mon, 07 Dec 2026 20:26:11 "_s + zone);
}

void TestEmailComponent::passwordFileChecked_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("link");
    QTest::addColumn<bool>("used");
    QTest::newRow("the user's alone") << 0600 << false << true;
    QTest::newRow("others may read it") << 0644 << false << false;
    QTest::newRow("the group may change it") << 0620 << false << false;
    QTest::newRow("a link to a private file") << 0600 << true << false;
}

void TestEmailComponent::passwordFileChecked()
{
    QFETCH(int, mode);
    QFETCH(bool, link);
    QFETCH(bool, used);
    QTemporaryDir store;
    const QString oldRoot = TQVRegistry::rootPath();
    TQVRegistry::setRootPath(store.path());
    QVERIFY(!MailPassword::secretStoreRunning()); // the tests run with no session bus
    MailSettings named;
    named.useServer = true;
    named.host = u"127.0.0.1"_s;
    named.save();
    const QString target = link ? store.filePath(u"elsewhere"_s) : MailPassword::file();
    QFile file(target);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("s3cret\n") > 0);
    file.close();
    QVERIFY(::chmod(QFile::encodeName(target).constData(), mode_t(mode)) == 0);
    if (link)
        QVERIFY(QFile::link(target, MailPassword::file()));
    const MailSettings settings = MailSettings::load();
    TQVRegistry::setRootPath(oldRoot);
    QCOMPARE(settings.password, used ? u"s3cret"_s : QString());
    QCOMPARE(settings.passwordProblem.isEmpty(), used);
    // A refused password stops the send with the reason, before any connection.
    SmtpMail server(settings);
    MailMessage message;
    message.recipients = { { 1, u"ann@example.com"_s, {} } };
    if (!used) {
        QCOMPARE(server.sendMail(0, message, 0), MailResult::LoginFailure);
        QCOMPARE(server.lastError(), settings.passwordProblem);
    }
}

void TestEmailComponent::settingsPage_data()
{
    QTest::addColumn<bool>("server");
    QTest::addColumn<QString>("security");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("warned");
    QTest::newRow("password in the clear to a server")
        << true << u"None"_s << u"smtp.example.com"_s << u"pw"_s << true;
    QTest::newRow("password in the clear to this computer")
        << true << u"None"_s << u"127.0.0.1"_s << u"pw"_s << false;
    QTest::newRow("password over STARTTLS")
        << true << u"STARTTLS"_s << u"smtp.example.com"_s << u"pw"_s << false;
    QTest::newRow("the mail program")
        << false << u"None"_s << u"smtp.example.com"_s << u"pw"_s << false;
}

void TestEmailComponent::settingsPage()
{
    QFETCH(bool, server);
    QFETCH(QString, security);
    QFETCH(QString, host);
    QFETCH(QString, password);
    QFETCH(bool, warned);
    QTemporaryDir store;
    const QString oldRoot = TQVRegistry::rootPath();
    TQVRegistry::setRootPath(store.path());
    MailLibrary library; // chosen from the settings, as at start-up
    MailSettingsPage page;
    page.show();
    page.findChild<QRadioButton *>(server ? u"rbMailServer"_s : u"rbMailProgram"_s)->click();
    page.findChild<QComboBox *>(u"cboSecurity"_s)->setCurrentText(security);
    page.findChild<QLineEdit *>(u"edtHost"_s)->setText(host);
    page.findChild<QLineEdit *>(u"edtPassword"_s)->setText(password);
    page.findChild<QLineEdit *>(u"edtFrom"_s)->setText(u"office@example.com"_s);
    const bool shownWarning = page.findChild<QLabel *>(u"lblPlainWarning"_s)->isVisible();
    page.store();
    auto *smtp = dynamic_cast<SmtpMail *>(library.system());
    const MailSettings stored = MailSettings::load();
    TQVRegistry::setRootPath(oldRoot);
    QCOMPARE(shownWarning, warned);
    // In effect at once, without a restart.
    QCOMPARE(bool(smtp), server);
    if (smtp) {
        QCOMPARE(smtp->settings().host, host);
        QCOMPARE(MailSettings::securityName(smtp->settings().security), security);
        QCOMPARE(smtp->settings().password, password);
    }
    QCOMPARE(stored.useServer, server);
    QCOMPARE(stored.password, password);
}

void TestEmailComponent::draftAndFooter_data()
{
    QTest::addColumn<QString>("secondReport");
    QTest::addColumn<bool>("restored");
    QTest::newRow("the same report again") << u"Quote Q-500"_s << true;
    QTest::newRow("another report") << u"Quote Q-501"_s << false;
}

void TestEmailComponent::draftAndFooter()
{
    QFETCH(QString, secondReport);
    QFETCH(bool, restored);
    const auto send = [this](const QString &report, const QString &typed, QString *shown) {
        ReportMailing mailing;
        mailing.report = report;
        mailing.recipient = u"ann@example.com"_s;
        TfrmSendMAPI dialog(nullptr, m_library.get());
        QTimer::singleShot(0, &dialog, [&] {
            auto *text = dialog.findChild<QPlainTextEdit *>(u"memText"_s);
            if (shown)
                *shown = text->toPlainText();
            if (!typed.isNull())
                text->setPlainText(typed);
            QTest::mouseClick(dialog.findChild<QPushButton *>(u"btnSend"_s), Qt::LeftButton);
        });
        dialog.SendReport(mailing, nullptr);
    };
    m_mail->sendResult = MailResult::Failure;
    send(u"Quote Q-500"_s, u"Typed before the failure"_s, nullptr);
    m_mail->sendResult = MailResult::Success;
    QString shown;
    send(secondReport, QString(), &shown);
    QCOMPARE(shown, restored ? u"Typed before the failure"_s : QString());
    // A message with no text of its own still has the two blank lines before the footer.
    const QString footer = TfrmSendMAPI::footerLines().join(u'\n');
    QCOMPARE(
        m_mail->sent.last().noteText, restored ? u"Typed before the failure\n"_s + footer : footer);
    QVERIFY(footer.startsWith(u"\n\n"_s + QString(54, u'-')));
}

void TestEmailComponent::readmeExample()
{
    // The hand-edit example of the README, added to a store the program has already written.
    QFile readme(QStringLiteral(TEST_SOURCE_DIR "/../../README.md"));
    QVERIFY(readme.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(readme.readAll());
    const QString section = text.mid(text.indexOf(u"\n## E-mail\n"_s));
    const QRegularExpression block(
        u"```ini\n(.*?)```"_s, QRegularExpression::DotMatchesEverythingOption);
    const QString example = block.match(section.left(section.indexOf(u"\n## "_s, 1))).captured(1);
    if (example.isEmpty())
        QSKIP("The README keeps no hand-edit example");
    QTemporaryDir store;
    const QString oldRoot = TQVRegistry::rootPath();
    TQVRegistry::setRootPath(store.path());
    {
        TQVRegistry registry;
        QVERIFY(registry.openKey(u"\\Software\\Velbric\\Tessorin"_s, true));
        registry.writeInteger(u"Left"_s, 10);
    }
    QFile ini(TQVRegistry::defaultStoreFile());
    QVERIFY(ini.open(QIODevice::Append));
    ini.write('\n' + example.toUtf8());
    ini.close();
    const MailSettings settings = MailSettings::load();
    MailLibrary library;
    auto *smtp = dynamic_cast<SmtpMail *>(library.system());
    TQVRegistry::setRootPath(oldRoot);
    QVERIFY(settings.isSet());
    QCOMPARE(settings.host, u"smtp.example.com"_s);
    QCOMPARE(settings.port, 587);
    QVERIFY(settings.security == MailSettings::Security::StartTls);
    QCOMPARE(settings.user, u"office@example.com"_s);
    QCOMPARE(settings.from, u"office@example.com"_s);
    QVERIFY(smtp);
}

int runEmailComponentTests(int argc, char **argv)
{
    TestEmailComponent test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_email.moc"

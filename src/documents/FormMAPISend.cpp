#include "documents/FormMAPISend.h"

#include "controls/window/CommandGuard.h"
#include "controls/window/Messages.h"
#include "documents/Email.h"
#include "documents/mail/MailLibrary.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

const QString webAddress = u"http://www.velbric.example/tessorin"_s;

} // namespace

TfrmSendMAPI::TfrmSendMAPI(QWidget *parent, MailLibrary *library)
    : QDialog(parent)
    , TQVForm(this)
    , m_library(library ? library : MailLibrary::current())
    , m_email(new TEmail(this, m_library))
    , m_recipient(new QLineEdit(this))
    , m_subject(new QLineEdit(this))
    , m_text(new QPlainTextEdit(this))
    , m_attachAs(new QComboBox(this))
    , m_status(new QLabel(this))
{
    setObjectName(u"frmSendMAPI"_s);
    setWindowTitle(u"Send Quote"_s);
    m_email->setObjectName(u"Email"_s);
    m_email->UseDefProfile = true;

    auto *to = new QPushButton(u"T&o..."_s, this);
    to->setObjectName(u"btnTo"_s);
    to->setToolTip(u"Open MAPI recipient dialog"_s);
    to->setAutoDefault(false);
    m_recipient->setObjectName(u"edtRecipient"_s);
    auto *subjectLabel = new QLabel(u"&Subject:"_s, this);
    subjectLabel->setBuddy(m_subject);
    m_subject->setObjectName(u"edtSubject"_s);
    auto *textLabel = new QLabel(u"Message &Text:"_s, this);
    textLabel->setBuddy(m_text);
    m_text->setObjectName(u"memText"_s);
    m_text->setFont(QFont(u"Courier New"_s, 10));
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto *attachLabel = new QLabel(u"&Attach as:"_s, this);
    attachLabel->setBuddy(m_attachAs);
    m_attachAs->setObjectName(u"cboAttachAs"_s);
    m_attachAs->addItems({ u"PDF document (*.pdf)"_s, u"Report file (*.qrp)"_s });
    m_attachAs->setToolTip(
        u"A PDF opens anywhere; a report file opens in the preview of this program"_s);
    auto *send = new QPushButton(u"&Send"_s, this);
    send->setObjectName(u"btnSend"_s);
    send->setDefault(true);
    auto *cancel = new QPushButton(u"&Cancel"_s, this);
    cancel->setObjectName(u"btnCancel"_s);
    cancel->setAutoDefault(false);
    connect(to, &QPushButton::clicked, this, &TfrmSendMAPI::btnToClick);
    connect(send, &QPushButton::clicked, this, &TfrmSendMAPI::btnSendClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *grid = new QGridLayout(this);
    grid->addWidget(to, 0, 0);
    grid->addWidget(m_recipient, 0, 1, 1, 3);
    grid->addWidget(subjectLabel, 1, 0, 1, 4);
    grid->addWidget(m_subject, 2, 0, 1, 4);
    grid->addWidget(textLabel, 3, 0, 1, 4);
    grid->addWidget(m_text, 4, 0, 1, 4);
    m_status->setObjectName(u"lblStatus"_s);
    m_status->hide();
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(attachLabel);
    buttons->addWidget(m_attachAs);
    buttons->addStretch(1);
    buttons->addWidget(send);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 5, 0, 1, 4);
    grid->addWidget(m_status, 6, 0, 1, 4);
    resize(520, 380);
    setFixedSize(size());
    formLoaded();

    runGuarded(this, [&] {
        if (m_email->Logon() != MailResult::Success)
            ShowErrorBox(u"MAPI Logon failed"_s, this);
    });
}

TfrmSendMAPI::~TfrmSendMAPI()
{
    runGuarded(this, [&] {
        if (m_email->Logoff() != MailResult::Success)
            ShowErrorBox(u"MAPI Logoff failed"_s, this);
    });
}

QStringList TfrmSendMAPI::footerLines()
{
    const QString rule(54, u'-');
    return { QString(), QString(), rule, u"Visit The Quorvane Web Page At "_s + webAddress, rule };
}

QString TfrmSendMAPI::messageText(const QString &typed)
{
    // An empty message is no line of its own: the footer's two blank lines stay two.
    const QString footer = footerLines().join(u'\n');
    return typed.isEmpty() ? footer : typed + u'\n' + footer;
}

QString TfrmSendMAPI::sendFailedText(int result, const MailSystem *system)
{
    switch (result) {
    case MailResult::TooManyRecipients:
    case MailResult::TooManyFiles:
    case MailResult::AttachmentNotFound:
        return u"The report was not sent: the message could not be put together."_s;
    default:
        break;
    }
    if (!system || !system->sendsItself())
        return u"The report was not sent: no mail program took it. Set up a mail program on this "
               "computer, or a mail server under Options, E-mail."_s;
    return u"The report was not sent: %1 did not take it. Check the mail server under Options, "
           "E-mail, or try again later."_s.arg(system->description());
}

int TfrmSendMAPI::SendReport(const ReportMailing &mailing, ReportAttachment *attachment)
{
    m_report = mailing.report;
    if (m_library && m_library->unsent && m_library->unsent->report == m_report) {
        // The message of a send that failed comes back, so nothing typed is lost.
        m_recipient->setText(m_library->unsent->recipient);
        m_subject->setText(m_library->unsent->subject);
        m_text->setPlainText(m_library->unsent->text);
    } else {
        m_recipient->setText(mailing.recipient);
        m_subject->setText(mailing.subject);
    }
    if (m_library)
        m_library->unsent.reset(); // another report starts afresh
    m_attachment = attachment;
    return exec();
}

void TfrmSendMAPI::setSending(const QString &status)
{
    m_sending = !status.isEmpty();
    m_status->setText(status);
    m_status->setVisible(m_sending);
    for (QWidget *control :
        { static_cast<QWidget *>(m_recipient), static_cast<QWidget *>(m_subject),
            static_cast<QWidget *>(m_text), static_cast<QWidget *>(m_attachAs) })
        control->setEnabled(!m_sending);
    for (QPushButton *button : findChildren<QPushButton *>())
        button->setEnabled(!m_sending);
}

void TfrmSendMAPI::reject()
{
    if (!m_sending) // the mail system has the message: the dialog closes when it is done
        QDialog::reject();
}

ReportAttachment::Format TfrmSendMAPI::attachmentFormat() const
{
    return m_attachAs->currentIndex() == 1 ? ReportAttachment::Format::ReportFile
                                           : ReportAttachment::Format::Pdf;
}

void TfrmSendMAPI::btnToClick()
{
    runGuarded(this, [&] {
        m_email->AddressBook();
        if (!m_email->Recipient.isEmpty())
            m_recipient->setText(m_email->Recipient.first());
    });
}

void TfrmSendMAPI::btnSendClick()
{
    runGuarded(this, [&] {
        WaitCursor wait;
        const MailLibrary::Draft draft { m_report, m_recipient->text(), m_subject->text(),
            m_text->toPlainText() };
        m_email->Recipient << m_recipient->text();
        QString writeError;
        if (m_attachment) {
            const ReportAttachment::Format format = attachmentFormat();
            try {
                m_email->Attachment << m_attachment->write(format);
            } catch (const Exception &error) {
                // Sent without it, the mail component reports the attachment missing.
                m_email->Attachment << m_attachment->path(format);
                writeError = error.message();
            }
        }
        m_text->setPlainText(messageText(m_text->toPlainText()));
        m_email->SetLongText(m_text->toPlainText());
        m_email->Subject = m_subject->text().left(TEmail::MaxText);

        MailSystem *system = m_library ? m_library->system() : nullptr;
        int result = MailResult::Failure;
        {
            const struct SendingEnds
            {
                TfrmSendMAPI *dialog;
                ~SendingEnds() { dialog->setSending({}); }
            } sendingEnds { this };
            if (system)
                setSending(u"Handing the report to %1\u2026"_s.arg(system->description()));
            result = m_email->SendMail();
        }
        if (result == MailResult::Success) {
            if (m_attachment && m_library && m_library->system()->readsAttachmentsLater())
                m_library->keepUntilExit(m_attachment->releaseFolder());
        } else {
            if (m_library)
                m_library->unsent = draft;
            const QString why = writeError.isEmpty() ? m_email->lastError() : writeError;
            ShowInfoMessage(sendFailedText(result, system), why, this);
        }
        accept();
    });
}

void emailReport(
    QWidget *parent, const RenderedReport &pages, bool finished, const ReportMailing &mailing)
{
    runGuarded(parent, [&] {
        std::unique_ptr<ReportAttachment> attachment;
        {
            WaitCursor wait;
            attachment =
                std::make_unique<ReportAttachment>(pages, finished, mailing.attachmentName);
        }
        TfrmSendMAPI dialog(parent);
        dialog.SendReport(mailing, attachment.get());
    });
}

#pragma once

#include "controls/window/TQVFormSrc.h"
#include "documents/ReportAttachment.h"
#include "documents/ReportMailing.h"

#include <QDialog>

class MailLibrary;
class MailSystem;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class TEmail;

// The send dialog: recipient, subject and message text for a report going out by e-mail, and
// whether it goes as a PDF or as a report file. It logs on to the mail system when it is made
// and off when it goes; a send, good or failed, closes it. While the mail system takes the
// message the dialog says so and keeps answering, but takes no second send.
class TfrmSendMAPI : public QDialog, public TQVForm
{
    Q_OBJECT

public:
    // library: the run's mail library; null takes the current one.
    explicit TfrmSendMAPI(QWidget *parent = nullptr, MailLibrary *library = nullptr);
    ~TfrmSendMAPI() override;

    TEmail &email() { return *m_email; }

    // Fills the recipient and subject boxes from mailing (or from the draft of a failed send of
    // the same report), remembers the report to attach and shows the dialog modally.
    int SendReport(const ReportMailing &mailing, ReportAttachment *attachment);

    // The lines a message ends with, and the message: the typed text, then those lines.
    static QStringList footerLines();
    static QString messageText(const QString &typed);
    // What the person sending is told when the mail system did not take the message.
    static QString sendFailedText(int result, const MailSystem *system);

    void btnToClick();
    void btnSendClick();

    void reject() override;

private:
    ReportAttachment::Format attachmentFormat() const;
    void setSending(const QString &status);

    MailLibrary *m_library;
    TEmail *m_email;
    ReportAttachment *m_attachment = nullptr;
    QString m_report;
    bool m_sending = false;
    QLineEdit *m_recipient;
    QLineEdit *m_subject;
    QPlainTextEdit *m_text;
    QComboBox *m_attachAs;
    QLabel *m_status;
};

// The preview's "Send Report Via Email": writes the pages into a private folder as the send
// dialog's attachment, named as mailing says, opens the dialog on mailing, and removes the
// folder when the dialog has closed (or, when the user's mail program still has to read the
// file, when the program ends). Errors reach the standard error box.
void emailReport(
    QWidget *parent, const RenderedReport &pages, bool finished, const ReportMailing &mailing = {});

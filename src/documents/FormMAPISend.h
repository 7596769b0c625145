#pragma once

#include "controls/window/TQVFormSrc.h"
#include "documents/ReportAttachment.h"

#include <QDialog>

class MailLibrary;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class TEmail;

// The send dialog: recipient, subject and message text for a report going out by e-mail, and
// whether it goes as a PDF or as a report file. It logs on to the mail system when it is made
// and off when it goes; a send, good or failed, closes it.
class TfrmSendMAPI : public QDialog, public TQVForm
{
    Q_OBJECT

public:
    // library: the run's mail library; null takes the current one.
    explicit TfrmSendMAPI(QWidget *parent = nullptr, MailLibrary *library = nullptr);
    ~TfrmSendMAPI() override;

    TEmail &email() { return *m_email; }

    // Puts subject into the subject box, remembers the report to attach and shows the dialog
    // modally.
    int SendReport(const QString &subject, ReportAttachment *attachment);

    // The lines a message ends with.
    static QStringList footerLines();
    static QString sendFailedText()
    {
        return QStringLiteral("MAPI Sendmail Failed. You Need A MAPI Based E-Mail Package To "
                              "Send Quotes.");
    }

    void btnToClick();
    void btnSendClick();

private:
    ReportAttachment::Format attachmentFormat() const;

    MailLibrary *m_library;
    TEmail *m_email;
    ReportAttachment *m_attachment = nullptr;
    QLineEdit *m_recipient;
    QLineEdit *m_subject;
    QPlainTextEdit *m_text;
    QComboBox *m_attachAs;
};

// The preview's "Send Report Via Email": writes the pages into a private folder as the send
// dialog's attachment, opens the dialog with the subject "A Report", and removes the folder when
// the dialog has closed (or, when the user's mail program still has to read the file, when the
// program ends). Errors reach the standard error box.
void emailReport(QWidget *parent, const RenderedReport &pages, bool finished);

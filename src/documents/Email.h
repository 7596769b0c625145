#pragma once

#include "documents/mail/MailSystem.h"
#include "documents/Errors.h"

#include <QObject>
#include <QStringList>

#include <optional>

class MailLibrary;

// The mail component: a message with recipients, subject, text and attachments, handed to the
// mail system of the run. Logon, logoff, send and the address book return the mail interface's
// result codes (0 for success) and raise EMAPIunavailable when there is no mail system.
class TEmail : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxEntries = 100000;
    static constexpr int MaxText = 255;

    // library: the run's mail library; null when the program has none.
    explicit TEmail(QObject *parent = nullptr, MailLibrary *library = nullptr);
    ~TEmail() override;

    QStringList Recipient;
    QStringList CC;
    QStringList Bcc;
    QStringList Attachment;
    QString Subject; // at most MaxText characters are sent
    QString Text; // at most MaxText characters are sent
    QString Profile;
    QString Password;
    bool UseDefProfile = false;
    bool DownLoadFirst = false;
    bool ShowDialog = false;
    bool Acknowledge = false;
    bool UnreadOnly = false; // no effect on sending

    bool MAPIavail() const;
    quintptr session() const { return m_session; }

    int Logon();
    int Logoff();
    int SendMail();
    int AddressBook();
    void SetLongText(const QString &text) { m_longText = text; }

    // Why the last failed operation failed, for the person sending; empty when unknown.
    QString lastError() const { return m_lastError; }

private:
    MailSystem &system() const;
    // Resolves one list into recipients of recipientClass, as the mail system knows them.
    void resolve(QStringList &entries, int recipientClass, QList<MailRecipient> *recipients);
    qsizetype recipientCount() const { return Recipient.size() + CC.size() + Bcc.size(); }
    int failed(int code, const QString &why);

    MailLibrary *m_library;
    quintptr m_session = 0;
    std::optional<QString> m_longText;
    QString m_lastError;
};

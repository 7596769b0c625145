#include "documents/Email.h"

#include "documents/mail/MailLibrary.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

EMAPIunavailable::EMAPIunavailable()
    : Exception(u"MAPI services are not available on this system"_s)
{ }

TEmail::TEmail(QObject *parent, MailLibrary *library)
    : QObject(parent)
    , m_library(library ? library : MailLibrary::current())
{ }

TEmail::~TEmail()
{
    if (m_session != 0 && MAPIavail())
        m_library->system()->logoff(m_session);
}

bool TEmail::MAPIavail() const
{
    return m_library && m_library->isAvailable();
}

MailSystem &TEmail::system() const
{
    if (!MAPIavail())
        throw EMAPIunavailable();
    return *m_library->system();
}

int TEmail::failed(int code, const QString &why)
{
    m_lastError = why;
    return code;
}

int TEmail::Logon()
{
    MailSystem &mail = system();
    if (m_session != 0)
        return MailResult::Success;
    if (UseDefProfile)
        Profile = mail.defaultProfile();
    const unsigned flags = DownLoadFirst ? MailFlags::ForceDownload : 0;
    int result = mail.logon(Profile.left(MaxText), Password.left(MaxText), flags, &m_session);
    if (result != MailResult::Success)
        result = mail.logon({}, {}, flags | MailFlags::LogonUi, &m_session);
    if (result != MailResult::Success) {
        m_session = 0;
        return failed(result, mail.lastError());
    }
    return result;
}

int TEmail::Logoff()
{
    MailSystem &mail = system();
    if (m_session == 0)
        return MailResult::Success;
    const int result = mail.logoff(m_session);
    m_session = 0;
    return result;
}

void TEmail::resolve(QStringList &entries, int recipientClass, QList<MailRecipient> *recipients)
{
    MailSystem &mail = system();
    for (QString &entry : entries) {
        if (entry.isEmpty())
            continue;
        const QString name = entry.left(MaxText);
        MailRecipient resolved;
        int result = mail.resolveName(m_session, name, 0, &resolved);
        if (result == MailResult::AmbiguousRecipient || result == MailResult::UnknownRecipient)
            result = mail.resolveName(m_session, name, MailFlags::Dialog, &resolved);
        if (result != MailResult::Success)
            continue; // dropped: the message goes without it
        if (name.contains(u'[') && name.contains(u']') && !resolved.name.contains(u'[')
            && !resolved.name.contains(u']')) {
            // "[SMTP:address]" passes through as a literal address.
            QString literal = name;
            literal.remove(literal.indexOf(u'['), 1);
            literal.remove(literal.indexOf(u']'), 1);
            recipients->append({ recipientClass, literal, literal });
        } else {
            entry = resolved.name;
            recipients->append({ recipientClass, resolved.name, QString() });
        }
    }
}

int TEmail::SendMail()
{
    MailSystem &mail = system();
    m_lastError.clear();
    if (recipientCount() > MaxEntries)
        return failed(MailResult::TooManyRecipients,
            u"A message can have at most %1 recipients."_s.arg(MaxEntries));
    if (Attachment.size() > MaxEntries)
        return failed(MailResult::TooManyFiles,
            u"A message can have at most %1 attachments."_s.arg(MaxEntries));
    const bool loggedOn = m_session == 0;
    if (loggedOn && Logon() != MailResult::Success)
        return failed(MailResult::LoginFailure, m_lastError);
    struct LogoffAtEnd
    {
        TEmail *email;
        bool active;
        ~LogoffAtEnd()
        {
            if (active && email->m_session != 0) {
                email->m_library->system()->logoff(email->m_session);
                email->m_session = 0;
            }
        }
    } logoff { this, loggedOn };

    MailMessage message;
    message.subject = Subject.left(MaxText);
    message.noteText = m_longText ? *m_longText : Text.left(MaxText);
    message.receiptRequested = Acknowledge;
    resolve(Recipient, 1, &message.recipients);
    resolve(CC, 2, &message.recipients);
    resolve(Bcc, 3, &message.recipients);
    unsigned flags = 0;
    if (message.recipients.isEmpty() || ShowDialog)
        flags = MailFlags::Dialog;

    for (const QString &path : std::as_const(Attachment)) {
        if (!QFileInfo(path).isFile())
            return failed(
                MailResult::AttachmentNotFound, u"The attachment %1 was not found."_s.arg(path));
        message.attachmentPaths << path;
    }
    const int result = mail.sendMail(m_session, message, flags);
    if (result != MailResult::Success)
        return failed(result, mail.lastError());
    return result;
}

int TEmail::AddressBook()
{
    MailSystem &mail = system();
    m_lastError.clear();
    if (recipientCount() > MaxEntries)
        return failed(MailResult::TooManyRecipients,
            u"A message can have at most %1 recipients."_s.arg(MaxEntries));
    const bool loggedOn = m_session == 0;
    if (loggedOn && Logon() != MailResult::Success)
        return failed(MailResult::LoginFailure, m_lastError);
    QList<MailRecipient> current;
    resolve(Recipient, 1, &current);
    resolve(CC, 2, &current);
    resolve(Bcc, 3, &current);
    QList<MailRecipient> chosen;
    const int result = mail.address(m_session, current, &chosen);
    if (result == MailResult::Success) {
        Recipient.clear();
        CC.clear();
        Bcc.clear();
        for (const MailRecipient &recipient : std::as_const(chosen)) {
            QStringList &list = recipient.recipientClass == 2
                ? CC
                : (recipient.recipientClass == 3 ? Bcc : Recipient);
            list << recipient.name;
        }
    } else {
        m_lastError = mail.lastError();
    }
    if (loggedOn)
        Logoff();
    return result;
}

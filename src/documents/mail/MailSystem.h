#pragma once

#include <QList>
#include <QString>

#include <memory>

// Result codes of the mail interface, with the values the platform's mail interface gives them.
namespace MailResult {
constexpr int Success = 0;
constexpr int UserAbort = 1;
constexpr int Failure = 2;
constexpr int LoginFailure = 3;
constexpr int TooManyFiles = 9;
constexpr int TooManyRecipients = 10;
constexpr int AttachmentNotFound = 11;
constexpr int UnknownRecipient = 14;
constexpr int AmbiguousRecipient = 21;
constexpr int NotSupported = 26;
} // namespace MailResult

// Flags of the mail interface.
namespace MailFlags {
constexpr unsigned LogonUi = 1;
constexpr unsigned ReceiptRequested = 2;
constexpr unsigned Dialog = 8;
constexpr unsigned ForceDownload = 0x1000;
} // namespace MailFlags

// One recipient of a message: class 1 To, 2 Cc, 3 Bcc; a name, and an address when the mail
// system gave one ("SMTP:someone@example.com" or a bare address).
struct MailRecipient
{
    int recipientClass = 1;
    QString name;
    QString address;
};

struct MailMessage
{
    QString subject;
    QString noteText;
    bool receiptRequested = false;
    QList<MailRecipient> recipients;
    QStringList attachmentPaths;
};

// The mail system the mail component talks to: the user's mail program or a mail server. Every
// call blocks until the mail system has answered.
class MailSystem
{
public:
    virtual ~MailSystem() = default;

    // A short name for messages ("your mail program", "the mail server").
    virtual QString description() const = 0;
    // The profile a logon uses when the component asks for the default one.
    virtual QString defaultProfile() const { return {}; }

    virtual int logon(
        const QString &profile, const QString &password, unsigned flags, quintptr *session);
    virtual int logoff(quintptr session);
    // Resolves a typed entry to a display name. The default accepts an address, "Name <address>"
    // and the literal "[SMTP:address]" (resolved without its brackets); anything else is unknown.
    virtual int resolveName(
        quintptr session, const QString &name, unsigned flags, MailRecipient *resolved);
    // The address book: by default a dialog of To, Cc and Bcc lines; UserAbort when cancelled.
    virtual int address(
        quintptr session, const QList<MailRecipient> &current, QList<MailRecipient> *chosen);
    virtual int sendMail(quintptr session, const MailMessage &message, unsigned flags) = 0;

    // Whether this system delivers the message itself (a mail server) rather than handing it to
    // a program where the user sends it.
    virtual bool sendsItself() const { return false; }
    // Whether the attachments of the last successful send must stay on disk after sendMail
    // returns, because the mail program reads them later.
    virtual bool readsAttachmentsLater() const { return false; }
    // Why the last call failed, for the person sending; empty when nothing is known.
    QString lastError() const { return m_lastError; }

protected:
    int fail(int code, const QString &why)
    {
        m_lastError = why;
        return code;
    }
    void clearError() { m_lastError.clear(); }

private:
    QString m_lastError;
};

// Addresses and header text as the mail systems accept them.
namespace MailAddress {
// The bare address of a recipient: its address, else its name; "SMTP:" and "Name <...>" are
// taken off. Empty when that is not a plain, safe address (no blanks, controls, quotes, angle
// brackets or commas, not starting with '-', one '@' with text on both sides).
QString addressOf(const MailRecipient &recipient);
QString plainAddress(const QString &text);
// Header text with every line break and other control character turned into a blank, so that a
// subject can never start a header of its own.
QString headerSafe(const QString &text);
} // namespace MailAddress

#include "documents/mail/SmtpMail.h"

#include "documents/mail/MimeMessage.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <curl/curl.h>

using namespace Qt::StringLiterals;

namespace {

constexpr long connectSeconds = 15;
constexpr long transferSeconds = 120;

struct Upload
{
    QByteArray data;
    qsizetype sent = 0;
};

size_t readUpload(char *buffer, size_t size, size_t count, void *user)
{
    auto *upload = static_cast<Upload *>(user);
    const size_t room = size * count;
    const size_t left = size_t(upload->data.size() - upload->sent);
    const size_t n = std::min(room, left);
    std::memcpy(buffer, upload->data.constData() + upload->sent, n);
    upload->sent += qsizetype(n);
    return n;
}

// Keeps the last line the server sent.
int keepAnswer(CURL *, curl_infotype type, char *data, size_t size, void *user)
{
    if (type == CURLINFO_HEADER_IN) {
        const QString line = QString::fromUtf8(data, qsizetype(size)).trimmed();
        if (!line.isEmpty())
            *static_cast<QString *>(user) = line;
    }
    return 0;
}

// Owns a libcurl handle and a recipient list for one send.
struct CurlSend
{
    CURL *curl = curl_easy_init();
    curl_slist *recipients = nullptr;
    ~CurlSend()
    {
        curl_slist_free_all(recipients);
        if (curl)
            curl_easy_cleanup(curl);
    }
};

} // namespace

SmtpMail::SmtpMail(MailSettings settings)
    : m_settings(std::move(settings))
{ }

void SmtpMail::initLibrary()
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

void SmtpMail::cleanupLibrary()
{
    curl_global_cleanup();
}

bool SmtpMail::isSupported()
{
    const curl_version_info_data *info = curl_version_info(CURLVERSION_NOW);
    for (const char *const *protocol = info->protocols; protocol && *protocol; ++protocol) {
        if (std::strcmp(*protocol, "smtp") == 0)
            return true;
    }
    return false;
}

QString SmtpMail::description() const
{
    return u"the mail server %1"_s.arg(m_settings.host);
}

int SmtpMail::sendMail(quintptr, const MailMessage &message, unsigned)
{
    clearError();
    m_answer.clear();
    if (!m_settings.passwordProblem.isEmpty())
        return fail(MailResult::LoginFailure, m_settings.passwordProblem);
    // A user name and password cross the network only encrypted; this machine is the exception.
    if (m_settings.security == MailSettings::Security::None && !m_settings.user.isEmpty()
        && !MailSettings::isLocalHost(m_settings.host))
        return fail(MailResult::LoginFailure,
            u"The user name and password are not sent to %1 without encryption: choose STARTTLS "
            "or TLS for it."_s.arg(m_settings.host));
    const QString from = MailAddress::plainAddress(m_settings.from);
    if (from.isEmpty())
        return fail(MailResult::Failure,
            u"No sender address is set for the mail server (or it is not an address)."_s);

    MimeMessage mime;
    mime.from = from;
    mime.subject = message.subject;
    mime.text = message.noteText;
    mime.receiptRequested = message.receiptRequested;
    QStringList envelope;
    for (const MailRecipient &recipient : message.recipients) {
        const QString address = MailAddress::addressOf(recipient);
        if (address.isEmpty())
            return fail(MailResult::UnknownRecipient,
                u"'%1' is not an e-mail address."_s.arg(recipient.name));
        envelope << address;
        if (recipient.recipientClass == 1)
            mime.to << address;
        else if (recipient.recipientClass == 2)
            mime.cc << address;
    }
    if (envelope.isEmpty())
        return fail(MailResult::UnknownRecipient,
            u"The message has no recipient: a mail server needs at least one address."_s);
    for (const QString &path : message.attachmentPaths) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return fail(MailResult::AttachmentNotFound,
                u"The attachment %1 cannot be read: %2"_s.arg(path, file.errorString()));
        const QString name = QFileInfo(path).fileName();
        mime.attachments << MimeMessage::Attachment { name, MimeMessage::contentTypeFor(name),
            file.readAll() };
    }

    CurlSend send;
    if (!send.curl)
        return fail(MailResult::Failure, u"The mail connection could not be set up."_s);
    const bool tls = m_settings.security == MailSettings::Security::Tls;
    const QByteArray url = (tls ? "smtps://" : "smtp://") + m_settings.host.trimmed().toUtf8() + ':'
        + QByteArray::number(m_settings.port);
    const QByteArray user = m_settings.user.toUtf8();
    const QByteArray password = m_settings.password.toUtf8();
    const QByteArray mailFrom = '<' + from.toLatin1() + '>';
    for (const QString &address : std::as_const(envelope))
        send.recipients =
            curl_slist_append(send.recipients, ('<' + address.toLatin1() + '>').constData());
    Upload upload { mime.toBytes() };
    char errorText[CURL_ERROR_SIZE] = {};

    CURL *curl = send.curl;
    curl_easy_setopt(curl, CURLOPT_URL, url.constData());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    if (m_settings.security == MailSettings::Security::StartTls)
        curl_easy_setopt(curl, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    if (!user.isEmpty()) {
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.constData());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.constData());
    }
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, mailFrom.constData());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, send.recipients);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readUpload);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(upload.data.size()));
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, connectSeconds);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, transferSeconds);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    // The server's certificate is always checked: against the system's authorities, or against
    // the certificates the user chose to trust.
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    const QByteArray certificates = QFile::encodeName(m_settings.certificates);
    if (!certificates.isEmpty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, certificates.constData());
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, keepAnswer);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &m_answer);
    curl_easy_setopt(curl, CURLOPT_VERBOSE, 1L);

    const CURLcode result = curl_easy_perform(curl);
    if (result == CURLE_OK)
        return MailResult::Success;
    const QString reason =
        errorText[0] ? QString::fromUtf8(errorText) : QString::fromUtf8(curl_easy_strerror(result));
    long response = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &response);
    const QString answer =
        m_answer.isEmpty() && response > 0 ? QString::number(response) : m_answer;
    const QString server =
        answer.isEmpty() ? QString() : u" (the server answered %1)"_s.arg(answer);
    return fail(result == CURLE_LOGIN_DENIED ? MailResult::LoginFailure : MailResult::Failure,
        u"%1 did not take the message: %2%3"_s.arg(description(), reason, server));
}

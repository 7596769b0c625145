#include "documents/mail/MimeMessage.h"

#include "documents/mail/MailSystem.h"

#include <QLocale>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace {

const QByteArray crlf = "\r\n";

QByteArray base64Lines(const QByteArray &data)
{
    const QByteArray encoded = data.toBase64();
    QByteArray out;
    out.reserve(encoded.size() + encoded.size() / 76 * 2 + 2);
    for (qsizetype i = 0; i < encoded.size(); i += 76)
        out += encoded.mid(i, 76) + crlf;
    return out;
}

bool plainAscii(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    }
    return true;
}

QByteArray rfc2822Date(const QDateTime &date)
{
    const QLocale c = QLocale::c();
    const int offset = date.offsetFromUtc() / 60;
    // A QChar, not a char16_t: arg() would take the latter for the number 43 or 45.
    const QString zone = u"%1%2%3"_s.arg(QChar(offset < 0 ? u'-' : u'+'))
                             .arg(std::abs(offset) / 60, 2, 10, QChar(u'0'))
                             .arg(std::abs(offset) % 60, 2, 10, QChar(u'0'));
    return (c.toString(date, u"ddd, dd MMM yyyy HH:mm:ss "_s) + zone).toLatin1();
}

// A file name for a quoted header parameter: controls, quotes and backslashes are left out.
QByteArray quotedFileName(const QString &name)
{
    QString safe;
    for (const QChar c : MailAddress::headerSafe(name)) {
        if (c != u'"' && c != u'\\')
            safe += c;
    }
    if (plainAscii(safe))
        return '"' + safe.toLatin1() + '"';
    return '"' + MimeMessage::encodeHeaderText(safe) + '"';
}

} // namespace

QByteArray MimeMessage::encodeHeaderText(const QString &text)
{
    const QString safe = MailAddress::headerSafe(text);
    if (plainAscii(safe))
        return safe.toLatin1();
    // Encoded words of at most 75 characters, never splitting a character.
    QList<QByteArray> words;
    QByteArray chunk;
    for (qsizetype i = 0; i < safe.size(); ++i) {
        QString one = safe.at(i);
        if (safe.at(i).isHighSurrogate() && i + 1 < safe.size())
            one += safe.at(++i);
        const QByteArray bytes = one.toUtf8();
        if ((chunk.size() + bytes.size() + 2) / 3 * 4 > 75 - 12) {
            words << chunk;
            chunk.clear();
        }
        chunk += bytes;
    }
    if (!chunk.isEmpty())
        words << chunk;
    QByteArray out;
    for (const QByteArray &word : std::as_const(words)) {
        if (!out.isEmpty())
            out += crlf + ' ';
        out += "=?UTF-8?B?" + word.toBase64() + "?=";
    }
    return out;
}

QByteArray MimeMessage::contentTypeFor(const QString &fileName)
{
    if (fileName.endsWith(u".pdf"_s, Qt::CaseInsensitive))
        return "application/pdf";
    return "application/octet-stream";
}

QByteArray MimeMessage::toBytes() const
{
    const QByteArray boundary =
        "=_tessorin_" + QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
    QByteArray out;
    out += "Date: " + rfc2822Date(date) + crlf;
    out += "From: <" + MailAddress::plainAddress(from).toLatin1() + '>' + crlf;
    const auto addressList = [](const QStringList &addresses) {
        QByteArrayList list;
        for (const QString &address : addresses)
            list << '<' + MailAddress::plainAddress(address).toLatin1() + '>';
        return list.join(", ");
    };
    if (!to.isEmpty())
        out += "To: " + addressList(to) + crlf;
    if (!cc.isEmpty())
        out += "Cc: " + addressList(cc) + crlf;
    out += "Subject: " + encodeHeaderText(subject) + crlf;
    QByteArray domain = MailAddress::plainAddress(from).section(u'@', 1).toLatin1();
    if (domain.isEmpty())
        domain = "localhost";
    out += "Message-ID: <" + QUuid::createUuid().toByteArray(QUuid::WithoutBraces) + '@' + domain
        + '>' + crlf;
    if (receiptRequested)
        out += "Disposition-Notification-To: <" + MailAddress::plainAddress(from).toLatin1() + '>'
            + crlf;
    out += "MIME-Version: 1.0" + crlf;
    out += "Content-Type: multipart/mixed; boundary=\"" + boundary + '"' + crlf + crlf;
    out += "This is a message in MIME format." + crlf;

    QString body = text;
    body.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n').replace(u"\n"_s, u"\r\n"_s);
    out += "--" + boundary + crlf;
    out += "Content-Type: text/plain; charset=UTF-8" + crlf;
    out += "Content-Transfer-Encoding: base64" + crlf + crlf;
    out += base64Lines(body.toUtf8());
    for (const Attachment &file : attachments) {
        const QByteArray name = quotedFileName(file.fileName);
        out += "--" + boundary + crlf;
        out += "Content-Type: " + file.contentType + "; name=" + name + crlf;
        out += "Content-Disposition: attachment; filename=" + name + crlf;
        out += "Content-Transfer-Encoding: base64" + crlf + crlf;
        out += base64Lines(file.data);
    }
    out += "--" + boundary + "--" + crlf;
    return out;
}

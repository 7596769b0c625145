#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// An Internet mail message with its text and attached files: headers with line breaks taken out
// of every value, a subject encoded when it is not plain ASCII, the text and each file base64
// encoded in lines of 76 characters, every line ending in CR LF.
struct MimeMessage
{
    QString from;
    QStringList to;
    QStringList cc; // Bcc recipients appear in no header
    QString subject;
    QString text;
    bool receiptRequested = false;
    QDateTime date = QDateTime::currentDateTime();

    struct Attachment
    {
        QString fileName;
        QByteArray contentType;
        QByteArray data;
    };
    QList<Attachment> attachments;

    QByteArray toBytes() const;

    // The subject as a header value: unchanged when it is printable ASCII, else RFC 2047 encoded
    // words of UTF-8 in base64.
    static QByteArray encodeHeaderText(const QString &text);
    // The content type a file is sent as, by its name.
    static QByteArray contentTypeFor(const QString &fileName);
};

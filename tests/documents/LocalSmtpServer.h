#pragma once

#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>

// A real mail server on 127.0.0.1 for the tests (Python's aiosmtpd), started on a free port and
// stopped when this object goes. By default it keeps every message it takes in a Maildir; a
// handler class of refusing_smtp.py makes it refuse them instead.
class LocalSmtpServer
{
public:
    explicit LocalSmtpServer(const QString &handler = {});
    ~LocalSmtpServer();

    // Makes the server speak TLS from the first byte (smtps) or offer and require STARTTLS, with
    // the certificate and key given (PEM files). Before start().
    void setTls(const QString &certificate, const QString &key, bool startTls);
    // Makes a self-signed certificate for 127.0.0.1 and localhost in folder: cert.pem, key.pem.
    static bool makeCertificate(const QString &folder, QString *why);

    // Starts the server and waits until it takes connections; false with *why when it cannot.
    bool start(QString *why);
    int port() const { return m_port; }

    // The messages taken so far, each decoded by Python's mail parser: rcpt (envelope), headers
    // (names), to, cc, subject, text and attachments (name, type, data in base64).
    QJsonArray messages() const;

    // A port on 127.0.0.1 where nothing listens at the moment of asking.
    static int unusedPort();

private:
    bool startOnce(QString *why);

    QString m_handler;
    QStringList m_tlsArguments;
    QTemporaryDir m_maildir;
    QProcess m_process;
    int m_port = 0;
};

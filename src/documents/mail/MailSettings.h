#pragma once

#include <QString>

// The mail server a user has chosen to send through, kept per user: the server's details in the
// user's registry key "\Software\Velbric\Tessorin\Mail", the password in a file of its own beside
// the registry that only the user may read. Nothing of it lives in the shared data directory.
struct MailSettings
{
    enum class Security
    {
        None, // plain SMTP
        StartTls, // SMTP upgraded with STARTTLS, refused when the server cannot
        Tls // SMTP over TLS from the start
    };

    QString host;
    int port = 587;
    Security security = Security::StartTls;
    QString user;
    QString password;
    QString from; // the sender's address

    // Whether a server is set.
    bool isSet() const { return !host.trimmed().isEmpty(); }

    static MailSettings load();
    // Raises ERegistryException or Exception when the store refuses the write.
    void save() const;

    static QString passwordFile();
    static QString securityName(Security security);
    static Security securityFromName(const QString &name);
};

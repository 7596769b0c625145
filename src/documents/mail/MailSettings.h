#pragma once

#include <QString>

// How a user sends mail, kept per user: through the desktop's mail program, or through a mail
// server whose details are in the user's registry key "\Software\Velbric\Tessorin\Mail" and
// whose password is kept by MailPassword. Nothing of it lives in the shared data directory.
struct MailSettings
{
    enum class Security
    {
        None, // plain SMTP
        StartTls, // SMTP upgraded with STARTTLS, refused when the server cannot
        Tls // SMTP over TLS from the start
    };

    bool useServer = false; // else the desktop's mail program
    QString host;
    int port = 587;
    Security security = Security::StartTls;
    QString user;
    QString password;
    QString from; // the sender's address
    // A file of certificates (PEM) trusted besides the system's, for a server whose certificate
    // no authority signed.
    QString certificates;
    // Why the stored password was not used; empty when all is well.
    QString passwordProblem;

    // Whether mail goes through a server that is set.
    bool isSet() const { return useServer && !host.trimmed().isEmpty(); }
    // Whether host is this machine, where nothing sent to it leaves it.
    static bool isLocalHost(const QString &host);

    static MailSettings load();
    // Raises ERegistryException or Exception when the store refuses the write.
    void save() const;

    static QString securityName(Security security);
    static Security securityFromName(const QString &name);
};

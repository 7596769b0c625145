#pragma once

#include "documents/mail/MailSettings.h"
#include "documents/mail/MailSystem.h"

// A mail server the user has set, spoken to over SMTP: the message goes out complete, with the
// text and every attachment in it, or not at all.
class SmtpMail : public MailSystem
{
public:
    explicit SmtpMail(MailSettings settings);

    QString description() const override;
    QString defaultProfile() const override { return m_settings.user; }
    bool sendsItself() const override { return true; }
    int sendMail(quintptr session, const MailMessage &message, unsigned flags) override;

    const MailSettings &settings() const { return m_settings; }
    // The server's last answer in the last send ("250 Message accepted"), empty when none came.
    QString serverAnswer() const { return m_answer; }

    // Whether libcurl can speak SMTP here.
    static bool isSupported();
    // Once per program, before any send; cleanupLibrary at the end.
    static void initLibrary();
    static void cleanupLibrary();

private:
    MailSettings m_settings;
    QString m_answer;
};

#pragma once

#include "documents/mail/MailSystem.h"

// The user's own mail program, reached through xdg-email: the message, its recipients and its
// attachment open in the program's compose window, where the user sends it.
class XdgEmailMail : public MailSystem
{
public:
    // program: the xdg-email to run; empty finds it on PATH.
    explicit XdgEmailMail(const QString &program = {});

    // Whether xdg-email is found on PATH.
    static bool isUsable();

    QString description() const override;
    int sendMail(quintptr session, const MailMessage &message, unsigned flags) override;
    // The compose window reads the attachment when the user sends, after xdg-email has returned.
    bool readsAttachmentsLater() const override { return true; }

    // The arguments xdg-email is given for message; empty with *why set when the message cannot
    // be handed over (a recipient that is no plain address).
    static QStringList arguments(const MailMessage &message, QString *why);

private:
    QString m_program;
};

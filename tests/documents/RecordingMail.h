#pragma once

#include "documents/mail/MailSystem.h"

#include <QHash>

// A mail system that records what the mail component asks of it and answers as told.
class RecordingMail : public MailSystem
{
public:
    QString description() const override { return QStringLiteral("the recording mail system"); }

    int logon(
        const QString &profile, const QString &password, unsigned flags, quintptr *session) override
    {
        logons << flags;
        Q_UNUSED(profile);
        Q_UNUSED(password);
        if (refuseLogon)
            return fail(MailResult::LoginFailure, QStringLiteral("refused"));
        *session = 7;
        return MailResult::Success;
    }
    int logoff(quintptr) override
    {
        ++logoffs;
        return MailResult::Success;
    }
    int resolveName(quintptr, const QString &name, unsigned flags, MailRecipient *resolved) override
    {
        resolves << std::pair { name, flags };
        const auto answer = answers.value(name, { MailResult::Success, name });
        // An answer list: the first call's answer, then the one for a call with the dialog.
        const auto &[code, display] = (flags & MailFlags::Dialog) && retryAnswers.contains(name)
            ? retryAnswers.value(name)
            : answer;
        if (code == MailResult::Success)
            resolved->name = display;
        return code;
    }
    int address(
        quintptr, const QList<MailRecipient> &current, QList<MailRecipient> *chosen) override
    {
        addressGiven = current;
        if (useAddressDialog)
            return MailSystem::address(0, current, chosen);
        *chosen = book;
        return MailResult::Success;
    }
    int sendMail(quintptr, const MailMessage &message, unsigned flags) override
    {
        sent << message;
        sendFlags << flags;
        return sendResult;
    }

    bool refuseLogon = false;
    bool useAddressDialog = false;
    int sendResult = MailResult::Success;
    QHash<QString, std::pair<int, QString>> answers;
    QHash<QString, std::pair<int, QString>> retryAnswers;
    QList<MailRecipient> book;

    QList<unsigned> logons;
    int logoffs = 0;
    QList<std::pair<QString, unsigned>> resolves;
    QList<MailRecipient> addressGiven;
    QList<MailMessage> sent;
    QList<unsigned> sendFlags;
};

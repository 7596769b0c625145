#include "documents/mail/XdgEmailMail.h"

#include <QProcess>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

const QString xdgEmail = u"xdg-email"_s;
// xdg-email returns once the mail program has the message; a program that never returns is not
// waited for longer than this.
constexpr int handOverMs = 120000;

} // namespace

XdgEmailMail::XdgEmailMail(const QString &program)
    : m_program(program.isEmpty() ? QStandardPaths::findExecutable(xdgEmail) : program)
{ }

bool XdgEmailMail::isUsable()
{
    return !QStandardPaths::findExecutable(xdgEmail).isEmpty();
}

QString XdgEmailMail::description() const
{
    return u"your mail program"_s;
}

QStringList XdgEmailMail::arguments(const MailMessage &message, QString *why)
{
    // Every value follows its option as a separate argument and no shell is involved; addresses
    // are checked so that none can pass for an option.
    QStringList args { u"--utf8"_s };
    QStringList to;
    for (const MailRecipient &recipient : message.recipients) {
        const QString address = MailAddress::addressOf(recipient);
        if (address.isEmpty()) {
            *why = u"'%1' is not an e-mail address."_s.arg(recipient.name);
            return {};
        }
        if (recipient.recipientClass == 2)
            args << u"--cc"_s << address;
        else if (recipient.recipientClass == 3)
            args << u"--bcc"_s << address;
        else
            to << address;
    }
    const QString subject = MailAddress::headerSafe(message.subject).trimmed();
    if (!subject.isEmpty())
        args << u"--subject"_s << subject;
    if (!message.noteText.isEmpty())
        args << u"--body"_s << message.noteText;
    for (const QString &path : message.attachmentPaths)
        args << u"--attach"_s << path;
    return args + to;
}

int XdgEmailMail::sendMail(quintptr, const MailMessage &message, unsigned)
{
    clearError();
    if (m_program.isEmpty())
        return fail(MailResult::Failure, u"xdg-email was not found."_s);
    QString why;
    const QStringList args = arguments(message, &why);
    if (args.isEmpty())
        return fail(MailResult::UnknownRecipient, why);
    QProcess process;
    process.setProgram(m_program);
    process.setArguments(args);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted())
        return fail(MailResult::Failure,
            u"Your mail program could not be started: %1"_s.arg(process.errorString()));
    if (!process.waitForFinished(handOverMs)) {
        process.kill();
        process.waitForFinished();
        return fail(MailResult::Failure, u"Your mail program did not take the message."_s);
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString output = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        return fail(MailResult::Failure,
            output.isEmpty() ? u"Your mail program did not take the message."_s
                             : u"Your mail program did not take the message: %1"_s.arg(output));
    }
    return MailResult::Success;
}

#include "documents/mail/XdgEmailMail.h"

#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

const QString xdgEmail = u"xdg-email"_s;

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
    process.setProcessChannelMode(QProcess::MergedChannels);
    // xdg-email returns when the mail program has the message, which for a program started in
    // the foreground is when its compose window closes: the windows keep answering meanwhile.
    QEventLoop wait;
    QObject::connect(&process, &QProcess::finished, &wait, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &wait, &QEventLoop::quit);
    process.start();
    if (!process.waitForStarted())
        return fail(MailResult::Failure,
            u"Your mail program could not be started: %1"_s.arg(process.errorString()));
    if (process.state() != QProcess::NotRunning)
        wait.exec();
    if (process.state() != QProcess::NotRunning)
        process.waitForFinished(-1);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString output = QString::fromLocal8Bit(process.readAll()).trimmed();
        return fail(MailResult::Failure,
            output.isEmpty()
                ? u"xdg-email ended with code %1."_s.arg(process.exitCode())
                : u"xdg-email ended with code %1:\n%2"_s.arg(process.exitCode()).arg(output));
    }
    return MailResult::Success;
}

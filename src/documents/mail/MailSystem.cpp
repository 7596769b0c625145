#include "documents/mail/MailSystem.h"

#include "documents/mail/AddressDialog.h"

#include <QApplication>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

int MailSystem::logon(const QString &, const QString &, unsigned, quintptr *session)
{
    clearError();
    *session = 1;
    return MailResult::Success;
}

int MailSystem::logoff(quintptr)
{
    return MailResult::Success;
}

int MailSystem::resolveName(quintptr, const QString &name, unsigned, MailRecipient *resolved)
{
    QString text = name.trimmed();
    if (text.startsWith(u'[') && text.endsWith(u']'))
        text = text.mid(1, text.size() - 2);
    if (MailAddress::plainAddress(text).isEmpty())
        return fail(MailResult::UnknownRecipient, u"'%1' is not an e-mail address."_s.arg(name));
    resolved->name = text;
    resolved->address.clear();
    return MailResult::Success;
}

int MailSystem::address(quintptr, const QList<MailRecipient> &current, QList<MailRecipient> *chosen)
{
    clearError();
    AddressDialog dialog(current, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return MailResult::UserAbort;
    *chosen = dialog.recipients();
    return MailResult::Success;
}

namespace MailAddress {

QString plainAddress(const QString &text)
{
    QString address = text.trimmed();
    if (address.endsWith(u'>')) {
        const qsizetype open = address.lastIndexOf(u'<');
        if (open < 0)
            return {};
        address = address.mid(open + 1, address.size() - open - 2).trimmed();
    }
    if (address.startsWith(u"SMTP:"_s, Qt::CaseInsensitive))
        address = address.mid(5);
    // A local part that cannot start with '-', one '@', and a host name.
    static const QRegularExpression valid(
        QStringLiteral(R"(^[A-Za-z0-9!#$%&'*+/=?^_`{|}~.][A-Za-z0-9!#$%&'*+/=?^_`{|}~.-]*)")
        + QStringLiteral(R"(@[A-Za-z0-9](?:[A-Za-z0-9.-]*[A-Za-z0-9])?$)"));
    if (address.size() > 254 || !valid.match(address).hasMatch())
        return {};
    return address;
}

QString addressOf(const MailRecipient &recipient)
{
    return plainAddress(recipient.address.isEmpty() ? recipient.name : recipient.address);
}

QString headerSafe(const QString &text)
{
    QString safe = text;
    for (QChar &c : safe) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator)
            c = u' ';
    }
    return safe;
}

} // namespace MailAddress

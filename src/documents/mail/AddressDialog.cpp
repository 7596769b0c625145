#include "documents/mail/AddressDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

using namespace Qt::StringLiterals;

AddressDialog::AddressDialog(const QList<MailRecipient> &current, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(u"dlgAddress"_s);
    auto *form = new QFormLayout(this);
    const QString labels[] = { u"&To:"_s, u"&Cc:"_s, u"&Bcc:"_s };
    const QString names[] = { u"edtTo"_s, u"edtCc"_s, u"edtBcc"_s };
    for (int i = 0; i < 3; ++i) {
        QStringList entries;
        for (const MailRecipient &recipient : current) {
            if (recipient.recipientClass == i + 1)
                entries << recipient.name;
        }
        m_lines[i] = new QLineEdit(entries.join(u"; "_s), this);
        m_lines[i]->setObjectName(names[i]);
        m_lines[i]->setMinimumWidth(360);
        form->addRow(labels[i], m_lines[i]);
    }
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

QList<MailRecipient> AddressDialog::recipients() const
{
    QList<MailRecipient> result;
    for (int i = 0; i < 3; ++i) {
        for (const QString &entry : m_lines[i]->text().split(u';', Qt::SkipEmptyParts)) {
            const QString name = entry.trimmed();
            if (!name.isEmpty())
                result.append({ i + 1, name, QString() });
        }
    }
    return result;
}

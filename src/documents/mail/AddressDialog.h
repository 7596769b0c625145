#pragma once

#include "documents/mail/MailSystem.h"

#include <QDialog>

class QLineEdit;

// The address book of mail systems that have none of their own: the To, Cc and Bcc recipients,
// each line holding entries separated by semicolons.
class AddressDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AddressDialog(const QList<MailRecipient> &current, QWidget *parent = nullptr);

    QList<MailRecipient> recipients() const;

private:
    QLineEdit *m_lines[3];
};

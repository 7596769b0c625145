#pragma once

#include "documents/mail/MailSettings.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

// The Options dialog's "E-mail" page: whether mail goes through the desktop's mail program or a
// mail server, the server's details, and a test message to the sender's own address. Storing
// the page makes the new settings the program's at once.
class MailSettingsPage : public QWidget
{
    Q_OBJECT

public:
    explicit MailSettingsPage(QWidget *parent = nullptr);

    // The settings as the page shows them.
    MailSettings settings() const;
    void setSettings(const MailSettings &settings);
    // Stores the settings for this user and switches the run's mail to them. Throws Exception
    // when they cannot be stored.
    void store();

    void btnTestMessageClick();

private:
    void updateControls();
    void cboSecurityChange();

    QRadioButton *m_program;
    QRadioButton *m_server;
    QLineEdit *m_host;
    QSpinBox *m_port;
    QComboBox *m_security;
    QLineEdit *m_user;
    QLineEdit *m_password;
    QLineEdit *m_from;
    QLineEdit *m_certificates;
    QLabel *m_plainWarning;
    QLabel *m_passwordProblem;
    QPushButton *m_test;
};

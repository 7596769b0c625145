#include "documents/mail/MailSettingsPage.h"

#include "controls/window/CommandGuard.h"
#include "controls/window/Messages.h"
#include "controls/window/OverrideCursor.h"
#include "documents/mail/MailLibrary.h"
#include "documents/mail/SmtpMail.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int submissionPort = 587;
constexpr int tlsPort = 465;

template <typename Widget> Widget *named(Widget *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

} // namespace

MailSettingsPage::MailSettingsPage(QWidget *parent)
    : QWidget(parent)
    , m_program(named(
          new QRadioButton(u"Through the desktop's &mail program"_s, this), u"rbMailProgram"_s))
    , m_server(named(new QRadioButton(u"Through a mail &server:"_s, this), u"rbMailServer"_s))
    , m_host(named(new QLineEdit(this), u"edtHost"_s))
    , m_port(named(new QSpinBox(this), u"spnPort"_s))
    , m_security(named(new QComboBox(this), u"cboSecurity"_s))
    , m_user(named(new QLineEdit(this), u"edtUser"_s))
    , m_password(named(new QLineEdit(this), u"edtPassword"_s))
    , m_from(named(new QLineEdit(this), u"edtFrom"_s))
    , m_certificates(named(new QLineEdit(this), u"edtCertificates"_s))
    , m_plainWarning(named(new QLabel(this), u"lblPlainWarning"_s))
    , m_passwordProblem(named(new QLabel(this), u"lblPasswordProblem"_s))
    , m_test(named(new QPushButton(u"Send &test message"_s, this), u"btnTestMessage"_s))
{
    setObjectName(u"tsEmail"_s);
    auto *choice = new QButtonGroup(this);
    choice->addButton(m_program);
    choice->addButton(m_server);
    m_port->setRange(1, 65535);
    m_security->addItems({ u"None"_s, u"STARTTLS"_s, u"TLS"_s });
    m_password->setEchoMode(QLineEdit::Password);
    m_from->setPlaceholderText(u"office@example.com"_s);
    m_certificates->setPlaceholderText(u"the system's certificate authorities"_s);
    m_certificates->setToolTip(
        u"A certificate file (PEM) to trust for a server whose certificate no authority signed"_s);
    m_plainWarning->setWordWrap(true);
    m_plainWarning->setText(u"With no encryption the user name and password are sent only to "
                            "this computer; for any other server, choose STARTTLS or TLS."_s);
    m_passwordProblem->setWordWrap(true);

    auto *form = new QFormLayout;
    form->addRow(u"&Host:"_s, m_host);
    form->addRow(u"&Port:"_s, m_port);
    form->addRow(u"S&ecurity:"_s, m_security);
    form->addRow(u"&User name:"_s, m_user);
    form->addRow(u"Pass&word:"_s, m_password);
    form->addRow(u"&From address:"_s, m_from);
    form->addRow(u"Trusted &certificate:"_s, m_certificates);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_program);
    layout->addWidget(m_server);
    layout->addLayout(form);
    layout->addWidget(m_plainWarning);
    layout->addWidget(m_passwordProblem);
    layout->addWidget(m_test, 0, Qt::AlignLeft);
    layout->addStretch();

    for (QRadioButton *button : { m_program, m_server })
        connect(button, &QRadioButton::toggled, this, &MailSettingsPage::updateControls);
    for (QLineEdit *edit : { m_host, m_user, m_password })
        connect(edit, &QLineEdit::textChanged, this, &MailSettingsPage::updateControls);
    connect(
        m_security, &QComboBox::currentIndexChanged, this, &MailSettingsPage::cboSecurityChange);
    connect(m_test, &QPushButton::clicked, this, &MailSettingsPage::btnTestMessageClick);

    runGuarded(this, [this] { setSettings(MailSettings::load()); });
}

MailSettings MailSettingsPage::settings() const
{
    MailSettings settings;
    settings.useServer = m_server->isChecked();
    settings.host = m_host->text().trimmed();
    settings.port = m_port->value();
    settings.security = MailSettings::securityFromName(m_security->currentText());
    settings.user = m_user->text().trimmed();
    settings.password = m_password->text();
    settings.from = m_from->text().trimmed();
    settings.certificates = m_certificates->text().trimmed();
    return settings;
}

void MailSettingsPage::setSettings(const MailSettings &settings)
{
    const QSignalBlocker blocker(m_security);
    (settings.useServer ? m_server : m_program)->setChecked(true);
    m_host->setText(settings.host);
    m_port->setValue(settings.port);
    m_security->setCurrentText(MailSettings::securityName(settings.security));
    m_user->setText(settings.user);
    m_password->setText(settings.password);
    m_from->setText(settings.from);
    m_certificates->setText(settings.certificates);
    m_passwordProblem->setText(settings.passwordProblem);
    m_passwordProblem->setVisible(!settings.passwordProblem.isEmpty());
    updateControls();
}

void MailSettingsPage::store()
{
    settings().save();
    if (MailLibrary *library = MailLibrary::current())
        library->settingsChanged();
}

void MailSettingsPage::cboSecurityChange()
{
    // The usual port of each kind follows the choice, unless another port was typed.
    const bool tls = m_security->currentText() == u"TLS"_s;
    if (tls && m_port->value() == submissionPort)
        m_port->setValue(tlsPort);
    else if (!tls && m_port->value() == tlsPort)
        m_port->setValue(submissionPort);
    updateControls();
}

void MailSettingsPage::updateControls()
{
    const bool server = m_server->isChecked();
    for (QWidget *control : std::initializer_list<QWidget *> {
             m_host, m_port, m_security, m_user, m_password, m_from, m_certificates, m_test })
        control->setEnabled(server);
    const MailSettings shown = settings();
    m_plainWarning->setVisible(server && shown.security == MailSettings::Security::None
        && (!shown.password.isEmpty() || !shown.user.isEmpty())
        && !MailSettings::isLocalHost(shown.host));
}

void MailSettingsPage::btnTestMessageClick()
{
    runGuarded(this, [this] {
        const MailSettings shown = settings();
        SmtpMail server(shown);
        MailMessage message;
        message.subject = u"Test message from Velbric Tessorin"_s;
        message.noteText = u"This message was sent to check the mail settings. Mail sent "
                           "through %1 reaches its recipients."_s.arg(shown.host);
        message.recipients = { { 1, shown.from, shown.from } };
        int result = MailResult::Failure;
        {
            const OverrideCursor wait(Qt::WaitCursor);
            result = server.sendMail(0, message, 0);
        }
        if (result == MailResult::Success)
            ShowInfoMessage(u"The test message went to %1. The server answered: %2"_s.arg(
                                shown.from, server.serverAnswer()),
                this);
        else
            ShowInfoMessage(u"The test message was not sent. Check the settings above."_s,
                server.lastError(), this);
    });
}

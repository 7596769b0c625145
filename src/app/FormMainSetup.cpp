// The main window's commands that open the business setup, the sales people, the options and the
// first-run wizard.
#include "FormMain.h"
#include "controls/window/CommandGuard.h"
#include "documents/mail/MailSettingsPage.h"
#include "reference/FormOptions.h"
#include "reference/FormSales.h"
#include "reference/FormSetupCompany.h"
#include "reference/FormStartup.h"

using namespace Qt::StringLiterals;

namespace {

// The options of this program's own: the e-mail settings belong to the documents.
void addOwnPages(TfrmOptions &options)
{
    auto *mail = new MailSettingsPage;
    options.addPage(mail, u"E-mail"_s, [mail] { mail->store(); });
}

} // namespace

void TfrmMain::mniBusinessSettingsClick()
{
    runGuarded(this, [this] {
        TfrmSetupCompany setup(m_dm, this);
        setup.exec();
    });
}

void TfrmMain::mniSalesClick()
{
    runGuarded(this, [this] {
        TfrmSales sales(m_dm, this);
        sales.exec();
    });
}

void TfrmMain::mniOptionsClick()
{
    runGuarded(this, [this] {
        TfrmOptions options(m_dm, this);
        addOwnPages(options);
        options.showPage(TfrmOptions::GeneralPage);
        options.exec();
    });
}

void TfrmMain::btnChangeTaxRateClick()
{
    runGuarded(this, [this] {
        TfrmOptions options(m_dm, this);
        addOwnPages(options);
        options.showPage(TfrmOptions::TaxRatesPage);
        options.exec();
    });
}

void TfrmMain::openStartupWizard()
{
    if (m_wizardOpen)
        return;
    m_wizardOpen = true;
    runGuarded(this, [this] {
        TfrmWizStartup wizard(m_dm, this);
        wizard.exec();
    });
    m_wizardOpen = false;
}

// The main window's commands that open the business setup, the sales people, the options and the
// first-run wizard.
#include "FormMain.h"
#include "controls/window/CommandGuard.h"
#include "reference/FormOptions.h"
#include "reference/FormSales.h"
#include "reference/FormSetupCompany.h"
#include "reference/FormStartup.h"
#include "reference/SetupWidgets.h"

using namespace Qt::StringLiterals;

namespace {

template <typename Dialog> void openWith(Dialog &dialog, TfrmMain *window)
{
    dialog.helpKey()->handler = [window] { window->showHelp(); };
    dialog.exec();
}

} // namespace

void TfrmMain::mniBusinessSettingsClick()
{
    runGuarded(this, [this] {
        TfrmSetupCompany setup(m_dm, this);
        openWith(setup, this);
    });
}

void TfrmMain::mniSalesClick()
{
    runGuarded(this, [this] {
        TfrmSales sales(m_dm, this);
        openWith(sales, this);
    });
}

void TfrmMain::mniOptionsClick()
{
    runGuarded(this, [this] {
        TfrmOptions options(m_dm, this);
        options.showPage(TfrmOptions::GeneralPage);
        openWith(options, this);
    });
}

void TfrmMain::btnChangeTaxRateClick()
{
    runGuarded(this, [this] {
        TfrmOptions options(m_dm, this);
        options.showPage(TfrmOptions::TaxRatesPage);
        openWith(options, this);
    });
}

void TfrmMain::openStartupWizard()
{
    if (m_wizardOpen)
        return;
    m_wizardOpen = true;
    runGuarded(this, [this] {
        TfrmWizStartup wizard(m_dm, this);
        openWith(wizard, this);
    });
    m_wizardOpen = false;
}

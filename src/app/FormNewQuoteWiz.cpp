#include "FormNewQuoteWiz.h"

#include "app/HelpWindow.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "data/DataModuleMain.h"
#include "reference/ReferenceWidgets.h"

using namespace Qt::StringLiterals;
using ReferenceWidgets::link;

TfrmNewQuoteWiz::TfrmNewQuoteWiz(TDM *dm, QWidget *parent)
    : TfrmWiz(parent)
    , m_dm(dm)
    , m_quotes(link(this, u"dsQuotes"_s, dm->tblQuotes))
    , m_clients(link(this, u"dsClients"_s, dm->tblClients))
{
    setObjectName(u"frmNewQuoteWiz"_s);
    setWindowTitle(u"New Quote Wizard"_s);
    HelpWindow::setContext(this, HelpContext);

    addIntroPage(u"Create New Quote Wizard"_s,
        u"This wizard will step through the following steps necessary to create a new Quote:"_s,
        { u"1. Create a new Quote and assign Quote Number."_s,
            u"2. Enter details about current Quote."_s, u"3. Select or Modify client Details."_s },
        u"tsIntro"_s);
    addDetailsPage(
        m_quotes, u"Quote Number:"_s, u"Quote_No"_s, u"QuoteDescription"_s, u"tsNewDetails"_s);
    addClientPage(dm, m_quotes, m_clients, u"Add New Client"_s, u"tsNewClient"_s);
    addFinishPage(
        { u"Your Quote is now ready to add Materials and Labour."_s,
            u"Click on Finish to Close this wizard or Previous and Next to browse and "
            "finalise your Quotes settings."_s,
            u"Go to the Materials and Labour Tabs to Add new cost options to this Quote."_s },
        u"tsFinish"_s);
    openWizard(dm->tblQuotes);
}

void TfrmNewQuoteWiz::finishRecord()
{
    if (m_dm->tblQuotes->isEditing())
        m_dm->tblQuotes->post();
}

void TfrmNewQuoteWiz::cancelRecord()
{
    m_dm->tblQuotes->cancel();
}

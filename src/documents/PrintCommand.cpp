#include "documents/PrintCommand.h"

#include "controls/window/CommandGuard.h"
#include "data/DataModuleMain.h"
#include "documents/FormCJobQuote.h"

void printJobQuote(TDM *dm, QWidget *parent, bool jobPage)
{
    bool saved = runGuarded(parent, [&] {
        // Posting a view that is not being edited does nothing.
        (jobPage ? dm->tblJobs : dm->tblQuotes)->post();
        dm->tblClientDetails->post();
        (jobPage ? dm->tblJobLabour : dm->tblQuoteLabour)->post();
        (jobPage ? dm->tblJobMaterials : dm->tblQuotesMaterial)->post();
    });
    if (!saved)
        return;
    runGuarded(parent, [&] {
        TfrmCJobQuotes dialog(dm, parent);
        dialog.exec();
    });
}

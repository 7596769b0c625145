#include "documents/PrintCommand.h"

#include "controls/window/CommandGuard.h"
#include "data/DataModuleMain.h"
#include "documents/FormCJobQuote.h"
#include "engine/Field.h"

using namespace Qt::StringLiterals;

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
        // The dialog opens on the document on screen, so that Print at once prints that one.
        TQVTable *header = jobPage ? dm->tblJobs : dm->tblQuotes;
        const double key = header->isEmpty()
            ? 0
            : header->fieldByName(jobPage ? u"Job_ID"_s : u"Quote_ID"_s)->asFloat();
        TfrmCJobQuotes dialog(dm, parent);
        dialog.showDocument(jobPage, key);
        dialog.exec();
    });
}

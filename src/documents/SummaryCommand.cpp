#include "documents/SummaryCommand.h"

#include "controls/window/CommandGuard.h"
#include "documents/FormCJobSummary.h"
#include "documents/FormCQuoteSummary.h"

void openQuoteSummary(TDM *dm, QWidget *parent)
{
    runGuarded(parent, [&] {
        TfrmQuoteSummary dialog(dm, parent);
        dialog.exec();
    });
}

void openJobSummary(TDM *dm, QWidget *parent)
{
    runGuarded(parent, [&] {
        TfrmJobSummary dialog(dm, parent);
        dialog.exec();
    });
}

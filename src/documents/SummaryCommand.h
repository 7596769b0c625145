#pragma once

class QWidget;
class TDM;

// The main window's "&Reports" ▸ "Summary" commands: open the quote or job summary's criteria
// dialog modally. Errors reach the standard error box.
void openQuoteSummary(TDM *dm, QWidget *parent);
void openJobSummary(TDM *dm, QWidget *parent);

#pragma once

class QWidget;
class TDM;

// The main window's Print command (menu "&Print", tool-bar "Print"): saves the current quote, or
// job when jobPage is set, with its client and pending lines, then opens the print dialog modally.
// The caller gives the focus to its active grid first, so that an edit field writes its text.
// Errors of the save reach the standard error box and the dialog does not open.
void printJobQuote(TDM *dm, QWidget *parent, bool jobPage);

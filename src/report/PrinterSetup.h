#pragma once

#include <functional>

class QDialog;
class QPrinter;
class QWidget;

// The printer set-up dialogs a report offers before printing. The choices stay in the QPrinter,
// which the caller keeps for as long as they should hold.
namespace PrinterSetup {

// The print dialog: printer, copies, page range (from 1 to pageCount once a run has finished;
// pass 0 while none has, and the range then runs from 0 to 9999), and through its properties paper,
// source and orientation. True when the user accepted. prepare, when given, fits the dialog out
// before it shows (its help key, for one).
using Prepare = std::function<void(QDialog &dialog)>;
bool exec(QPrinter &printer, QWidget *parent, int pageCount, const Prepare &prepare = {});

// The page set-up dialog: paper size, source and orientation. True when the user accepted.
bool execPageSetup(QPrinter &printer, QWidget *parent);

// Prepares printer with the defaults a report starts from: one copy, no duplex, all pages.
void applyDefaults(QPrinter &printer);

} // namespace PrinterSetup

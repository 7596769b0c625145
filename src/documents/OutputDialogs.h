#pragma once

#include <QString>

#include <functional>

class QPrinter;
class QWidget;

// The standard dialogs that report output opens: the printer set-up and the report file choosers.
// Each is a replaceable function, so tests answer them without a real dialog ever showing.
struct OutputDialogs
{
    // The printer dialog; pageCount 0 while no run has finished. True when accepted.
    std::function<bool(QPrinter &printer, QWidget *parent, int pageCount)> printerSetup;
    // The file to save to or open, or an empty name when the user cancels.
    std::function<QString(QWidget *parent, const QString &filter)> saveFileName;
    std::function<QString(QWidget *parent, const QString &filter)> openFileName;

    // The real dialogs.
    static OutputDialogs standard();
};

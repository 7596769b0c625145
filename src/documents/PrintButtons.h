#pragma once

class QComboBox;
class QGroupBox;
class QPushButton;
class QWidget;

// The report type choice and the Print, Close and Printer Setup buttons of the print dialogs
// (quote or job, and the summaries), made in that order as children of parent.
struct PrintButtons
{
    QGroupBox *typeBox;
    QComboBox *reportType;
    QPushButton *print;
    QPushButton *close;
    QPushButton *printerSetup;

    explicit PrintButtons(QWidget *parent);
};

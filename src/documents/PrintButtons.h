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

// A report run from a print dialog: while it lasts the dialog counts as running and its Print and
// Printer Setup buttons are off; everything is put back when the run ends, also by an error.
class PrintRunScope
{
public:
    PrintRunScope(bool &running, QPushButton *print, QPushButton *printerSetup);
    ~PrintRunScope();
    PrintRunScope(const PrintRunScope &) = delete;
    PrintRunScope &operator=(const PrintRunScope &) = delete;

private:
    void setRunning(bool running);

    bool &m_running;
    QPushButton *m_print;
    QPushButton *m_printerSetup;
};

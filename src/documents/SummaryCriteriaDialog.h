#pragma once

#include "controls/window/TQVFormSrc.h"
#include "documents/OutputDialogs.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QComboBox;
class QPushButton;
class SummaryReport;

// The criteria dialog of a summary: the statuses to list, the destination, and the runs. It owns
// its summary report from its opening to its closing, so printer choices hold that long, and it
// stays open after a run.
class SummaryCriteriaDialog : public QDialog, public TQVForm
{
    Q_OBJECT

public:
    static constexpr int HelpContext = 25;

    ~SummaryCriteriaDialog() override;

    SummaryReport &report() { return *m_report; }
    void setOutputDialogs(const OutputDialogs &dialogs);

    void btnPrintClick();
    void btnPrinterSetupClick();
    void btnCloseClick();

    void reject() override;

protected:
    SummaryCriteriaDialog(std::unique_ptr<SummaryReport> report,
        const QString &objectName,
        const QString &caption,
        const QString &statusCaption,
        QWidget *parent);

private:
    std::unique_ptr<SummaryReport> m_report;
    QCheckBox *m_completed;
    QCheckBox *m_pending;
    QCheckBox *m_progress;
    QCheckBox *m_hold;
    QComboBox *m_reportType;
    QPushButton *m_print;
    QPushButton *m_printerSetup;
    bool m_running = false;
};

#pragma once

#include "report/ReportOutput.h"
#include "report/ReportRunner.h"

#include <QPointer>

class QProgressDialog;
class QWidget;

// The progress of a run to the printer: "Preparing page n" while the pages render, then "Printing
// page n of m" as they are sent, with a Cancel button that stops either. It keeps the program
// answering between pages, and goes when it goes out of scope.
class PrintProgress
{
public:
    explicit PrintProgress(QWidget *parent);
    ~PrintProgress();
    PrintProgress(const PrintProgress &) = delete;
    PrintProgress &operator=(const PrintProgress &) = delete;

    // For the run's page hook: false once the user has cancelled.
    bool pageRendered(int pages);
    // For the printing's progress hook: false once the user has cancelled.
    bool pageSent(int page, int pageCount);
    bool wasCancelled() const;

    ReportRunner::PageHook pageHook();
    ReportOutput::ProgressHook progressHook();

private:
    QPointer<QProgressDialog> m_dialog;
    bool m_cancelled = false;
};

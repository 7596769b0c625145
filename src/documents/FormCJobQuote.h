#pragma once

#include "controls/window/TQVFormSrc.h"
#include "documents/OutputDialogs.h"

#include <QDialog>

#include <memory>

class DocumentReport;
class IncrementalSearchBox;
class QCheckBox;
class QComboBox;
class QPushButton;
class TDM;
class TQVDataSource;
class TQVDBGrid;
class TQVPageControl;
class TqrepJobQuote;
class TqrepQuote;

// The print dialog of quotes and jobs: the user picks a quote or job in its grid, chooses what the
// document shows and where it goes, and prints it; the dialog stays open for further runs, and its
// printer choices hold until it closes.
class TfrmCJobQuotes : public QDialog, public TQVForm
{
    Q_OBJECT

public:
    static constexpr int HelpContext = 24;
    static constexpr int SearchDropDownWidth = 370;

    TfrmCJobQuotes(TDM *dm, QWidget *parent = nullptr);
    ~TfrmCJobQuotes() override;

    TqrepQuote &quoteReport() { return *m_quote; }
    TqrepJobQuote &jobReport() { return *m_job; }
    // The dialogs both documents and their previews open.
    void setOutputDialogs(const OutputDialogs &dialogs);

    // Opens on the jobs or the quotes, the one with this key selected when it is listed.
    void showDocument(bool job, double key);

    void btnPrintClick();
    void btnPrinterSetupClick();
    void btnCloseClick();
    void pgcJobsQuotesChange();

    void reject() override;

private:
    bool jobPage() const;
    DocumentReport &activeReport();

    TDM *m_dm;
    std::unique_ptr<TqrepQuote> m_quote;
    std::unique_ptr<TqrepJobQuote> m_job;
    TQVDataSource *m_quotesSource;
    TQVDataSource *m_jobsSource;
    TQVPageControl *m_pages;
    TQVDBGrid *m_quotesGrid;
    TQVDBGrid *m_jobsGrid;
    IncrementalSearchBox *m_searchQuotes;
    IncrementalSearchBox *m_searchJobs;
    QCheckBox *m_logo;
    QCheckBox *m_codes;
    QCheckBox *m_groups;
    QCheckBox *m_notes;
    QComboBox *m_reportType;
    QPushButton *m_print;
    QPushButton *m_printerSetup;
    bool m_running = false;
};

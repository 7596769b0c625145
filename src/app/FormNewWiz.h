#pragma once

#include "app/FormMDWizard.h"

#include <optional>

class QCheckBox;
class TDM;
class TQVDataSource;
class TQVDBGrid;

// Completes the job the main window has just inserted. The job may be based on a quote chosen in
// the wizard's quote list: Next takes the quote's description, status, priority, client, tax rate,
// discount and sales person, and Finish copies the quote's material and labour lines into the job.
class TfrmNewJobWiz : public TfrmWiz
{
    Q_OBJECT

public:
    static constexpr int HelpContext = 15;

    TfrmNewJobWiz(TDM *dm, QWidget *parent = nullptr);

    void chkQuoteClick();

protected:
    void afterNext() override;
    void finishRecord() override;
    void cancelRecord() override;

private:
    QWidget *addQuotePage();
    void takeQuoteDetails();
    std::optional<double> chosenQuote() const; // the key of the quote chosen in the list

    TDM *m_dm;
    TQVDataSource *m_jobs;
    TQVDataSource *m_clients;
    TQVDataSource *m_quotes;
    QCheckBox *m_basedOnQuote = nullptr;
    TQVDBGrid *m_quoteGrid = nullptr;
    std::optional<double> m_takenQuote; // the quote whose details the job holds
};

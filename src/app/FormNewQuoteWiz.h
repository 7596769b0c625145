#pragma once

#include "app/FormMDWizard.h"

class TDM;
class TQVDataSource;

// Completes the quote the main window has just inserted: its number, details and client. Finish
// stores it; Cancel discards it.
class TfrmNewQuoteWiz : public TfrmWiz
{
    Q_OBJECT

public:
    static constexpr int HelpContext = 10;

    TfrmNewQuoteWiz(TDM *dm, QWidget *parent = nullptr);

protected:
    void finishRecord() override;
    void cancelRecord() override;

private:
    TDM *m_dm;
    TQVDataSource *m_quotes;
    TQVDataSource *m_clients;
};

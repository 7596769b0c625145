#pragma once

#include "controls/window/TQVFormSrc.h"

#include <QDialog>

class QCheckBox;
class QPushButton;
class TDM;
class TQVDataSource;
class TQVPageControl;
class TQVTable;

// "Options": whether completed quotes and jobs show, the tax table, how quote and job numbers
// are made, and the footers printed under quotes and jobs. OK stores everything; Cancel only
// closes and leaves what was typed pending in the tables.
class TfrmOptions : public QDialog, public TQVForm
{
    Q_OBJECT

public:
    enum Page
    {
        GeneralPage,
        TaxRatesPage,
        QuotePage,
        JobsPage
    };

    explicit TfrmOptions(TDM *dm, QWidget *parent = nullptr);

    TQVPageControl *pages() const { return m_pages; }
    void showPage(Page page);

    void btnOKClick();
    void btnCancelClick();

private:
    QWidget *generalPage();
    QWidget *taxRatesPage();
    QWidget *numberPage(bool jobs);
    TQVDataSource *link(const QString &name, TQVTable *table);

    TDM *m_dm;
    TQVDataSource *m_taxRates;
    TQVDataSource *m_nextQuote;
    TQVDataSource *m_nextJob;
    TQVDataSource *m_business;
    TQVPageControl *m_pages;
    QPushButton *m_ok = nullptr;
    QCheckBox *m_hideQuotes = nullptr;
    QCheckBox *m_hideJobs = nullptr;
};

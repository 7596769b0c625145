#pragma once

#include "controls/window/TQVFormSrc.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QPushButton;
class TDM;
class TQVDataSource;
class TQVPageControl;
class TQVTable;

// "Options": whether completed quotes and jobs show, the tax table, how quote and job numbers
// are made, the footers printed under quotes and jobs, and pages other parts add (e-mail). OK
// stores everything; Cancel only closes and leaves what was typed pending in the tables.
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
    // Adds a page that another part of the program owns (the e-mail page); OK runs store with
    // everything else, and a store that throws keeps the dialog open.
    void addPage(QWidget *page, const QString &caption, std::function<void()> store);
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
    QList<std::function<void()>> m_stores;
};

#pragma once

#include <QWidget>

class QToolButton;
class TQVDataSource;
class TQVDBEdit;
class TQVDBLookupCombo;
class TQVDBRichEdit;
class TQVDBText;

// The "Summary" page: the notes, tax rate and discount of the current quote or job and the totals
// the data module keeps from its lines.
class SummaryPage : public QWidget
{
    Q_OBJECT

public:
    static constexpr int HelpContext = 13;

    SummaryPage(TQVDataSource *taxRates, QWidget *parent = nullptr);

    void bindHeader(TQVDataSource *header, bool job);

    QToolButton *changeTaxRateButton() const { return m_changeTaxRate; }

private:
    TQVDBRichEdit *m_notes;
    TQVDBLookupCombo *m_taxRate;
    QToolButton *m_changeTaxRate;
    TQVDBEdit *m_discount;
    TQVDBText *m_totalLabour;
    TQVDBText *m_totalMaterials;
    TQVDBText *m_tax;
    TQVDBText *m_grandTotal;
};

// The summary strip under the detail pages: the totals again, and a job's progress.
class SummaryStrip : public QWidget
{
    Q_OBJECT

public:
    // The strip follows the job's progress whichever list shows.
    SummaryStrip(TQVDataSource *jobs, QWidget *parent = nullptr);

    void bindHeader(TQVDataSource *header, bool job);

private:
    TQVDBText *m_totalLabour;
    TQVDBText *m_totalMaterials;
    TQVDBText *m_grandTotal;
    QWidget *m_progressLabel;
    QWidget *m_progress;
};

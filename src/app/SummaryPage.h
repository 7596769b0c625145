#pragma once

#include <QWidget>

class QToolButton;
class TQVDataSource;
class FieldLineEdit;
class FieldLookupComboBox;
class TQVDBRichEdit;
class FieldLabel;

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
    FieldLookupComboBox *m_taxRate;
    QToolButton *m_changeTaxRate;
    FieldLineEdit *m_discount;
    FieldLabel *m_totalLabour;
    FieldLabel *m_totalMaterials;
    FieldLabel *m_tax;
    FieldLabel *m_grandTotal;
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
    FieldLabel *m_totalLabour;
    FieldLabel *m_totalMaterials;
    FieldLabel *m_grandTotal;
    QWidget *m_progressLabel;
    QWidget *m_progress;
};

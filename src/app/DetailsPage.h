#pragma once

#include <QWidget>

class QLabel;
class QToolButton;
class TQVDataSource;
class TQVDBComboBox;
class TQVDBDateEdit;
class TQVDBEdit;
class TQVDBLookupCombo;
class TQVDBSpinEdit;

// The "Details" page: number, description, dates, priority, status, sales person and, for jobs,
// the percentage complete of the current quote or job.
class DetailsPage : public QWidget
{
    Q_OBJECT

public:
    DetailsPage(TQVDataSource *salesSource, QWidget *parent = nullptr);

    // Binds the page to the quote or the job header; the percentage shows only for jobs.
    void bindHeader(TQVDataSource *header, bool job);

    static QStringList priorityTexts();
    static QVariantList priorityValues();

    QToolButton *addSalesPersonButton() const { return m_addSalesPerson; }

private:
    TQVDBEdit *m_number;
    TQVDBEdit *m_description;
    TQVDBDateEdit *m_date;
    TQVDBDateEdit *m_dueDate;
    TQVDBComboBox *m_priority;
    TQVDBComboBox *m_status;
    TQVDBLookupCombo *m_salesPerson;
    QToolButton *m_addSalesPerson;
    QLabel *m_percentLabel;
    TQVDBSpinEdit *m_percent;
    QLabel *m_percentSign;
};

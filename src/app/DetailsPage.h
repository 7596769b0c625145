#pragma once

#include <QWidget>

class QLabel;
class QToolButton;
class TQVDataSource;
class FieldComboBox;
class FieldDateEdit;
class FieldLineEdit;
class FieldLookupComboBox;
class FieldSpinBox;

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
    FieldLineEdit *m_number;
    FieldLineEdit *m_description;
    FieldDateEdit *m_date;
    FieldDateEdit *m_dueDate;
    FieldComboBox *m_priority;
    FieldComboBox *m_status;
    FieldLookupComboBox *m_salesPerson;
    QToolButton *m_addSalesPerson;
    QLabel *m_percentLabel;
    FieldSpinBox *m_percent;
    QLabel *m_percentSign;
};

#pragma once

#include <QDialog>

class QPushButton;
struct PriceListPlan;

// The preview of a price-list import: what will be added and changed, the headings and units it
// adds, and every refused row with its line and reason. Only a file without refusals can be
// imported from here.
class PriceListImportDialog : public QDialog
{
    Q_OBJECT

public:
    PriceListImportDialog(const PriceListPlan &plan, QWidget *parent = nullptr);

    // Shows the preview modally; true when the user chose to import.
    static bool confirm(QWidget *parent, const PriceListPlan &plan);

private:
    QPushButton *m_import;
};

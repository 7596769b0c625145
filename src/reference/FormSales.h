#pragma once

#include "controls/window/TQVFormSrc.h"

#include <QDialog>

class TDM;
class TQVDataSource;
class FieldLineEdit;
class TQVDBGrid;

// "Sales People": the list of the business's sales people, with one edit for the name and the
// commands to add, store, drop and delete.
class TfrmSales : public QDialog, public TQVForm
{
    Q_OBJECT

public:
    explicit TfrmSales(TDM *dm, QWidget *parent = nullptr);

    void btnSaveClick();
    void btnNewClick();
    void btnDeleteClick();
    void btnCancelClick();
    void btnCloseClick();

private:
    TQVDataSource *m_sales;
    TQVDBGrid *m_grid;
    FieldLineEdit *m_name;
};

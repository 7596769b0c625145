#pragma once

#include "controls/window/TQVFormSrc.h"

#include <QDialog>

class TDM;
class TQVDataSource;
class FieldLineEdit;
class TQVDBGrid;

// The unit descriptions that materials are measured in: a list, one description edited below it,
// and commands that save, add, delete and cancel. Closing leaves a pending change pending.
class TfrmUnits : public QDialog, public TQVForm
{
    Q_OBJECT

public:
    static constexpr int HelpContext = 1004;

    explicit TfrmUnits(TDM *dm, QWidget *parent = nullptr);
    ~TfrmUnits() override;

    void btnSaveClick();
    void btnNewClick();
    void btnDeleteClick();
    void btnCancelClick();
    void btnCloseClick();

private:
    TDM *m_dm;
    TQVDataSource *m_units;
    TQVDBGrid *m_grid;
    FieldLineEdit *m_description;
};

#pragma once

#include "controls/window/TQVFormSrc.h"

#include <QDialog>

class LogoChooser;
class QPushButton;
class QStackedWidget;
class TDM;
class TQVDataSource;

// "Setup Company": the business's details on the first step and its logo on the second; Finish
// stores the business record, Cancel drops what was changed.
class TfrmSetupCompany : public QDialog, public TQVForm
{
    Q_OBJECT

public:
    explicit TfrmSetupCompany(TDM *dm, QWidget *parent = nullptr);

    LogoChooser *logoChooser() const { return m_logo; }
    int step() const;

    void btnBackClick();
    void btnNextClick();
    void btnFinishClick();
    void btnCancelClick();

    void reject() override;

private:
    void showStep(int step);

    TDM *m_dm;
    TQVDataSource *m_business;
    QStackedWidget *m_steps;
    LogoChooser *m_logo;
    QPushButton *m_back;
    QPushButton *m_next;
};

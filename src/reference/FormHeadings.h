#pragma once

#include "controls/window/TQVFormSrc.h"

#include <QDialog>

class QPushButton;
class TDM;
class TQVDataSource;
class FieldLineEdit;
class TQVDBGrid;

// The group headings that materials and labour rates are listed under: a list, one description
// edited below it, and buttons that add, delete, cancel and save. Escape cancels the pending
// change rather than closing, and Enter saves it; closing leaves a pending change pending.
class TfrmHeadings : public QDialog, public TQVForm
{
    Q_OBJECT

public:
    static constexpr int HelpContext = 1004;

    explicit TfrmHeadings(TDM *dm, QWidget *parent = nullptr);
    ~TfrmHeadings() override;

    void btnCloseClick();
    void btnNewClick();
    void btnDeleteClick();
    void btnCancelClick();
    void btnSaveClick();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    TDM *m_dm;
    TQVDataSource *m_headings;
    TQVDBGrid *m_grid;
    FieldLineEdit *m_description;
    QPushButton *m_cancel;
    QPushButton *m_save;
};

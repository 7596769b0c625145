#pragma once

#include "reference/LineSelectDialog.h"

// "Select Labour": a labour line of a quote or a job, whichever labour view the command has put
// into edit or insert (the job's when both are). The rate picked from the labour price list, the
// line's own description, its rate, hours and charge, its notes. Closing with a labour line still
// pending asks whether to save it; it is saved only on Yes.
class TfrmLabourSelect : public LineSelectDialog
{
    Q_OBJECT

public:
    static constexpr int HelpContext = 11;

    explicit TfrmLabourSelect(TDM *dm, QWidget *parent = nullptr);

protected:
    void fillLine() override;
    void browsePriceList() override;
    bool closeCheck() override;

private:
    QWidget *chargeGroup();
    void FormShow();
    bool settleOther(TQVTable *line);

    TQVDataSource *m_jobLabour;
    TQVDataSource *m_quoteLabour;
};

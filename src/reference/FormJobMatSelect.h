#pragma once

#include "reference/MaterialLineDialog.h"

// "Job Materials": a material line of the current job.
class TfrmJobMatSelect : public MaterialLineDialog
{
    Q_OBJECT

public:
    static constexpr int HelpContext = 17;

    explicit TfrmJobMatSelect(TDM *dm, QWidget *parent = nullptr);

protected:
    void fillLine() override;
};

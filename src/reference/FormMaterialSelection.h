#pragma once

#include "reference/MaterialLineDialog.h"

// "Quote Material Selection": a material line of the current quote.
class TfrmMaterialSelect : public MaterialLineDialog
{
    Q_OBJECT

public:
    static constexpr int HelpContext = 12;

    explicit TfrmMaterialSelect(TDM *dm, QWidget *parent = nullptr);

protected:
    void fillLine() override;
};

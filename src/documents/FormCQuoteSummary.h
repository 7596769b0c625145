#pragma once

#include "documents/SummaryCriteriaDialog.h"

class TDM;

// "Criteria for Quote Summary": runs the quote summary.
class TfrmQuoteSummary : public SummaryCriteriaDialog
{
    Q_OBJECT

public:
    explicit TfrmQuoteSummary(TDM *dm, QWidget *parent = nullptr);
};

#pragma once

#include "documents/SummaryCriteriaDialog.h"

class TDM;

// "Criteria for Job Summary": runs the job summary.
class TfrmJobSummary : public SummaryCriteriaDialog
{
    Q_OBJECT

public:
    explicit TfrmJobSummary(TDM *dm, QWidget *parent = nullptr);
};

#pragma once

#include "documents/SummaryReport.h"

// The job summary, titled "Job Summary".
class TqrepJobSummary : public SummaryReport
{
public:
    explicit TqrepJobSummary(TDM *dm);
};

#pragma once

#include "documents/SummaryReport.h"

// The quote summary, titled "Quote Summary".
class TqrepQuoteSummary : public SummaryReport
{
public:
    explicit TqrepQuoteSummary(TDM *dm);
};

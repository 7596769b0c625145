#include "documents/QRJobSummary.h"

using namespace Qt::StringLiterals;

TqrepJobSummary::TqrepJobSummary(TDM *dm)
    : SummaryReport(dm,
        { u"Job Summary"_s, u"Jobs"_s, u"Job_No"_s, u"JobDescription"_s, u"JobTotal"_s,
            u"Job #"_s })
{ }

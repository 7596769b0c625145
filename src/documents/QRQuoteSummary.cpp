#include "documents/QRQuoteSummary.h"

using namespace Qt::StringLiterals;

TqrepQuoteSummary::TqrepQuoteSummary(TDM *dm)
    : SummaryReport(dm,
        { u"Quote Summary"_s, u"Quotes"_s, u"Quote_No"_s, u"QuoteDescription"_s, u"QuoteTotal"_s,
            u"Quote #"_s })
{ }

#include "documents/FormCQuoteSummary.h"

#include "documents/QRQuoteSummary.h"

using namespace Qt::StringLiterals;

TfrmQuoteSummary::TfrmQuoteSummary(TDM *dm, QWidget *parent)
    : SummaryCriteriaDialog(std::make_unique<TqrepQuoteSummary>(dm),
        u"frmQuoteSummary"_s,
        u"Criteria for Quote Summary"_s,
        u"Display Quotes with Status "_s,
        parent)
{ }

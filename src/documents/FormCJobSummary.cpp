#include "documents/FormCJobSummary.h"

#include "documents/QRJobSummary.h"

using namespace Qt::StringLiterals;

TfrmJobSummary::TfrmJobSummary(TDM *dm, QWidget *parent)
    : SummaryCriteriaDialog(std::make_unique<TqrepJobSummary>(dm),
        u"frmJobSummary"_s,
        u"Criteria for Job Summary"_s,
        u"Display Jobs with Status "_s,
        parent)
{ }

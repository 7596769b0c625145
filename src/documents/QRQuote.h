#pragma once

#include "documents/DocumentReport.h"

// The quote document, titled "Quote".
class TqrepQuote : public DocumentReport
{
public:
    explicit TqrepQuote(TDM *dm);

    static DocumentGeometry quoteGeometry();

protected:
    QString querySql() const override;
};

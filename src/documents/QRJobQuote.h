#pragma once

#include "documents/DocumentReport.h"

// The job document, titled "Job Sheet".
class TqrepJobQuote : public DocumentReport
{
public:
    explicit TqrepJobQuote(TDM *dm);

    static DocumentGeometry jobGeometry();

protected:
    QString querySql() const override;
};

#include "data/DataModuleMain.h"

#include "engine/Field.h"

using namespace Qt::StringLiterals;

// A job based on a quote: what the job takes from the quote besides its lines.
void TDM::CopyQuoteDetailsToJob()
{
    const bool none = tblQuotes->isEmpty();
    const auto take = [&](const QString &jobField, const QString &quoteField,
                          const QVariant &empty) {
        tblJobs->fieldByName(jobField)->setValue(
            none ? empty : tblQuotes->fieldByName(quoteField)->value());
    };
    // Without any quote the job gets empty texts and zeros.
    take(u"JobDescription"_s, u"QuoteDescription"_s, QString());
    take(u"Status"_s, u"Status"_s, QString());
    take(u"Priority"_s, u"Priority"_s, 0);
    take(u"Client_ID"_s, u"Client_ID"_s, 0);
    if (none)
        return;
    // The job is charged as quoted: the same tax rate, discount and sales person.
    for (const QString &field : { u"TaxRate"_s, u"Discount"_s, u"SalesPerson"_s })
        tblJobs->fieldByName(field)->setValue(tblQuotes->fieldByName(field)->value());
}

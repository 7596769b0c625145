#pragma once

#include "report/ReportBand.h"

// A level of grouping: a key computed for every row, a header band printed before the first row
// of each run of rows with an equal key, and a footer band printed after its last row. A key that
// comes back to an earlier value starts a new group (rows keyed A, B, A make three groups).
class ReportGroup
{
public:
    using KeyFunction = std::function<QVariant(const ReportContext &context)>;

    explicit ReportGroup(KeyFunction key);
    ReportGroup(const ReportGroup &) = delete;
    ReportGroup &operator=(const ReportGroup &) = delete;

    QVariant key(const ReportContext &context) const { return m_key(context); }

    // The header and footer bands, created on first call; nullptr until then.
    ReportBand &addHeader(double height);
    ReportBand &addFooter(double height);
    ReportBand *header() const { return m_header.get(); }
    ReportBand *footer() const { return m_footer.get(); }

private:
    KeyFunction m_key;
    std::unique_ptr<ReportBand> m_header;
    std::unique_ptr<ReportBand> m_footer;
};

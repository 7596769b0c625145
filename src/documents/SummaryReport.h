#pragma once

#include "documents/QRepQVMASTER.h"
#include "report/ReportDataSource.h"

#include <QVariantList>

class TDM;

// What the quote and the job summary differ in: the header table and the names of its fields.
struct SummaryKind
{
    QString title; // "Quote Summary"
    QString table; // "Quotes", as the query names the header table
    QString numberField; // "Quote_No"
    QString descriptionField; // "QuoteDescription"
    QString totalField; // "QuoteTotal"
    QString numberTitle; // "Quote #"
};

// The summary query of one run: its text line by line, with the status codes bound to the ?
// placeholders in order.
struct SummaryQuery
{
    QStringList lines;
    QVariantList values;

    QString sql() const { return lines.join(u'\n'); }
};

// A landscape listing of the quotes or jobs whose status the "COMPLETE", "PROGRESS", "PENDING"
// and "HOLD" parameters select, grouped by status, with labour, materials and their sum per
// record, per status and over the whole report. Only headers with a client record are listed.
class SummaryReport : public TQrepMaster
{
public:
    SummaryReport(TDM *dm, const SummaryKind &kind);

    // The parameter keys in the order they are filled, with the status code each selects.
    static const QList<std::pair<QString, QString>> &statusParams();
    // The word printed for a status code; any other code prints unchanged.
    static QString statusWord(const QString &code);
    // The mask the group and closing sums print with.
    static QString sumMask() { return QStringLiteral("$#,###,###.00"); }

    // The query for the current parameters.
    SummaryQuery query() const;
    // The rows of that query, with the calculated VTotalCost.
    QList<QVariantMap> readRows() const;

    const SummaryKind &kind() const { return m_kind; }

protected:
    ReportDataSource &dataSource() override { return m_rows; }

private:
    void buildPageHeader();
    void buildColumnHeader();
    void buildGroup();
    void buildRecord();
    void buildClosing();

    TDM *m_dm;
    SummaryKind m_kind;
    ListDataSource m_rows;
};

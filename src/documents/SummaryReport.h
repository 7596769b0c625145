#pragma once

#include "documents/QRepQVMASTER.h"
#include "report/ReportDataSource.h"

#include <QHash>
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

// The rows of a summary query as a run reads them, straight from the query's result: the dates
// as dates and the calculated VTotalCost = TotalLabour + TotalMaterials (tax and discount are not
// part of the cost).
class SummaryRows : public ReportDataSource
{
public:
    void setResult(const QStringList &fields, QVector<QVector<QVariant>> rows);
    qsizetype size() const { return m_rows.size(); }

    void first() override { m_row = 0; }
    void next() override { ++m_row; }
    bool eof() const override { return m_row >= m_rows.size(); }
    QStringList fieldNames() const override;
    QVariant value(const QString &fieldName) const override;

private:
    QStringList m_fields;
    QHash<QString, int> m_columns;
    QVector<QVector<QVariant>> m_rows;
    qsizetype m_row = 0;
    int m_labour = -1;
    int m_materials = -1;
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
    // Runs that query; its rows are what the next run prints. Returns the number of rows.
    qsizetype load();
    const SummaryRows &rows() const { return m_rows; }

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
    SummaryRows m_rows;
};

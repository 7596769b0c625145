#pragma once

#include "documents/DocumentGeometry.h"
#include "documents/QRepQVMASTER.h"
#include "report/ReportDataSource.h"

#include <QVariantMap>

class ReportImage;
class TDM;

// What a document shows besides its lines: the check boxes of the print dialog, with its defaults.
struct DocumentOptions
{
    bool logo = true; // the business logo
    bool codes = false; // the code column
    bool groups = false; // a heading band over each run of lines under one heading
    bool notes = false; // each line's notes
};

// The design the quote and the job document share: the business and client in the page header,
// the column titles, a heading band per run of lines under one heading, one band per printed line
// with its notes, and the closing band with the header notes and totals. Each run reads the
// document named by the "NO" parameter afresh.
class DocumentReport : public TQrepMaster
{
public:
    DocumentReport(TDM *dm, const DocumentGeometry &geometry);

    // Sets the parameters of the next run: the document numbered number, showing what options ask.
    void setRun(const QString &number, const DocumentOptions &options);
    // Refuses (EVelbric) to print a document whose header names no client.
    void requireClient(bool hasClient) const;

    // The document's rows for number: header, line, heading and client fields and the calculated
    // totals, in the order the lines were added.
    QList<QVariantMap> readRows(const QString &number) const;

    // The document goes to its client's default address, as "Quote Q-500 from <business>", in
    // "Quote Q-500.pdf".
    ReportMailing mailing() const override;

    ReportImage &logo() { return *m_logo; }
    const DocumentGeometry &geometry() const { return m_geometry; }

protected:
    // The document query: its statement with the number bound as :no.
    virtual QString querySql() const = 0;
    // The names of the query's result fields: the header's own first, then those both kinds share.
    QStringList resultFields() const;

    ReportDataSource &dataSource() override { return m_rows; }

private:
    void buildPageHeader();
    void buildColumnHeader();
    void buildLines();
    void buildClosing();
    void buildPageFooter();
    bool beforeRun();
    void loadLogo();

    TDM *m_dm;
    DocumentGeometry m_geometry;
    ListDataSource m_rows;
    QVariantMap m_business;
    ReportImage *m_logo = nullptr;
};

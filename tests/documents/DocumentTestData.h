#pragma once

#include "DataDirFixture.h"
#include "report/ReportPage.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <memory>

class DocumentReport;

// One printed line written straight into a report-lines file.
struct HandLine
{
    HandLine(QString heading,
        QString code,
        QString description,
        double qty = 1,
        double cost = 0,
        QString notes = {})
        : heading(std::move(heading))
        , code(std::move(code))
        , description(std::move(description))
        , qty(qty)
        , cost(cost)
        , notes(std::move(notes))
    { }

    QString heading;
    QString code;
    QString description;
    double qty = 1;
    double cost = 0;
    QString notes;
};

// A data directory holding a business, a client and quotes or jobs written straight into the
// table files before a data module starts on it: documents of exactly known content.
class HandMadeDocuments
{
public:
    static constexpr double clientId = 11;

    HandMadeDocuments();

    // A quote (or job) with its header totals and printed lines; a null client leaves it without.
    void addDocument(bool job,
        const QString &number,
        const QVariant &client,
        const QList<HandLine> &lines,
        double total = 0,
        double discount = 0,
        double tax = 0);
    std::unique_ptr<TDM> start() { return data.start(); }

    DataDirFixture data;

private:
    double headingId(const QString &description);
    double nextKey() { return ++m_key; }

    QList<std::pair<QString, double>> m_headings;
    double m_key = 100;
};

namespace DocumentTestSupport {

// Runs report over the document number with the given flags.
RenderedReport runDocument(DocumentReport &report,
    const QString &number,
    bool logo = true,
    bool codes = true,
    bool groups = false,
    bool notes = false);
QList<PageText> textsOf(const RenderedReport &report);
// The page text equal to text whose box's top-left corner is at (x, y) on the paper, if any.
std::optional<PageText> textAt(const ReportPage &page, const QString &text, double x, double y);
// The text a PDF file holds, or a null string when pdftotext is missing.
QString pdfText(const QString &path);

} // namespace DocumentTestSupport

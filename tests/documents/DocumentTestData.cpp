#include "DocumentTestData.h"

#include "documents/DocumentReport.h"

#include <QProcess>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

QString quoted(const QString &text)
{
    return u"'"_s + QString(text).replace(u"'"_s, u"''"_s) + u"'"_s;
}

QString sqlValue(const QVariant &value)
{
    if (value.isNull())
        return u"NULL"_s;
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Int)
        return QString::number(value.toDouble(), 'g', 17);
    return quoted(value.toString());
}

} // namespace

HandMadeDocuments::HandMadeDocuments()
{
    data.exec(u"Business.db"_s,
        u"INSERT INTO data (Company_ID, Company_Name, Phone_No, Phone_Fax, QuoteFooter, JobFooter) "
        "VALUES (1, 'Kestrel Plumbing', '555 0101', '555 0102', 'Quote footer text', "
        "'Job footer text')"_s);
    data.exec(u"Clients.DB"_s,
        u"INSERT INTO data (Client_ID, Contact, Company_Name, Bus_Address, Phone_Bus, "
        u"Phone_BusFax) "
        "VALUES (11, 'Maeve Lockhart', 'Juniper Lane Florist', '4 Mill Street', '555 0200', "
        "'555 0201')"_s);
}

double HandMadeDocuments::headingId(const QString &description)
{
    for (const auto &[name, id] : std::as_const(m_headings)) {
        if (name == description)
            return id;
    }
    const double id = nextKey();
    m_headings.append({ description, id });
    data.exec(u"Headings.db"_s,
        u"INSERT INTO data (Heading_ID, Description) VALUES (%1, %2)"_s.arg(id).arg(
            quoted(description)));
    return id;
}

void HandMadeDocuments::addDocument(bool job,
    const QString &number,
    const QVariant &client,
    const QList<HandLine> &lines,
    double total,
    double discount,
    double tax)
{
    const QString header = job
        ? u"INSERT INTO data (Job_ID, Job_No, Client_ID, Date, DueDate, JobDescription, JobTotal, "
          "TotalSalesTax, Discount, SalesPerson, Notes) VALUES (%1)"_s
        : u"INSERT INTO data (Quote_ID, Quote_No, Client_ID, Date, DueDate, QuoteDescription, "
          "QuoteTotal, TotalSalesTax, Discount, SalesPerson, Notes) VALUES (%1)"_s;
    const QVariantList values { nextKey(), number, client, u"2025-03-04"_s, u"2025-03-11"_s,
        u"Work for "_s + number, total, tax, discount, u"Orla Pennick"_s, u"Header notes"_s };
    QStringList texts;
    for (const QVariant &value : values)
        texts << sqlValue(value);
    data.exec(job ? u"Jobs.DB"_s : u"Quotes.DB"_s, header.arg(texts.join(u", "_s)));
    for (const HandLine &line : lines) {
        const double heading = headingId(line.heading);
        const double id = nextKey();
        const QVariantList row { id, number, line.code, line.description, line.qty, line.cost,
            line.qty * line.cost, id, heading, line.notes };
        QStringList rowTexts;
        for (const QVariant &value : row)
            rowTexts << sqlValue(value);
        data.exec(job ? u"RepJobs.DB"_s : u"RepQte.DB"_s,
            u"INSERT INTO data (ID, Number, Code, Description, Qty, Cost, Total_Cost, Rep_ID, "
            "Heading_ID, Notes) VALUES (%1)"_s.arg(rowTexts.join(u", "_s)));
    }
}

namespace DocumentTestSupport {

RenderedReport runDocument(
    DocumentReport &report, const QString &number, bool logo, bool codes, bool groups, bool notes)
{
    auto flag = [](bool on) { return on ? u"TRUE"_s : u"FALSE"_s; };
    report.Params = QStringList { u"NO="_s + number, u"LOGO="_s + flag(logo),
        u"CODES="_s + flag(codes), u"GROUPS="_s + flag(groups), u"NOTES="_s + flag(notes) };
    return report.run();
}

QList<PageText> textsOf(const RenderedReport &report)
{
    QList<PageText> texts;
    for (const ReportPage &page : report.pages) {
        for (const PagePrimitive &primitive : page.primitives) {
            if (const auto *text = std::get_if<PageText>(&primitive))
                texts << *text;
        }
    }
    return texts;
}

std::optional<PageText> textAt(const ReportPage &page, const QString &text, double x, double y)
{
    for (const PagePrimitive &primitive : page.primitives) {
        const auto *t = std::get_if<PageText>(&primitive);
        if (t && t->text == text && qAbs(t->box.left() - x) < 0.05 && qAbs(t->box.top() - y) < 0.05)
            return *t;
    }
    return std::nullopt;
}

QString pdfText(const QString &path)
{
    if (QStandardPaths::findExecutable(u"pdftotext"_s).isEmpty())
        return {};
    QProcess process;
    process.start(u"pdftotext"_s, { u"-layout"_s, path, u"-"_s });
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace DocumentTestSupport

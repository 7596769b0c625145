#include "documents/SummaryReport.h"

#include "data/DataModuleMain.h"
#include "engine/Exception.h"
#include "engine/ReportQuery.h"
#include "engine/SqlStore.h"
#include "report/ReportContext.h"

#include <QDate>
#include <QLocale>

using namespace Qt::StringLiterals;

namespace {

constexpr double line8 = 3.6;
constexpr double line10 = 4.5;
// A rule of pen width 2, as 2 pixels of a 96 dpi screen.
constexpr double pen2 = 2 * 25.4 / 96;
const QColor navy(0, 0, 128);

QFont arial(int points, bool bold = false)
{
    return QFont(u"Arial"_s, points, bold ? QFont::Bold : QFont::Normal);
}

QString currency(const QVariant &value)
{
    return QLocale().toCurrencyString(value.toDouble());
}

QString shortDate(const QVariant &value)
{
    const QDate date = value.toDate();
    return date.isValid() ? QLocale().toString(date, QLocale::ShortFormat) : QString();
}

// A right-aligned amount whose right edge is at right.
template <class Element> Element &rightAligned(Element &element)
{
    element.setAlignment(Qt::AlignRight | Qt::AlignTop);
    return element;
}

QRectF endingAt(double right, double y, double width = 30)
{
    return QRectF(right - width, y, width, line10);
}

} // namespace

SummaryReport::SummaryReport(TDM *dm, const SummaryKind &kind)
    : m_dm(dm)
    , m_kind(kind)
{
    layout().setTitle(kind.title);
    layout().setOrientation(QPageLayout::Landscape);
    buildPageHeader();
    buildColumnHeader();
    buildGroup();
    buildRecord();
    buildClosing();
    pageFooter().setHeight(6.3);
    setFooterTextTop(0.5);
    layout().setBeforeRun([this](ReportLayout &) {
        m_rows.setResult({}, {});
        load();
        return true;
    });
}

const QList<std::pair<QString, QString>> &SummaryReport::statusParams()
{
    static const QList<std::pair<QString, QString>> keys { { u"COMPLETE"_s, u"C"_s },
        { u"PROGRESS"_s, u"I"_s }, { u"PENDING"_s, u"P"_s }, { u"HOLD"_s, u"H"_s } };
    return keys;
}

QString SummaryReport::statusWord(const QString &code)
{
    if (code == u"C")
        return u"Complete"_s;
    if (code == u"I")
        return u"In Progress"_s;
    if (code == u"P")
        return u"Pending"_s;
    if (code == u"H")
        return u"Hold"_s;
    return code;
}

SummaryQuery SummaryReport::query() const
{
    const QString t = m_kind.table;
    SummaryQuery q;
    // One statement line per line.
    // clang-format off
    q.lines << u" SELECT %1.\"%2\" , Clients.\"Contact\" ,"_s.arg(t, m_kind.numberField)
            << u" Clients.\"Company_Name\" ,"_s
            << u" %1.\"%2\" ,"_s.arg(t, m_kind.descriptionField)
            << u" %1.\"Status\" , %1.\"Discount\" ,"_s.arg(t)
            << u" %1.\"TotalSalesTax\" ,"_s.arg(t)
            << u" %1.\"%2\" ,"_s.arg(t, m_kind.totalField)
            << u" %1.\"TotalLabour\" ,"_s.arg(t)
            << u" %1.\"TotalMaterials\" ,"_s.arg(t)
            << u" %1.\"DueDate\" , %1.\"Date\""_s.arg(t)
            << u"FROM %2 %1 , %3 Clients"_s.arg(t, SqlStore::quoted(t + u".DB"_s),
                   SqlStore::quoted(u"Clients.DB"_s))
            << u"WHERE ( %1.\"Client_ID\" = Clients.\"Client_ID\" )"_s.arg(t);
    // clang-format on

    // The status condition, line by line; the codes are bound, never part of the text.
    const QString condition = u"(%1.\"Status\" = ?)"_s.arg(t);
    bool added = false;
    for (const auto &[key, code] : statusParams()) {
        if (!paramIsTrue(key))
            continue;
        if (key == u"COMPLETE") {
            q.lines << u"and ("_s + condition;
        } else {
            q.lines << (added ? u"or"_s : u"and ("_s);
            q.lines << condition;
        }
        q.values << code;
        added = true;
    }
    if (added)
        q.lines << u")"_s;
    // Headers without a status come first, as they always have; said, since databases differ.
    q.lines << u"ORDER BY %1.\"Status\" NULLS FIRST, %1.\"%2\" NULLS FIRST"_s.arg(
        t, m_kind.numberField);
    return q;
}

qsizetype SummaryReport::load()
{
    const SummaryQuery q = query();
    ReportQuery query(m_dm->DB);
    query.setSql(q.sql());
    for (const QVariant &value : q.values)
        query.addBindValue(value);
    query.exec();

    const QStringList fields { m_kind.numberField, u"Contact"_s, u"Company_Name"_s,
        m_kind.descriptionField, u"Status"_s, u"Discount"_s, u"TotalSalesTax"_s, m_kind.totalField,
        u"TotalLabour"_s, u"TotalMaterials"_s, u"DueDate"_s, u"Date"_s };
    if (query.columnCount() != fields.size())
        throw EDatabaseError(
            u"The summary query returned %1 fields instead of %2."_s.arg(query.columnCount())
                .arg(fields.size()));
    m_rows.setResult(fields, query.rows());
    return m_rows.size();
}

void SummaryRows::setResult(const QStringList &fields, QVector<QVector<QVariant>> rows)
{
    m_fields = fields;
    m_rows = std::move(rows);
    m_row = 0;
    m_columns.clear();
    for (int c = 0; c < fields.size(); ++c)
        m_columns.insert(fields.at(c), c);
    m_labour = m_columns.value(u"TotalLabour"_s, -1);
    m_materials = m_columns.value(u"TotalMaterials"_s, -1);
}

QStringList SummaryRows::fieldNames() const
{
    return m_fields + QStringList { u"VTotalCost"_s };
}

QVariant SummaryRows::value(const QString &fieldName) const
{
    if (eof())
        return {};
    const QVector<QVariant> &row = m_rows.at(m_row);
    if (fieldName == u"VTotalCost") {
        if (m_labour < 0 || m_materials < 0)
            return {};
        return row.at(m_labour).toDouble() + row.at(m_materials).toDouble();
    }
    const int column = m_columns.value(fieldName, -1);
    if (column < 0)
        return {};
    if (fieldName == u"Date" || fieldName == u"DueDate")
        return QDate::fromString(row.at(column).toString(), Qt::ISODate);
    return row.at(column);
}

void SummaryReport::buildPageHeader()
{
    const double width = layout().bandWidth();
    pageHeader().setHeight(11.4);
    ReportSystemField &title = titleBox();
    title.setBox({ 0, 1.1, width, 7.9 });
    title.setFont(arial(18));
    title.setColor(Qt::black);
    title.setBackground(QColor());
    title.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    ReportSystemField &printed = printedField();
    printed.setBox({ width - 80, 0, 80, line8 });
    printed.setFont(arial(8));
    printed.setAlignment(Qt::AlignRight | Qt::AlignTop);
    printed.setVisible(true);
}

void SummaryReport::buildColumnHeader()
{
    ReportBand &band = layout().addBand(ReportBand::ColumnHeader, 9.0);
    band.setFont(arial(10, true));
    const std::pair<QString, double> titles[] = { { m_kind.numberTitle, 0.8 },
        { u"Description"_s, 21.2 }, { u"Client"_s, 104.2 }, { u"Date / Due Date"_s, 165.6 },
        { u"Labour"_s, 198.7 }, { u"Materials"_s, 228.3 }, { u"Total"_s, 260.1 } };
    for (const auto &[text, x] : titles)
        band.addLabel({ x, 2.1, 30, line10 }, text).setAutoSize(true);
    band.addRectangle({ 0, 7.9, 277.3, 0.3 });
}

void SummaryReport::buildGroup()
{
    ReportGroup &group = layout().addGroupOnField(u"Status"_s);
    ReportBand &header = group.addHeader(9.3);
    ReportField &status = header.addField({ 0.8, 3.2, 48.2, 5.3 }, u"Status"_s);
    status.setName(u"status"_s);
    status.setFont(arial(12, true));
    status.setColor(Qt::white);
    status.setBackground(navy);
    status.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    status.setPrintHook([](QString &text, const ReportContext &) { text = statusWord(text); });

    ReportBand &footer = group.addFooter(13.5);
    footer.setFont(arial(10, true));
    footer.addRectangle({ 181.2, 0.5, 277.0 - 181.2, 0 }, pen2);
    const std::pair<QString, double> sums[] = { { u"TotalLabour"_s, 215.9 },
        { u"TotalMaterials"_s, 247.7 }, { u"VTotalCost"_s, 275.7 } };
    for (const auto &[field, right] : sums) {
        ReportSumField &sum = rightAligned(footer.addSum(endingAt(right, 2.1), field));
        sum.setName(u"group"_s + field);
        sum.setMask(sumMask());
    }
}

void SummaryReport::buildRecord()
{
    ReportBand &band = layout().addBand(ReportBand::Detail, 11.9);
    band.addField({ 0.8, 2.1, 20.4, line10 }, m_kind.numberField).setFont(arial(10, true));
    band.addField({ 21.4, 2.1, 78.3, line10 }, m_kind.descriptionField);
    band.addField({ 103.7, 2.1, 59.5, line10 }, u"Company_Name"_s);
    band.addField({ 103.7, 6.3, 59.5, line10 }, u"Contact"_s);
    // Dates centred on x 173.3.
    for (const auto &[field, y] : { std::pair { u"Date"_s, 2.1 }, { u"DueDate"_s, 6.3 } }) {
        ReportField &date = band.addField({ 173.3 - 10, y, 20, line10 }, field);
        date.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        date.setFormatter(shortDate);
    }
    const std::pair<QString, double> amounts[] = { { u"TotalLabour"_s, 215.6 },
        { u"TotalMaterials"_s, 247.7 }, { u"VTotalCost"_s, 275.1 } };
    for (const auto &[field, right] : amounts)
        rightAligned(band.addField(endingAt(right, 2.1), field)).setFormatter(currency);
}

void SummaryReport::buildClosing()
{
    ReportBand &band = layout().addBand(ReportBand::Summary, 10.6);
    band.setFont(arial(10, true));
    band.addLine({ 181.2, 3.3 }, { 276.7, 3.3 }, pen2);
    band.addLabel({ 154.3, 4.8, 20, line10 }, u"TOTAL:"_s).setAutoSize(true);
    const std::pair<QString, double> sums[] = { { u"TotalLabour"_s, 215.4 },
        { u"TotalMaterials"_s, 247.7 }, { u"VTotalCost"_s, 275.7 } };
    for (const auto &[field, right] : sums) {
        ReportSumField &sum = rightAligned(band.addSum(endingAt(right, 4.2), field));
        sum.setName(u"total"_s + field);
        sum.setMask(sumMask());
    }
}

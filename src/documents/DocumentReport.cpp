#include "documents/DocumentReport.h"

#include "controls/dataaware/DisplayFormat.h"
#include "controls/window/LogoPicture.h"
#include "data/DataModuleMain.h"
#include "documents/Errors.h"
#include "engine/Exception.h"
#include "engine/ReportQuery.h"
#include "report/ReportContext.h"

#include <QDate>
#include <QLocale>

using namespace Qt::StringLiterals;

namespace {

// Heights of one text line by point size.
constexpr double line8 = 3.6;
constexpr double line10 = 4.5;
constexpr double line12 = 5.3;
// A rule of pen width 2, as 2 pixels of a 96 dpi screen.
constexpr double pen2 = 2 * 25.4 / 96;
// Band height around one description line, and around a line with its notes (6 and 9 pixels).
constexpr double oneLineExtra = 1.6;
constexpr double notesExtra = 2.4;

QFont arial(int points, bool bold = false)
{
    return QFont(u"Arial"_s, points, bold ? QFont::Bold : QFont::Normal);
}

QString currency(const QVariant &value)
{
    return DisplayFormat::money(value.toDouble());
}

QString shortDate(const QVariant &value)
{
    const QDate date = value.toDate();
    return date.isValid() ? QLocale().toString(date, QLocale::ShortFormat) : QString();
}

QRectF boxAt(const QPointF &at, double width, double height)
{
    return QRectF(at, QSizeF(width, height));
}

ReportLabel &label(ReportBand &band, const QPointF &at, const QString &text, const QFont &font)
{
    const double height = font.pointSize() >= 12 ? line12 : line10;
    ReportLabel &l = band.addLabel(boxAt(at, 30, height), text);
    l.setFont(font);
    l.setAutoSize(true);
    return l;
}

// A right-aligned amount whose right edge is at right.
ReportField &amount(
    ReportBand &band, double right, double y, const QString &field, double height = line10)
{
    ReportField &f = band.addField(QRectF(right - 40, y, 40, height), field);
    f.setAlignment(Qt::AlignRight | Qt::AlignTop);
    f.setFormatter(currency);
    return f;
}

} // namespace

DocumentReport::DocumentReport(TDM *dm, const DocumentGeometry &geometry)
    : m_dm(dm)
    , m_geometry(geometry)
{
    layout().setTitle(geometry.title);
    printedField().setVisible(false);
    buildPageHeader();
    buildColumnHeader();
    buildLines();
    buildClosing();
    buildPageFooter();
    layout().setBeforeRun([this](ReportLayout &) { return beforeRun(); });
}

void DocumentReport::setRun(const QString &number, const DocumentOptions &options)
{
    const auto flag = [](bool on) { return on ? u"TRUE"_s : u"FALSE"_s; };
    Params.clear();
    Params << u"NO="_s + number << u"LOGO="_s + flag(options.logo)
           << u"CODES="_s + flag(options.codes) << u"GROUPS="_s + flag(options.groups)
           << u"NOTES="_s + flag(options.notes);
}

void DocumentReport::requireClient(bool hasClient) const
{
    if (!hasClient)
        throw EVelbric(m_geometry.noClientMessage);
}

void DocumentReport::buildPageHeader()
{
    const DocumentGeometry &g = m_geometry;
    ReportBand &band = pageHeader();
    band.setHeight(g.pageHeaderHeight);
    titleBox().setBox(g.titleBox);

    auto business = [this](const QString &field) {
        return [this, field](const ReportContext &) { return m_business.value(field); };
    };
    band.addField(boxAt(g.businessName, 49, line10), business(u"Company_Name"_s))
        .setFont(arial(10, true));
    label(band, g.phoneLabelAt, g.phoneLabel, arial(10, g.boldBusinessLabels));
    band.addField(boxAt(g.phoneValueAt, 34, line10), business(u"Phone_No"_s));
    label(band, g.faxLabelAt, u"Fax:"_s, arial(10, g.boldBusinessLabels));
    band.addField(boxAt(g.faxValueAt, 34, line10), business(u"Phone_Fax"_s));

    // The label is 10 pt: at 12 pt it would run into the number printed beside it.
    label(band, g.numberLabelAt, g.numberLabel, arial(10, true));
    band.addField(boxAt(g.numberValueAt, 44, line12), g.numberField).setFont(arial(12, true));
    const double valueWidth = g.businessName.x() - g.dateValueAt.x() - 1;
    label(band, g.dateLabelAt, u"Date:"_s, arial(10));
    band.addField(boxAt(g.dateValueAt, valueWidth, line10), u"Date"_s).setFormatter(shortDate);
    label(band, g.dueLabelAt, u"Due Date:"_s, arial(10));
    band.addField(boxAt(g.dueValueAt, valueWidth, line10), u"DueDate"_s).setFormatter(shortDate);
    label(band, g.preparedLabelAt, u"Prepared By:"_s, arial(10));
    band.addField(boxAt(g.preparedValueAt, valueWidth, line10), u"SalesPerson"_s);

    m_logo = &band.addImage(g.logoBox);
    m_logo->setName(u"logo"_s);
    // A logo of any shape prints undistorted, as large as the box allows and centred in it.
    m_logo->setKeepAspectRatio(true);

    // The client's block stops short of the date column beside it.
    const double clientWidth = g.dateLabelAt.x() - g.clientCompany.x() - 1;
    band.addField(boxAt(g.clientCompany, clientWidth, line10), u"Company_Name"_s)
        .setFont(arial(10, true));
    band.addField(boxAt(g.clientContact, clientWidth, line10), u"Contact"_s)
        .setFont(arial(10, true));
    band.addMemo(g.clientAddress, u"Bus_Address"_s);
    label(band, g.clientPhoneLabelAt, u"Phone:"_s, arial(10));
    band.addField(boxAt(g.clientPhoneValueAt, 55, line10), u"Phone_Bus"_s);
    label(band, g.clientFaxLabelAt, u"Fax:"_s, arial(10));
    band.addField(boxAt(g.clientFaxValueAt, 55, line10), u"Phone_BusFax"_s);
    label(band, g.descriptionLabelAt, u"Description:"_s, arial(10));
    band.addField(
        boxAt(g.descriptionValueAt, g.logoBox.left() - g.descriptionValueAt.x() - 1, line10),
        g.descriptionField);
}

void DocumentReport::buildColumnHeader()
{
    ReportBand &band = layout().addBand(ReportBand::ColumnHeader, m_geometry.columnHeaderHeight);
    for (const auto &[title, x] : m_geometry.columnTitles) {
        ReportLabel &l = label(band, QPointF(x, 0), title, arial(12, true));
        if (title == u"Code"_s) {
            l.setName(u"codeTitle"_s);
            l.setPrintHook([this](QString &text, const ReportContext &) {
                if (param(u"CODES"_s) == u"FALSE"_s)
                    text.clear();
            });
        }
    }
    band.addLine({ 0, 5.4 }, { layout().bandWidth(), 5.4 });
}

void DocumentReport::buildLines()
{
    const DocumentGeometry &g = m_geometry;
    ReportGroup &heading = layout().addGroupOnField(u"Description_1"_s);
    ReportBand &headingBand = heading.addHeader(6.3);
    ReportField &headingText =
        headingBand.addField(QRectF(g.headingX, 0, 120, line10), u"Description_1"_s);
    headingText.setFont(arial(10, true));
    headingBand.setBeforePrint(
        [this](ReportBand &, const ReportContext &) { return paramIsTrue(u"GROUPS"_s); });

    ReportBand &band = layout().addBand(ReportBand::Detail, line10 + oneLineExtra);
    ReportField &code = band.addField(g.codeBox, u"Code"_s);
    code.setName(u"code"_s);
    code.setAutoSize(g.codeSizedToText);
    code.setPrintHook([this](QString &text, const ReportContext &) {
        if (param(u"CODES"_s) == u"FALSE"_s)
            text.clear();
    });
    band.addField(g.descriptionBox, u"Description"_s).setName(u"description"_s);
    amount(band, g.costRight, 0, u"Cost"_s);
    ReportField &qty = band.addField(QRectF(g.qtyRight - 14, 0, 14, line10), u"Qty"_s);
    qty.setAlignment(Qt::AlignRight | Qt::AlignTop);
    amount(band, g.totalRight, 0, u"Total_Cost"_s);
    ReportMemo &notes = band.addMemo(g.lineNotes, u"Notes_1"_s);
    notes.setName(u"notes"_s);
    notes.setFont(arial(8));
    notes.setCanGrow(true);

    const double descriptionHeight = g.descriptionBox.height();
    const double notesHeight = g.lineNotes.height();
    band.setBeforePrint([=, this](ReportBand &b, const ReportContext &row) {
        const bool show =
            paramIsTrue(u"NOTES"_s) && !row.value(u"Notes_1"_s).toString().trimmed().isEmpty();
        b.element(u"notes"_s)->setVisible(show);
        b.setHeight(
            show ? descriptionHeight + notesHeight + notesExtra : descriptionHeight + oneLineExtra);
        return true;
    });
}

void DocumentReport::buildClosing()
{
    const DocumentGeometry &g = m_geometry;
    ReportBand &band = layout().addBand(ReportBand::Summary, g.doubleRuleY2 + 1.5);
    band.setFont(arial(10, g.boldClosingBand));
    band.addMemo(g.headerNotes, u"Notes"_s).setName(u"headerNotes"_s);
    const double ruleFrom = 116.9, ruleTo = 187.0;
    band.addLine({ ruleFrom, g.ruleY }, { ruleTo, g.ruleY }, pen2);

    const QFont labelFont = arial(10, true);
    label(band, g.subTotalAt, u"Sub Total:"_s, labelFont);
    amount(band, g.amountsRight, g.subTotalAt.y(), u"VSubTotal"_s);
    label(band, g.discountAt, u"Discount:"_s, labelFont);
    amount(band, g.amountsRight, g.discountAt.y(), u"Discount"_s);
    label(band, g.taxAt, u"Tax:"_s, labelFont);
    amount(band, g.amountsRight, g.taxAt.y(), u"TotalSalesTax"_s);
    label(band, g.grandTotalAt, g.grandTotalLabel, arial(12, true));
    ReportField &grand = amount(band, g.amountsRight, g.grandTotalAt.y(), g.grandTotalField,
        g.grandTotalAmountLarge ? line12 : line10);
    if (g.grandTotalAmountLarge)
        grand.setFont(arial(12, true));
    band.addLine({ ruleFrom, g.doubleRuleY1 }, { ruleTo, g.doubleRuleY1 }, pen2);
    band.addLine({ ruleFrom, g.doubleRuleY2 }, { ruleTo, g.doubleRuleY2 }, pen2);
}

void DocumentReport::buildPageFooter()
{
    ReportBand &band = pageFooter();
    band.setHeight(m_geometry.pageFooterHeight);
    const QString field = m_geometry.footerField;
    band.addMemo(m_geometry.footerText,
            [this, field](const ReportContext &) { return m_business.value(field); })
        .setName(u"footerText"_s);
    setFooterTextTop(m_geometry.creditY);
}

ReportMailing DocumentReport::mailing() const
{
    const QString number = param(u"NO"_s).trimmed();
    const QString document = (m_geometry.title + u' ' + number).trimmed();
    ReportMailing mailing;
    mailing.report = document;
    mailing.attachmentName = document;
    const QString business = m_business.value(u"Company_Name"_s).toString().trimmed();
    mailing.subject = business.isEmpty() ? document : u"%1 from %2"_s.arg(document, business);
    const auto kind =
        m_geometry.numberField == u"Job_No"_s ? TDM::DocumentKind::Job : TDM::DocumentKind::Quote;
    try {
        mailing.recipient = m_dm->clientEmailAddress(kind, number);
    } catch (const Exception &) {
        // The user types the address: a lookup that failed costs no more than that.
    }
    return mailing;
}

bool DocumentReport::beforeRun()
{
    m_rows.setRows({});
    loadLogo();
    m_business.clear();
    TQVTable *business = m_dm->tblBusiness;
    business->first();
    if (!business->isEmpty()) {
        for (const QString &field :
            { u"Company_Name"_s, u"Phone_No"_s, u"Phone_Fax"_s, m_geometry.footerField })
            m_business.insert(field, business->fieldByName(field)->asString());
    }
    m_rows.setRows(readRows(param(u"NO"_s)));
    return true;
}

void DocumentReport::loadLogo()
{
    if (!paramIsTrue(u"LOGO"_s)) {
        m_logo->setImage(QImage());
        return;
    }
    // A missing or unreadable logo never stops the document: the box keeps what it had.
    try {
        TQVTable *business = m_dm->tblBusiness;
        business->first();
        if (business->isEmpty())
            return;
        // The file named in the record, or where it is not on this machine (another copy's
        // disk), the copy of the picture kept in the record itself. Printed no larger than kept.
        QImage picture = LogoPicture::forBusiness(business->fieldByName(u"LogoPath"_s)->asString(),
            business->fieldByName(u"Logo"_s)->asBytes());
        if (picture.isNull())
            return;
        if (picture.width() > LogoPicture::StoredSide || picture.height() > LogoPicture::StoredSide)
            picture = picture.scaled(LogoPicture::StoredSide, LogoPicture::StoredSide,
                Qt::KeepAspectRatio, Qt::SmoothTransformation);
        m_logo->setImage(picture);
    } catch (const std::exception &) { }
}

QStringList DocumentReport::resultFields() const
{
    return { m_geometry.numberField, u"Date"_s, u"DueDate"_s, m_geometry.descriptionField,
        m_geometry.totalField, u"TotalSalesTax"_s, u"Notes"_s, u"SalesPerson"_s, u"Discount"_s,
        u"Code"_s, u"Description"_s, u"Qty"_s, u"Cost"_s, u"Total_Cost"_s, u"Notes_1"_s,
        u"Description_1"_s, u"Contact"_s, u"Company_Name"_s, u"Bus_Address"_s, u"Hm_Address"_s,
        u"Other_Address"_s, u"Email1"_s, u"Email2"_s, u"Email3"_s, u"Web_Page"_s, u"Phone_Bus"_s,
        u"Phone_Home1"_s, u"Phone_Mobile"_s, u"Phone_BusFax"_s };
}

QList<QVariantMap> DocumentReport::readRows(const QString &number) const
{
    ReportQuery query(m_dm->DB);
    query.setSql(querySql());
    // Bound, never pasted: a number holding a quote still selects its own document.
    query.bindValue(u":no"_s, number);
    query.exec();

    const QStringList fields = resultFields();
    if (query.columnCount() != fields.size())
        throw EDatabaseError(
            u"The document query returned %1 fields instead of %2."_s.arg(query.columnCount())
                .arg(fields.size()));
    QList<QVariantMap> rows;
    rows.reserve(query.rowCount());
    for (const auto &values : query.rows()) {
        QVariantMap row;
        for (qsizetype c = 0; c < fields.size(); ++c)
            row.insert(fields.at(c), values.at(c));
        for (const QString &date : { u"Date"_s, u"DueDate"_s })
            row[date] = QDate::fromString(row.value(date).toString(), Qt::ISODate);
        const double total = row.value(m_geometry.totalField).toDouble();
        row.insert(u"VSubTotal"_s, total);
        row.insert(m_geometry.grandTotalField,
            total - row.value(u"Discount"_s).toDouble() + row.value(u"TotalSalesTax"_s).toDouble());
        rows << row;
    }
    return rows;
}

#include "ReportTestSupport.h"

#include "report/ReportDataSource.h"
#include "report/ReportLayout.h"
#include "report/ReportPainter.h"
#include "report/ReportRunner.h"

#include <QPainter>

namespace ReportTestSupport {

QList<PageText> texts(const ReportPage &page)
{
    QList<PageText> result;
    for (const PagePrimitive &p : page.primitives) {
        if (const auto *t = std::get_if<PageText>(&p))
            result.append(*t);
    }
    return result;
}

QStringList textStrings(const ReportPage &page)
{
    QStringList result;
    for (const PageText &t : texts(page))
        result.append(t.text);
    return result;
}

std::optional<PageText> findText(const ReportPage &page, const QString &text)
{
    for (const PageText &t : texts(page)) {
        if (t.text == text)
            return t;
    }
    return std::nullopt;
}

QStringList allTexts(const RenderedReport &report)
{
    QStringList result;
    for (qsizetype i = 0; i < report.pages.size(); ++i) {
        for (const QString &s : textStrings(report.pages.at(i)))
            result.append(QStringLiteral("%1:%2").arg(i + 1).arg(s));
    }
    return result;
}

QList<PageRichText> richTexts(const ReportPage &page)
{
    QList<PageRichText> result;
    for (const PagePrimitive &p : page.primitives) {
        if (const auto *t = std::get_if<PageRichText>(&p))
            result.append(*t);
    }
    return result;
}

QList<QVariantMap> keyedRows(const QString &rowKeys)
{
    QList<QVariantMap> rows;
    for (const QString &item : rowKeys.split(u',', Qt::SkipEmptyParts)) {
        const QStringList parts = item.split(u':');
        rows.append({ { QStringLiteral("Key"), parts.at(0) },
            { QStringLiteral("Amount"), parts.value(1).toDouble() } });
    }
    return rows;
}

RenderedReport sampleReport(int rows)
{
    ReportLayout layout;
    layout.setTitle(QStringLiteral("Quote"));
    ReportBand &header = layout.addBand(ReportBand::PageHeader, 40);
    header.setFrame({ Qt::BottomEdge, 0.3 });
    ReportSystemField &title =
        header.addSystemField({ 2.1, 3.2, 65.9, 7.9 }, ReportSystemField::Title);
    title.setFont(QFont(QStringLiteral("Arial"), 18, QFont::Bold));
    title.setColor(Qt::white);
    title.setBackground(QColor(Qt::darkBlue));
    QImage logo(64, 48, QImage::Format_ARGB32);
    for (int y = 0; y < logo.height(); ++y) {
        for (int x = 0; x < logo.width(); ++x)
            logo.setPixel(x, y, qRgba(x * 4, y * 5, 128, 255));
    }
    header.addImage({ 150, 3, 30, 22 }).setImage(logo);
    header.addMemo({ 2.1, 14, 60, 20 }, [](const ReportContext &) {
        return QStringLiteral(
            "<p><b>Client Pty Ltd</b><br/>1 Long Road<br/><i>Springfield</i></p>");
    });
    header.addRectangle({ 80, 14, 50, 20 }, 0.5).setFill(QColor(240, 240, 200));

    ReportBand &columns = layout.addBand(ReportBand::ColumnHeader, 8.5);
    columns.setFont(QFont(QStringLiteral("Arial"), 12, QFont::Bold));
    columns.addLabel({ 2.1, 0, 18, 5 }, QStringLiteral("Code"));
    columns.addLabel({ 21.2, 0, 60, 5 }, QStringLiteral("Description"));
    columns.addLine({ 0, 5.4 }, { 190, 5.4 });

    layout.addGroupOnField(QStringLiteral("Heading"))
        .addHeader(6.3)
        .addField({ 1.6, 0, 80, 5 }, QStringLiteral("Heading"));
    ReportBand &detail = layout.addBand(ReportBand::Detail, 5);
    detail.addField({ 2.1, 0, 18, 4.5 }, QStringLiteral("Code"));
    detail.addField({ 21.2, 0, 99.7, 4.5 }, QStringLiteral("Description"));
    detail.addField({ 150, 0, 33.9, 4.5 }, QStringLiteral("Total"))
        .setMask(QStringLiteral("$#,##0.00"));
    ReportMemo &notes = detail.addMemo({ 23.3, 5, 93.4, 0 }, QStringLiteral("Notes"));
    notes.setFont(QFont(QStringLiteral("Arial"), 8));
    notes.setCanGrow(true);

    ReportBand &summary = layout.addBand(ReportBand::Summary, 12);
    summary.addLine({ 116.9, 1 }, { 187, 1 }, 0.5);
    summary.addSum({ 130, 3, 54, 5 }, QStringLiteral("Total"))
        .setMask(QStringLiteral("$#,###,###.00"));

    ReportBand &footer = layout.addBand(ReportBand::PageFooter, 12);
    footer.setFrame({ Qt::TopEdge });
    footer.addSystemField({ 0, 6, 190, 4 }, ReportSystemField::PageNumber, QStringLiteral("Page "))
        .setAlignment(Qt::AlignRight | Qt::AlignTop);

    QList<QVariantMap> data;
    for (int i = 1; i <= rows; ++i) {
        data.append({ { QStringLiteral("Heading"), QStringLiteral("Heading %1").arg(i / 10) },
            { QStringLiteral("Code"), QStringLiteral("M%1").arg(i, 4, 10, QLatin1Char('0')) },
            { QStringLiteral("Description"), QStringLiteral("Material line number %1").arg(i) },
            { QStringLiteral("Total"), i * 1.25 },
            { QStringLiteral("Notes"),
                i % 7 == 0 ? QStringLiteral("<i>Note</i> for line %1").arg(i) : QString() } });
    }
    ListDataSource source(data);
    ReportRunner runner(layout);
    runner.setPrintDateTime(QDateTime(QDate(2024, 1, 2), QTime(9, 0)));
    return runner.run(source);
}

QImage paint(const ReportPage &page, int dpi)
{
    const double dotsPerMm = dpi / 25.4;
    QImage image(qRound(page.paperSize.width() * dotsPerMm),
        qRound(page.paperSize.height() * dotsPerMm), QImage::Format_ARGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    ReportPainter::paint(painter, page);
    painter.end();
    return image;
}

bool near(double a, double b, double tolerance)
{
    return std::abs(a - b) <= tolerance;
}

bool near(const QRectF &a, const QRectF &b, double tolerance)
{
    return near(a.x(), b.x(), tolerance) && near(a.y(), b.y(), tolerance)
        && near(a.width(), b.width(), tolerance) && near(a.height(), b.height(), tolerance);
}

} // namespace ReportTestSupport

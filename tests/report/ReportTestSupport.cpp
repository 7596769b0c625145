#include "ReportTestSupport.h"

#include "report/ReportPainter.h"

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

QList<QVariantMap> keyedRows(const QString &spec)
{
    QList<QVariantMap> rows;
    for (const QString &item : spec.split(u',', Qt::SkipEmptyParts)) {
        const QStringList parts = item.split(u':');
        rows.append({ { QStringLiteral("Key"), parts.at(0) },
                      { QStringLiteral("Amount"), parts.value(1).toDouble() } });
    }
    return rows;
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

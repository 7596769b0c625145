#pragma once

#include "report/ReportPage.h"

#include <QImage>
#include <QStringList>
#include <QVariantMap>

#include <optional>

// Helpers the report tests share: reading primitives back off rendered pages and painting pages.
namespace ReportTestSupport {

QList<PageText> texts(const ReportPage &page);
QStringList textStrings(const ReportPage &page);
std::optional<PageText> findText(const ReportPage &page, const QString &text);
// Every text of the report, pages in order, each prefixed "page:".
QStringList allTexts(const RenderedReport &report);
QList<PageRichText> richTexts(const ReportPage &page);

// Rows from "A:10,B:5": field "Key" the letter, field "Amount" the number.
QList<QVariantMap> keyedRows(const QString &rowKeys);

// A quote-like report using every kind of primitive (text on a filled box, lines, rectangles, a
// picture, rich and plain memos), over rows lines, so of several pages when rows is large.
RenderedReport sampleReport(int rows);

// page painted on white at dpi dots per inch.
QImage paint(const ReportPage &page, int dpi);

bool near(double a, double b, double tolerance = 0.01);
bool near(const QRectF &a, const QRectF &b, double tolerance = 0.01);

} // namespace ReportTestSupport

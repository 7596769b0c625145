#pragma once

#include "report/ReportPage.h"

#include <QList>

#include <memory>

class QPainter;
class QTextDocument;

// Lays out a rich-text primitive exactly as it is painted, so that a memo measured while the report
// runs grows, splits and paints with the same line breaks on every device.
namespace RichTextBlock {

// The most text one block may hold, in characters, and the deepest nesting of HTML elements: the
// layout's time and stack grow with both, and a report file may come from anywhere.
inline constexpr qsizetype maxLength = 256 * 1024;
inline constexpr int maxNesting = 100;
// Tables within tables: laying them out takes twice as long for every level.
inline constexpr int maxTableNesting = 6;

// Whether text stays within both bounds (nesting counts for HTML only); if not, *reason says which.
bool withinBounds(const QString &text, bool html, QString *reason = nullptr);

// A document holding block's text (HTML when block.html), laid out across the box's width in layout
// units. It loads no external resources (images, style sheets). HTML beyond the bounds is laid out
// as plain text.
std::unique_ptr<QTextDocument> document(const PageRichText &block);

// Height in millimetres of the whole laid-out text.
double contentHeight(const PageRichText &block);

// The bottom of every laid-out line, in millimetres from the top of the text, in order.
QList<double> lineBottoms(const PageRichText &block);

// Draws block, whose box is given in layout units already, with the painter in layout units.
void paint(QPainter &painter, const PageRichText &block);

} // namespace RichTextBlock

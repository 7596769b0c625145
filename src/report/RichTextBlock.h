#pragma once

#include "report/ReportPage.h"

#include <QList>

#include <memory>

class QPainter;
class QTextDocument;

// Lays out a rich-text primitive exactly as it is painted, so that a memo measured while the report
// runs grows, splits and paints with the same line breaks on every device.
namespace RichTextBlock {

// A document holding block's text (HTML when block.html), laid out across the box's width in layout
// units. It loads no external resources (images, style sheets).
std::unique_ptr<QTextDocument> document(const PageRichText &block);

// Height in millimetres of the whole laid-out text.
double contentHeight(const PageRichText &block);

// The bottom of every laid-out line, in millimetres from the top of the text, in order.
QList<double> lineBottoms(const PageRichText &block);

// Draws block, whose box is given in layout units already, with the painter in layout units.
void paint(QPainter &painter, const PageRichText &block);

} // namespace RichTextBlock

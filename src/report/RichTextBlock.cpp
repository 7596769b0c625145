#include "report/RichTextBlock.h"

#include "report/ReportUnits.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace RichTextBlock {

std::unique_ptr<QTextDocument> document(const PageRichText &block)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->documentLayout()->setPaintDevice(ReportUnits::layoutDevice());
    doc->setDocumentMargin(0);
    doc->setDefaultFont(block.font);
    if (block.html)
        doc->setHtml(block.text);
    else
        doc->setPlainText(block.text);
    doc->setTextWidth(ReportUnits::toUnits(block.box.width()));
    return doc;
}

double contentHeight(const PageRichText &block)
{
    if (block.text.isEmpty())
        return 0;
    return ReportUnits::toMm(document(block)->size().height());
}

QList<double> lineBottoms(const PageRichText &block)
{
    QList<double> bottoms;
    const auto doc = document(block);
    const auto *layout = doc->documentLayout();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        const QRectF blockRect = layout->blockBoundingRect(b);
        const QTextLayout *lines = b.layout();
        for (int i = 0; i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            bottoms.append(ReportUnits::toMm(blockRect.top() + line.y() + line.height()));
        }
    }
    std::sort(bottoms.begin(), bottoms.end());
    return bottoms;
}

void paint(QPainter &painter, const PageRichText &block)
{
    // The document is laid out in millimetres of box width; block arrives in layout units.
    PageRichText inMm = block;
    inMm.box = QRectF(ReportUnits::toMm(block.box.x()), ReportUnits::toMm(block.box.y()),
        ReportUnits::toMm(block.box.width()), ReportUnits::toMm(block.box.height()));
    const auto doc = document(inMm);
    const double offset = ReportUnits::toUnits(block.offset);

    painter.save();
    painter.setClipRect(block.box, Qt::IntersectClip);
    painter.translate(block.box.left(), block.box.top() - offset);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, block.color);
    context.clip = QRectF(0, offset, block.box.width(), block.box.height());
    doc->documentLayout()->draw(&painter, context);
    painter.restore();
}

} // namespace RichTextBlock

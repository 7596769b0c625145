#include "report/RichTextBlock.h"

#include "report/ReportUnits.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextObjectInterface>

namespace {

// Rich text that fetches nothing from outside: a page looks the same wherever its report file is
// opened, and a foreign file cannot make the viewer read local files through <img> or CSS links.
class SelfContainedDocument : public QTextDocument
{
protected:
    QVariant loadResource(int, const QUrl &) override { return QVariant(); }
};

// Keeps the space an <img> asks for and draws nothing there: Qt's own image handler would read
// the named file straight from disk. Pictures reach a report through image elements only.
class BlankImageHandler : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    using QObject::QObject;

    QSizeF intrinsicSize(QTextDocument *, int, const QTextFormat &format) override
    {
        const QTextImageFormat image = format.toImageFormat();
        return QSizeF(std::max(0.0, image.width()), std::max(0.0, image.height()));
    }
    void drawObject(QPainter *, const QRectF &, QTextDocument *, int, const QTextFormat &) override
    { }
};

// Elements that never hold others, so they open no level of nesting.
bool isVoidElement(QStringView name)
{
    static const QStringList names { QStringLiteral("br"), QStringLiteral("img"),
        QStringLiteral("hr"), QStringLiteral("meta"), QStringLiteral("link"),
        QStringLiteral("input"), QStringLiteral("col"), QStringLiteral("area"),
        QStringLiteral("base"), QStringLiteral("wbr"), QStringLiteral("param"),
        QStringLiteral("source"), QStringLiteral("embed"), QStringLiteral("track") };
    for (const QString &n : names) {
        if (name.compare(n, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

struct Nesting
{
    int elements = 0;
    int tables = 0;
};

// The deepest nesting of elements, and of tables, in html, counted from its tags alone.
Nesting nestingDepth(const QString &html)
{
    Nesting depth;
    Nesting deepest;
    const qsizetype n = html.size();
    for (qsizetype i = html.indexOf(u'<'); i >= 0 && i < n; i = html.indexOf(u'<', i + 1)) {
        const qsizetype end = html.indexOf(u'>', i + 1);
        if (end < 0)
            break;
        const QStringView tag = QStringView(html).mid(i + 1, end - i - 1);
        i = end;
        if (tag.startsWith(u'!') || tag.startsWith(u'?'))
            continue;
        const bool closing = tag.startsWith(u'/');
        const QStringView rest = closing ? tag.mid(1) : tag;
        qsizetype nameEnd = 0;
        while (nameEnd < rest.size() && rest.at(nameEnd).isLetterOrNumber())
            ++nameEnd;
        const QStringView name = rest.left(nameEnd);
        const bool table = name.compare(u"table", Qt::CaseInsensitive) == 0;
        if (closing) {
            depth.elements = std::max(0, depth.elements - 1);
            if (table)
                depth.tables = std::max(0, depth.tables - 1);
        } else if (!tag.endsWith(u'/') && !isVoidElement(name)) {
            deepest.elements = std::max(deepest.elements, ++depth.elements);
            if (table)
                deepest.tables = std::max(deepest.tables, ++depth.tables);
        }
    }
    return deepest;
}

} // namespace

namespace RichTextBlock {

bool withinBounds(const QString &text, bool html, QString *reason)
{
    const auto fail = [&](const char *why) {
        if (reason)
            *reason = QLatin1String(why);
        return false;
    };
    if (text.size() > maxLength)
        return fail("text too long");
    if (html) {
        const Nesting nesting = nestingDepth(text);
        if (nesting.elements > maxNesting || nesting.tables > maxTableNesting)
            return fail("text nested too deeply");
    }
    return true;
}

std::unique_ptr<QTextDocument> document(const PageRichText &block)
{
    std::unique_ptr<QTextDocument> doc = std::make_unique<SelfContainedDocument>();
    doc->documentLayout()->setPaintDevice(ReportUnits::layoutDevice());
    doc->documentLayout()->registerHandler(
        QTextFormat::ImageObject, new BlankImageHandler(doc.get()));
    doc->setDocumentMargin(0);
    doc->setDefaultFont(ReportUnits::drawnFont(block.font));
    if (block.html && withinBounds(block.text, true))
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

#include "RichTextBlock.moc"

#include "report/PageStream.h"

#include <QBuffer>
#include <QDataStream>
#include <QImageReader>
#include <QImageWriter>

#include <cmath>

namespace {

constexpr double maxCoordinate = 100000; // millimetres: a hundred metres of paper is nonsense
constexpr quint32 maxPages = 1000000;
constexpr int maxImageSide = 30000;
constexpr quint32 knownAlignment = Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask;

// Thrown inside the reader only, and turned into a message by read().
struct Damaged
{
    QString reason;
};

class Writer
{
public:
    explicit Writer(QByteArray *bytes)
        : m_stream(bytes, QIODevice::WriteOnly)
    {
        m_stream.setVersion(QDataStream::Qt_6_4);
        m_stream.setByteOrder(QDataStream::BigEndian);
        m_stream.setFloatingPointPrecision(QDataStream::DoublePrecision);
    }

    void text(const QString &s)
    {
        const QByteArray utf8 = s.toUtf8();
        m_stream << quint32(utf8.size());
        m_stream.writeRawData(utf8.constData(), int(utf8.size()));
    }
    void rect(const QRectF &r) { m_stream << r.x() << r.y() << r.width() << r.height(); }
    void color(const QColor &c) { m_stream << quint8(c.isValid()) << quint32(c.rgba()); }
    void font(const QFont &f)
    {
        text(f.family());
        m_stream << f.pointSizeF() << qint32(f.weight())
                 << quint8(
                        (f.italic() ? 1 : 0) | (f.underline() ? 2 : 0) | (f.strikeOut() ? 4 : 0));
    }
    void image(const QImage &image)
    {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!image.isNull())
            QImageWriter(&buffer, "png").write(image);
        m_stream << quint32(png.size());
        m_stream.writeRawData(png.constData(), int(png.size()));
    }

    void primitive(const PageText &t)
    {
        m_stream << quint8(PageStream::TextTag);
        rect(t.box);
        text(t.text);
        font(t.font);
        color(t.color);
        m_stream << quint32(t.alignment.toInt()) << quint8(t.wordWrap);
    }
    void primitive(const PageLine &l)
    {
        m_stream << quint8(PageStream::LineTag) << l.from.x() << l.from.y() << l.to.x() << l.to.y();
        color(l.color);
        m_stream << l.width << quint8(l.style);
    }
    void primitive(const PageRect &r)
    {
        m_stream << quint8(PageStream::RectTag);
        rect(r.box);
        color(r.penColor);
        m_stream << r.penWidth;
        color(r.fill);
    }
    void primitive(const PageImage &i)
    {
        m_stream << quint8(PageStream::ImageTag);
        rect(i.box);
        image(i.image);
    }
    void primitive(const PageRichText &r)
    {
        m_stream << quint8(PageStream::RichTextTag);
        rect(r.box);
        text(r.text);
        m_stream << quint8(r.html);
        font(r.font);
        color(r.color);
        m_stream << r.offset;
    }

    void report(const RenderedReport &report)
    {
        text(report.title);
        m_stream << quint32(report.pages.size());
        for (const ReportPage &page : report.pages) {
            const QMarginsF &m = page.margins;
            m_stream << page.paperSize.width() << page.paperSize.height() << m.left() << m.top()
                     << m.right() << m.bottom() << quint32(page.primitives.size());
            for (const PagePrimitive &p : page.primitives)
                std::visit([this](const auto &item) { primitive(item); }, p);
        }
    }

private:
    QDataStream m_stream;
};

class Reader
{
public:
    explicit Reader(const QByteArray &bytes)
        : m_buffer(const_cast<QByteArray *>(&bytes))
        , m_stream(&m_buffer)
    {
        m_buffer.open(QIODevice::ReadOnly);
        m_stream.setVersion(QDataStream::Qt_6_4);
        m_stream.setByteOrder(QDataStream::BigEndian);
        m_stream.setFloatingPointPrecision(QDataStream::DoublePrecision);
    }

    qint64 remaining() const { return m_buffer.bytesAvailable(); }

    template <class T> T number()
    {
        if (remaining() < qint64(sizeof(T)))
            throw Damaged { QStringLiteral("it ends too soon") };
        T value;
        m_stream >> value;
        return value;
    }
    double real(double min, double max, const char *what)
    {
        const double v = number<double>();
        if (!std::isfinite(v) || v < min || v > max)
            throw Damaged { QStringLiteral("%1 out of range").arg(QLatin1String(what)) };
        return v;
    }
    quint8 flag()
    {
        const quint8 v = number<quint8>();
        if (v > 1)
            throw Damaged { QStringLiteral("bad flag") };
        return v;
    }
    // A count of items each at least minBytes long, which the rest of the payload must hold.
    quint32 count(qint64 minBytes, quint32 max, const char *what)
    {
        const quint32 n = number<quint32>();
        if (n > max || qint64(n) * minBytes > remaining())
            throw Damaged { QStringLiteral("%1 out of range").arg(QLatin1String(what)) };
        return n;
    }
    QByteArray bytes(const char *what)
    {
        const quint32 size = count(1, std::numeric_limits<quint32>::max(), what);
        QByteArray data(qsizetype(size), Qt::Uninitialized);
        if (m_stream.readRawData(data.data(), int(size)) != int(size))
            throw Damaged { QStringLiteral("it ends too soon") };
        return data;
    }
    QString text() { return QString::fromUtf8(bytes("text length")); }
    QRectF rect()
    {
        const double x = real(-maxCoordinate, maxCoordinate, "position");
        const double y = real(-maxCoordinate, maxCoordinate, "position");
        const double w = real(0, maxCoordinate, "size");
        const double h = real(0, maxCoordinate, "size");
        return QRectF(x, y, w, h);
    }
    QPointF point()
    {
        const double x = real(-maxCoordinate, maxCoordinate, "position");
        return QPointF(x, real(-maxCoordinate, maxCoordinate, "position"));
    }
    QColor color()
    {
        const quint8 valid = flag();
        const quint32 rgba = number<quint32>();
        return valid ? QColor::fromRgba(rgba) : QColor();
    }
    QFont font()
    {
        QFont f(text());
        f.setPointSizeF(real(0.1, 2000, "font size"));
        const qint32 weight = number<qint32>();
        if (weight < 1 || weight > 1000)
            throw Damaged { QStringLiteral("font weight out of range") };
        f.setWeight(QFont::Weight(weight));
        const quint8 style = number<quint8>();
        if (style > 7)
            throw Damaged { QStringLiteral("bad font style") };
        f.setItalic(style & 1);
        f.setUnderline(style & 2);
        f.setStrikeOut(style & 4);
        return f;
    }
    QImage image()
    {
        const QByteArray png = bytes("picture size");
        if (png.isEmpty())
            return QImage();
        QBuffer buffer(const_cast<QByteArray *>(&png));
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "png");
        const QSize size = reader.size();
        if (!size.isValid() || size.width() > maxImageSide || size.height() > maxImageSide)
            throw Damaged { QStringLiteral("bad picture") };
        QImage image = reader.read();
        if (image.isNull())
            throw Damaged { QStringLiteral("bad picture") };
        return image;
    }

    PagePrimitive primitive()
    {
        switch (number<quint8>()) {
        case PageStream::TextTag: {
            PageText t;
            t.box = rect();
            t.text = text();
            t.font = font();
            t.color = color();
            const quint32 alignment = number<quint32>();
            if (alignment & ~knownAlignment)
                throw Damaged { QStringLiteral("bad alignment") };
            t.alignment = Qt::Alignment::fromInt(int(alignment));
            t.wordWrap = flag();
            return t;
        }
        case PageStream::LineTag: {
            PageLine l;
            l.from = point();
            l.to = point();
            l.color = color();
            l.width = real(0, 1000, "line width");
            const quint8 style = number<quint8>();
            if (style > Qt::DashDotDotLine)
                throw Damaged { QStringLiteral("bad line style") };
            l.style = Qt::PenStyle(style);
            return l;
        }
        case PageStream::RectTag: {
            PageRect r;
            r.box = rect();
            r.penColor = color();
            r.penWidth = real(0, 1000, "line width");
            r.fill = color();
            return r;
        }
        case PageStream::ImageTag: {
            PageImage i;
            i.box = rect();
            i.image = image();
            return i;
        }
        case PageStream::RichTextTag: {
            PageRichText r;
            r.box = rect();
            r.text = text();
            r.html = flag();
            r.font = font();
            r.color = color();
            r.offset = real(0, maxCoordinate, "text offset");
            return r;
        }
        default:
            throw Damaged { QStringLiteral("unknown kind of item") };
        }
    }

    RenderedReport report()
    {
        // The smallest page is its six doubles and count; the smallest primitive an empty image.
        constexpr qint64 minPage = 6 * 8 + 4;
        constexpr qint64 minPrimitive = 1 + 4 * 8 + 4;
        RenderedReport result;
        result.title = text();
        const quint32 pages = count(minPage, maxPages, "page count");
        for (quint32 i = 0; i < pages; ++i) {
            ReportPage page;
            const double w = real(1, 10000, "paper size");
            page.paperSize = QSizeF(w, real(1, 10000, "paper size"));
            const double left = real(0, w, "margin");
            const double top = real(0, page.paperSize.height(), "margin");
            const double right = real(0, w, "margin");
            page.margins = QMarginsF(left, top, right, real(0, page.paperSize.height(), "margin"));
            const quint32 items =
                count(minPrimitive, std::numeric_limits<quint32>::max(), "item count");
            page.primitives.reserve(items);
            for (quint32 j = 0; j < items; ++j)
                page.primitives.append(primitive());
            result.pages.append(std::move(page));
        }
        if (remaining() != 0)
            throw Damaged { QStringLiteral("unexpected data after the last page") };
        return result;
    }

private:
    QBuffer m_buffer;
    QDataStream m_stream;
};

} // namespace

namespace PageStream {

QByteArray write(const RenderedReport &report)
{
    QByteArray bytes;
    Writer(&bytes).report(report);
    return bytes;
}

bool read(const QByteArray &payload, RenderedReport *report, QString *reason)
{
    try {
        RenderedReport result = Reader(payload).report();
        *report = std::move(result);
        return true;
    } catch (const Damaged &damaged) {
        if (reason)
            *reason = damaged.reason;
        return false;
    } catch (const std::bad_alloc &) {
        if (reason)
            *reason = QStringLiteral("too large to load");
        return false;
    }
}

} // namespace PageStream

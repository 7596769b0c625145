#include "report/PageStream.h"
#include "report/RichTextBlock.h"

#include <QBuffer>
#include <QDataStream>
#include <QHash>
#include <QImageReader>

#include <cmath>

// Reading a report file's payload: every count, length and value is checked before it is used,
// and what the pages would take in memory is counted as they are read, so that a file built to
// exhaust memory is refused long before it can.

namespace {

constexpr double maxCoordinate = 100000; // millimetres: a hundred metres of paper is nonsense
constexpr quint32 maxPages = 1000000;
constexpr quint32 knownAlignment = Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask;
// Rough memory of one font that is not shared with an earlier one.
constexpr qint64 fontCost = 512;

// Thrown inside the reader only, and turned into a message by read().
struct Damaged
{
    QString reason;
};

class Reader
{
public:
    Reader(const QByteArray &bytes, quint16 version)
        : m_buffer(const_cast<QByteArray *>(&bytes))
        , m_stream(&m_buffer)
        , m_version(version)
    {
        m_buffer.open(QIODevice::ReadOnly);
        m_stream.setVersion(QDataStream::Qt_6_4);
        m_stream.setByteOrder(QDataStream::BigEndian);
        m_stream.setFloatingPointPrecision(QDataStream::DoublePrecision);
    }

    qint64 remaining() const { return m_buffer.bytesAvailable(); }

    void spend(qint64 bytes)
    {
        m_memory += bytes;
        if (m_memory > PageStream::maxMemory)
            throw Damaged { QStringLiteral("too large to open: its pages need more than %1 MB")
                                .arg(PageStream::maxMemory / (1024 * 1024)) };
    }

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
    // Raw bytes, freed again by the caller once they are turned into text or a picture, which
    // then counts against the memory budget.
    QByteArray bytes(const char *what)
    {
        const quint32 size = count(1, std::numeric_limits<quint32>::max(), what);
        QByteArray data(qsizetype(size), Qt::Uninitialized);
        if (m_stream.readRawData(data.data(), int(size)) != int(size))
            throw Damaged { QStringLiteral("it ends too soon") };
        return data;
    }
    QString text()
    {
        QString s = QString::fromUtf8(bytes("text length"));
        spend(s.size() * 2);
        return s;
    }
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
        const QString family = text();
        const double size = real(0.1, 2000, "font size");
        const qint32 weight = number<qint32>();
        if (weight < 1 || weight > 1000)
            throw Damaged { QStringLiteral("font weight out of range") };
        const quint8 style = number<quint8>();
        if (style > 7)
            throw Damaged { QStringLiteral("bad font style") };
        // Pages use a handful of fonts: equal ones share their data.
        const QString key = QStringLiteral("%1/%2/%3/%4").arg(family).arg(size).arg(weight).arg(style);
        const auto known = m_fonts.constFind(key);
        if (known != m_fonts.cend())
            return *known;
        spend(fontCost);
        QFont f(family);
        f.setPointSizeF(size);
        f.setWeight(QFont::Weight(weight));
        f.setItalic(style & 1);
        f.setUnderline(style & 2);
        f.setStrikeOut(style & 4);
        m_fonts.insert(key, f);
        return f;
    }
    QImage picture()
    {
        const QByteArray png = bytes("picture size");
        if (png.isEmpty())
            return QImage();
        QBuffer buffer(const_cast<QByteArray *>(&png));
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "png");
        const QSize size = reader.size();
        if (!size.isValid() || size.width() > PageStream::maxPictureSide
            || size.height() > PageStream::maxPictureSide)
            throw Damaged { QStringLiteral("bad picture") };
        // Checked before decoding: a tiny file may claim a huge picture of one colour.
        const qint64 pixels = qint64(size.width()) * size.height();
        m_pixels += pixels;
        if (m_pixels > PageStream::maxPixels)
            throw Damaged { QStringLiteral(
                "too large to open: its pictures hold more than %1 million pixels")
                                .arg(PageStream::maxPixels / 1000000) };
        spend(pixels * 4);
        QImage image = reader.read();
        if (image.isNull() || image.size() != size)
            throw Damaged { QStringLiteral("bad picture") };
        return image;
    }
    void pictureTable()
    {
        const quint32 n = count(4, std::numeric_limits<quint32>::max(), "picture count");
        for (quint32 i = 0; i < n; ++i)
            m_pictures.append(picture());
    }
    QImage pictureReference()
    {
        if (m_version < 2)
            return picture();
        const quint32 index = number<quint32>();
        if (index == PageStream::noPicture)
            return QImage();
        if (index >= quint32(m_pictures.size()))
            throw Damaged { QStringLiteral("picture out of range") };
        return m_pictures.at(index);
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
            i.image = pictureReference();
            return i;
        }
        case PageStream::RichTextTag: {
            PageRichText r;
            r.box = rect();
            r.text = text();
            r.html = flag();
            QString why;
            if (!RichTextBlock::withinBounds(r.text, r.html, &why))
                throw Damaged { why };
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
        if (m_version >= 2)
            pictureTable();
        const quint32 pages = count(minPage, maxPages, "page count");
        for (quint32 i = 0; i < pages; ++i) {
            spend(qint64(sizeof(ReportPage)));
            ReportPage page;
            const double w = real(1, 10000, "paper size");
            page.paperSize = QSizeF(w, real(1, 10000, "paper size"));
            const double left = real(0, w, "margin");
            const double top = real(0, page.paperSize.height(), "margin");
            const double right = real(0, w, "margin");
            page.margins = QMarginsF(left, top, right, real(0, page.paperSize.height(), "margin"));
            const quint32 items =
                count(minPrimitive, std::numeric_limits<quint32>::max(), "item count");
            spend(qint64(items) * qint64(sizeof(PagePrimitive)));
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
    quint16 m_version;
    qint64 m_memory = 0;
    qint64 m_pixels = 0;
    QList<QImage> m_pictures;
    QHash<QString, QFont> m_fonts;
};

} // namespace

namespace PageStream {

bool read(const QByteArray &payload, RenderedReport *report, QString *reason, quint16 version)
{
    try {
        RenderedReport result = Reader(payload, version).report();
        *report = std::move(result);
        return true;
    } catch (const Damaged &damaged) {
        if (reason)
            *reason = damaged.reason;
        return false;
    } catch (const std::bad_alloc &) {
        if (reason)
            *reason = QStringLiteral("too large to open");
        return false;
    }
}

} // namespace PageStream

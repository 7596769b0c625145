#include "report/PageStream.h"

#include <QBuffer>
#include <QDataStream>
#include <QHash>
#include <QImageWriter>

#include <cmath>

namespace {

// The pictures of a report, each once: the same picture on every page (a logo) is one entry,
// scaled down to what the largest box showing it prints at pictureDpi.
class PictureTable
{
public:
    explicit PictureTable(const RenderedReport &report)
    {
        for (const ReportPage &page : report.pages) {
            for (const PagePrimitive &primitive : page.primitives) {
                if (const auto *image = std::get_if<PageImage>(&primitive))
                    note(*image);
            }
        }
        for (Entry &entry : m_entries) {
            const QSize limit = entry.printSize.boundedTo(entry.image.size());
            QImage scaled = limit == entry.image.size()
                ? entry.image
                : entry.image.scaled(limit, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            entry.png = png(scaled);
            // Different pictures may still encode alike: those share one entry as well.
            const auto same = m_byPng.constFind(entry.png);
            if (same != m_byPng.cend()) {
                entry.index = *same;
            } else {
                entry.index = quint32(m_pngs.size());
                m_byPng.insert(entry.png, entry.index);
                m_pngs.append(entry.png);
            }
        }
    }

    const QList<QByteArray> &pngs() const { return m_pngs; }

    quint32 indexOf(const QImage &image) const
    {
        if (image.isNull())
            return PageStream::noPicture;
        return m_entries.at(m_byKey.value(image.cacheKey())).index;
    }

private:
    struct Entry
    {
        QImage image;
        QSize printSize;
        QByteArray png;
        quint32 index = 0;
    };

    static QByteArray png(const QImage &image)
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter(&buffer, "png").write(image);
        return bytes;
    }

    void note(const PageImage &item)
    {
        if (item.image.isNull())
            return;
        const auto pixels = [](double mm) {
            return std::max(1, int(std::ceil(mm / 25.4 * PageStream::pictureDpi)));
        };
        const QSize print(pixels(item.box.width()), pixels(item.box.height()));
        const qint64 key = item.image.cacheKey();
        const auto it = m_byKey.constFind(key);
        if (it == m_byKey.cend()) {
            m_byKey.insert(key, m_entries.size());
            m_entries.append({ item.image, print, {}, 0 });
        } else {
            Entry &entry = m_entries[*it];
            entry.printSize = entry.printSize.expandedTo(print);
        }
    }

    QList<Entry> m_entries;
    QHash<qint64, qsizetype> m_byKey;
    QHash<QByteArray, quint32> m_byPng;
    QList<QByteArray> m_pngs;
};

class Writer
{
public:
    Writer(QByteArray *bytes, const RenderedReport &report)
        : m_stream(bytes, QIODevice::WriteOnly)
        , m_pictures(report)
    {
        m_stream.setVersion(QDataStream::Qt_6_4);
        m_stream.setByteOrder(QDataStream::BigEndian);
        m_stream.setFloatingPointPrecision(QDataStream::DoublePrecision);
    }

    void bytes(const QByteArray &data)
    {
        m_stream << quint32(data.size());
        m_stream.writeRawData(data.constData(), int(data.size()));
    }
    void text(const QString &s) { bytes(s.toUtf8()); }
    void rect(const QRectF &r) { m_stream << r.x() << r.y() << r.width() << r.height(); }
    void color(const QColor &c) { m_stream << quint8(c.isValid()) << quint32(c.rgba()); }
    void font(const QFont &f)
    {
        text(f.family());
        m_stream << f.pointSizeF() << qint32(f.weight())
                 << quint8(
                        (f.italic() ? 1 : 0) | (f.underline() ? 2 : 0) | (f.strikeOut() ? 4 : 0));
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
        m_stream << m_pictures.indexOf(i.image);
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
        m_stream << quint32(m_pictures.pngs().size());
        for (const QByteArray &png : m_pictures.pngs())
            bytes(png);
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
    PictureTable m_pictures;
};

} // namespace

namespace PageStream {

QByteArray write(const RenderedReport &report)
{
    QByteArray bytes;
    Writer(&bytes, report).report(report);
    return bytes;
}

} // namespace PageStream

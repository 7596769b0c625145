#include "report/ReportShapes.h"

#include "report/ReportContext.h"

#include <QPixmap>

namespace {

QImage imageFrom(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QImage:
        return value.value<QImage>();
    case QMetaType::QPixmap:
        return value.value<QPixmap>().toImage();
    case QMetaType::QByteArray:
        return QImage::fromData(value.toByteArray());
    default:
        return QImage();
    }
}

} // namespace

ReportImage::ReportImage(const QRectF &box)
    : ReportElement(box)
{ }

bool ReportImage::load(const QString &path)
{
    QImage loaded(path);
    if (loaded.isNull())
        return false;
    m_image = loaded;
    return true;
}

void ReportImage::setSourceField(const QString &fieldName)
{
    m_source = [fieldName](const ReportContext &context) { return context.value(fieldName); };
}

ElementOutput ReportImage::render(const ReportContext &context, const QFont &) const
{
    QImage picture = m_source ? imageFrom(m_source(context)) : QImage();
    if (picture.isNull())
        picture = m_image;
    ElementOutput out;
    out.height = box().height();
    if (!picture.isNull()) {
        QRectF target = box();
        if (m_keepAspectRatio) {
            const QSizeF fitted = QSizeF(picture.size()).scaled(target.size(), Qt::KeepAspectRatio);
            target = QRectF(QPointF(), fitted);
            target.moveCenter(box().center());
        }
        out.primitives.append(PageImage { target, picture });
    }
    out.primitives.append(frame().lines(box()));
    return out;
}

ReportLine::ReportLine(const QPointF &from, const QPointF &to, double width)
    : ReportElement(QRectF(from, to).normalized())
    , m_from(from)
    , m_to(to)
    , m_width(width)
{ }

ElementOutput ReportLine::render(const ReportContext &, const QFont &) const
{
    ElementOutput out;
    out.height = box().height();
    out.primitives.append(PageLine { m_from, m_to, m_color, m_width, m_style });
    return out;
}

ReportRectangle::ReportRectangle(const QRectF &box, double penWidth)
    : ReportElement(box)
    , m_penWidth(penWidth)
{ }

ElementOutput ReportRectangle::render(const ReportContext &, const QFont &) const
{
    ElementOutput out;
    out.height = box().height();
    out.primitives.append(PageRect { box(), m_penColor, m_penWidth, m_fill });
    out.primitives.append(frame().lines(box()));
    return out;
}

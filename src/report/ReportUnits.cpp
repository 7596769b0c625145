#include "report/ReportUnits.h"

#include <QFontMetricsF>
#include <QImage>

#include <cmath>

namespace ReportUnits {

QFont layoutFont(const QFont &font)
{
    QFont result(font);
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : 10.0;
    result.setPixelSize(std::max(1, int(std::lround(points * mmPerPoint * unitsPerMm))));
    return result;
}

QPaintDevice *layoutDevice()
{
    static QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        const int dotsPerMetre = int(unitsPerMm * 1000.0);
        image.setDotsPerMeterX(dotsPerMetre);
        image.setDotsPerMeterY(dotsPerMetre);
        return image;
    }();
    return &device;
}

double textWidthMm(const QFont &font, const QString &text)
{
    return toMm(QFontMetricsF(layoutFont(font)).horizontalAdvance(text));
}

double lineHeightMm(const QFont &font)
{
    return toMm(QFontMetricsF(layoutFont(font)).height());
}

} // namespace ReportUnits

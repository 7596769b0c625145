#include "report/ReportUnits.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>

#include <cmath>

namespace {

// The common document families and the installed families that share their metrics, first choice
// first. The named family itself comes first whenever it is installed.
const QHash<QString, QStringList> &compatibleFamilies()
{
    static const QHash<QString, QStringList> families {
        { QStringLiteral("arial"), { QStringLiteral("Liberation Sans"), QStringLiteral("Arimo") } },
        { QStringLiteral("helvetica"),
            { QStringLiteral("Liberation Sans"), QStringLiteral("Arimo") } },
        { QStringLiteral("times new roman"),
            { QStringLiteral("Liberation Serif"), QStringLiteral("Tinos") } },
        { QStringLiteral("courier new"),
            { QStringLiteral("Liberation Mono"), QStringLiteral("Cousine") } },
    };
    return families;
}

} // namespace

namespace ReportUnits {

QString drawnFamily(const QString &family)
{
    static QHash<QString, QString> resolved;
    const auto known = resolved.constFind(family);
    if (known != resolved.cend())
        return *known;
    QString result = family;
    const auto compatible = compatibleFamilies().constFind(family.toLower());
    // The installed families by their own names: hasFamily() would count the font configuration's
    // aliases, which differ from machine to machine.
    const auto installed = [](const QString &name) {
        return QFontDatabase::families().contains(name, Qt::CaseInsensitive);
    };
    if (compatible != compatibleFamilies().cend() && !installed(family)) {
        for (const QString &candidate : *compatible) {
            if (installed(candidate)) {
                result = candidate;
                break;
            }
        }
    }
    resolved.insert(family, result);
    return result;
}

QFont drawnFont(const QFont &font)
{
    QFont result(font);
    result.setFamilies({ drawnFamily(font.family()) });
    // Latin text then goes straight from characters to glyphs, without the shaper's ligatures.
    // (A tiny letter spacing turns them off too, but then a page drawn on a coarse device no
    // longer matches the same page drawn on a fine one.)
    result.setStyleStrategy(QFont::StyleStrategy(result.styleStrategy() | QFont::PreferNoShaping));
    return result;
}

QFont layoutFont(const QFont &font)
{
    QFont result = drawnFont(font);
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

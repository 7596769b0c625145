#pragma once

#include <QFont>

class QPaintDevice;

// The one coordinate convention of rendered pages: layout and painting both work in fortieths of a
// millimetre with fonts sized in those units, so text measures and wraps the same on a screen, a
// printer, a PDF or an image, whatever the device's resolution.
namespace ReportUnits {

// Fine enough that whole-unit font sizes stay within 0.4 % of their point size, coarse enough that
// body text stays below the glyph sizes at which FreeType gets several times slower.
inline constexpr double unitsPerMm = 40.0;
inline constexpr double mmPerPoint = 25.4 / 72.0;

inline double toUnits(double mm)
{
    return mm * unitsPerMm;
}
inline double toMm(double units)
{
    return units / unitsPerMm;
}

// The font text is drawn and measured in: font, in a metric-compatible family that is installed
// when the one it names is not (Arial as Liberation Sans), chosen here and not by the machine's
// font configuration, so that a page breaks its lines alike everywhere; and with ligatures off, so
// that the text of a PDF reads as the letters typed ("fi" stays two letters).
QFont drawnFont(const QFont &font);
// The family drawnFont draws family in.
QString drawnFamily(const QString &family);

// drawnFont(font) with its size given in layout units, for QPainter::drawText and QFontMetricsF.
QFont layoutFont(const QFont &font);

// A paint device of unitsPerMm * 25.4 dots per inch, on which QTextDocument resolves point sizes to
// layout units. It lives for the whole program.
QPaintDevice *layoutDevice();

// Width in millimetres of one line of text in font.
double textWidthMm(const QFont &font, const QString &text);

// Height in millimetres of one line of text in font.
double lineHeightMm(const QFont &font);

} // namespace ReportUnits

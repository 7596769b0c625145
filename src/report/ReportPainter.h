#pragma once

#include <QRectF>

class QPainter;
struct ReportPage;

// Draws a rendered page onto any paint device: a widget, a printer, a PDF writer or an image.
namespace ReportPainter {

// Draws page at its true size, one millimetre being the painter's device's logical dots per inch
// / 25.4, with the paper's top-left corner at the painter's current origin.
void paint(QPainter &painter, const ReportPage &page);

// Draws page stretched so that its paper fills target, given in the painter's current coordinates.
void paint(QPainter &painter, const ReportPage &page, const QRectF &target);

} // namespace ReportPainter

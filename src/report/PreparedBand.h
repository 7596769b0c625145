#pragma once

#include "report/ReportPage.h"

// One band's printout for one row, ready to place: its primitives in millimetres from the band's
// top-left corner and its final height (grown memos included).
struct PreparedBand
{
    double height = 0;
    QList<PagePrimitive> primitives;

    // Cuts the band so that the first part fits in available millimetres, breaking rich text
    // between lines; *this keeps the first part and rest receives the remainder, moved up to
    // start at 0. Items that cannot break stay whole in the part where they start. Returns false,
    // changing nothing, when no part of the band fits.
    bool split(double available, PreparedBand *rest);

    // The primitives moved to (x, y) on the page.
    QList<PagePrimitive> placedAt(double x, double y) const;
};

#pragma once

#include <QIcon>

// Small drawn glyphs for the preview's buttons that the desktop's icon theme may lack.
namespace PreviewGlyphs {

QIcon printer();
QIcon printerSetup();
QIcon envelope();
QIcon pdf();

} // namespace PreviewGlyphs

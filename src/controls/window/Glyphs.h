#pragma once

#include <QIcon>
#include <QPixmap>

// The pictures of the program's buttons, splash window and About box, drawn rather than shipped
// as files so they stay sharp at any screen scale.
namespace Glyphs {

enum class Glyph
{
    New,
    Save,
    Print,
    Previous,
    Next,
    Delete,
    Find,
    QuickSearch,
    SortPriority,
    Summary,
    Add,
    Edit,
    Select,
    Person,
};

QIcon icon(Glyph glyph);

// The picture that fills the splash window and heads the About box.
QPixmap brandPicture(const QSize &size);

} // namespace Glyphs

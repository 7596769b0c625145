#pragma once

#include <QString>

class TableView;

// Finds, in a view ordered by one text field, the first record whose field starts with typed text,
// case aside, by halving the ordered rows rather than reading them all: a list of ten thousand
// clients is searched by reading a few dozen rows.
namespace PrefixSearch {

// The row of the first match, or -1. The view must be ordered by field first.
int firstRowStartingWith(TableView &view, const QString &field, const QString &text);

// Moves the view to that row; false (the view stays) when none matches.
bool moveTo(TableView &view, const QString &field, const QString &text);

} // namespace PrefixSearch

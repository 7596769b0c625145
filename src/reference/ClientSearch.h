#pragma once

#include <QString>

class TableView;

// The incremental search of a list ordered by one text field: finds the first record whose field
// starts with the typed text. The text is bound with its wildcards escaped, never written into a
// query, so quotes, percent signs and backslashes are plain characters.
namespace ClientSearch {

// Moves the view to the first record, in its order, whose field starts with text, letter case
// aside; the current record stays when there is none. The database walks the order's index.
bool moveToFirstMatch(TableView &view, const QString &field, const QString &text);

// The row id of the first record, in the view's order, whose field holds a word that starts
// with text, case aside: "carl" finds the address "12 Main St, Carlton VIC 3053". A word starts
// the text or follows anything but a letter or digit. Reads only the records that hold the text
// somewhere. -1 when none does.
qint64 firstWordMatch(TableView &view, const QString &field, const QString &text);
bool moveToFirstWordMatch(TableView &view, const QString &field, const QString &text);

} // namespace ClientSearch

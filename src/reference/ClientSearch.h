#pragma once

#include <QString>

class TableView;

// The incremental search of a list ordered by one text field: finds the first record whose field
// starts with the typed text. The text is compared, never turned into a query, so quotes, percent
// signs and backslashes are plain characters.
namespace ClientSearch {

// The row of the first record, in the view's order, whose field starts with text as typed, or
// written in lower case, upper case, or with its first letter or each word's first letter in
// capitals. -1 when none does or the text is empty.
int firstMatch(TableView &view, const QString &field, const QString &text);

// Moves the view to that record; the current record stays when there is none.
bool moveToFirstMatch(TableView &view, const QString &field, const QString &text);

// The row of the first record, in the view's order, whose field holds a word that starts with
// text, case aside: "carl" finds the address "12 Main St, Carlton VIC 3053". A word starts the
// text or follows anything but a letter or digit. Reads the records in turn. -1 when none does.
int firstWordMatch(TableView &view, const QString &field, const QString &text);
bool moveToFirstWordMatch(TableView &view, const QString &field, const QString &text);

} // namespace ClientSearch

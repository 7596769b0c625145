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

} // namespace ClientSearch

#pragma once

#include <QStringList>

// The spellings of the start of a typed text that differ only in letter case, for as many letters
// as keep them few (at most 16): each is one stretch of a text field's order, which the field's
// index finds directly, so a search that ignores case reads a few stretches, not the table.
namespace CaseSpellings {

QStringList of(const QString &text);

} // namespace CaseSpellings

#include "ClientSearch.h"

#include "engine/Field.h"
#include "engine/TableView.h"

namespace ClientSearch {

bool moveToFirstMatch(TableView &view, const QString &field, const QString &text)
{
    if (text.isEmpty())
        return false;
    const qint64 rowid = view.firstRowidStartingWith(field, text);
    return rowid >= 0 && view.moveToRowid(rowid);
}

namespace {

bool hasWordStartingWith(const QString &value, const QString &wanted)
{
    for (qsizetype at = value.indexOf(wanted, 0, Qt::CaseInsensitive); at >= 0;
         at = value.indexOf(wanted, at + 1, Qt::CaseInsensitive)) {
        if (at == 0 || !value.at(at - 1).isLetterOrNumber())
            return true;
    }
    return false;
}

} // namespace

qint64 firstWordMatch(TableView &view, const QString &field, const QString &text)
{
    const QString wanted = text.trimmed();
    if (wanted.isEmpty())
        return -1;
    // The database hands over only the records that hold the text somewhere, a batch at a
    // time in the view's order; the first of them holding it at a word's start is the one.
    constexpr int batch = 64;
    for (int offset = 0;; offset += batch) {
        const auto found = view.recordsContaining(field, wanted, offset, batch);
        for (const auto &[rowid, value] : found) {
            if (hasWordStartingWith(value, wanted))
                return rowid;
        }
        if (found.size() < batch)
            return -1;
    }
}

bool moveToFirstWordMatch(TableView &view, const QString &field, const QString &text)
{
    const qint64 rowid = firstWordMatch(view, field, text);
    return rowid >= 0 && view.moveToRowid(rowid);
}

} // namespace ClientSearch

#include "ClientSearch.h"

#include "engine/Field.h"
#include "engine/TableView.h"

#include <QStringList>

namespace {

// The first row whose value is not below text in the view's order (binary order of the stored
// text; an empty field sorts first).
int lowerBound(TableView &view, int field, int rows, const QString &text)
{
    int low = 0;
    int high = rows;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (view.rowValue(middle, field).toString().compare(text, Qt::CaseSensitive) < 0)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

QString titleCase(const QString &text)
{
    return text.left(1).toUpper() + text.mid(1).toLower();
}

} // namespace

namespace ClientSearch {

int firstMatch(TableView &view, const QString &fieldName, const QString &text)
{
    if (text.isEmpty())
        return -1;
    const int field = view.fieldByName(fieldName)->index();
    const int rows = view.rowCount();
    int best = -1;
    QStringList tried;
    for (const QString &variant : { text, titleCase(text), text.toUpper(), text.toLower() }) {
        if (tried.contains(variant))
            continue;
        tried << variant;
        const int row = lowerBound(view, field, rows, variant);
        if (row < rows && view.rowValue(row, field).toString().startsWith(variant)
            && (best < 0 || row < best))
            best = row;
    }
    if (best >= 0)
        return best;
    // Mixed case written another way ("mcd" for "McDonald"): read the list through once.
    for (int row = 0; row < rows; ++row) {
        if (view.rowValue(row, field).toString().startsWith(text, Qt::CaseInsensitive))
            return row;
    }
    return -1;
}

bool moveToFirstMatch(TableView &view, const QString &field, const QString &text)
{
    const int row = firstMatch(view, field, text);
    if (row < 0)
        return false;
    if (row != view.recNo())
        view.setRecNo(row);
    return true;
}

} // namespace ClientSearch

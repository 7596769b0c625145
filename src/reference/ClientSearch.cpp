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

// "ann archer" as "Ann Archer".
QString wordsCapitalised(const QString &text)
{
    QString result = text.toLower();
    for (qsizetype i = 0; i < result.size(); ++i) {
        if (i == 0 || result.at(i - 1).isSpace())
            result[i] = result.at(i).toUpper();
    }
    return result;
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
    // Each way of writing the text is found by halving the ordered list: a few reads each,
    // however long the list. Reading the whole list for any other mix of cases would be a
    // visible pause on a large business, so such a mix is matched only as typed.
    for (const QString &variant :
        { text, titleCase(text), wordsCapitalised(text), text.toUpper(), text.toLower() }) {
        if (tried.contains(variant))
            continue;
        tried << variant;
        const int row = lowerBound(view, field, rows, variant);
        if (row < rows && view.rowValue(row, field).toString().startsWith(variant)
            && (best < 0 || row < best))
            best = row;
    }
    return best;
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

int firstWordMatch(TableView &view, const QString &fieldName, const QString &text)
{
    const QString wanted = text.trimmed();
    if (wanted.isEmpty())
        return -1;
    const int field = view.fieldByName(fieldName)->index();
    const int rows = view.rowCount();
    for (int row = 0; row < rows; ++row) {
        const QString value = view.rowValue(row, field).toString();
        for (qsizetype at = value.indexOf(wanted, 0, Qt::CaseInsensitive); at >= 0;
             at = value.indexOf(wanted, at + 1, Qt::CaseInsensitive)) {
            if (at == 0 || !value.at(at - 1).isLetterOrNumber())
                return row;
        }
    }
    return -1;
}

bool moveToFirstWordMatch(TableView &view, const QString &field, const QString &text)
{
    const int row = firstWordMatch(view, field, text);
    if (row < 0)
        return false;
    if (row != view.recNo())
        view.setRecNo(row);
    return true;
}

} // namespace ClientSearch

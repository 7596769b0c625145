#include "reference/PrefixSearch.h"

#include "engine/Field.h"
#include "engine/TableView.h"

#include <QSet>

#include <algorithm>

namespace PrefixSearch {

namespace {

// The table orders text by its bytes: upper case before lower case.
QByteArray key(const QVariant &value)
{
    return value.isNull() ? QByteArray() : value.toString().toUtf8();
}

int lowerBound(TableView &view, int field, const QByteArray &target, int rows)
{
    int low = 0;
    int high = rows;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (key(view.rowValue(middle, field)) < target)
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

// The spellings a stored name may have that the typed text matches: as typed, capitalised,
// upper and lower case. Each is its own stretch of the ordered rows.
QStringList spellings(const QString &text)
{
    QStringList result { text, text.toUpper(), text.toLower() };
    QString capital = text.toLower();
    bool start = true;
    for (QChar &c : capital) {
        if (start)
            c = c.toUpper();
        start = c == u' ' || c == u'-' || c == u'\'';
    }
    result << capital;
    QString first = text;
    first[0] = first[0].toUpper();
    result << first;
    result.removeDuplicates();
    return result;
}

// The rows whose text starts with the bytes of prefix, in the order's terms.
std::pair<int, int> prefixRange(TableView &view, int field, const QByteArray &prefix, int rows)
{
    QByteArray after = prefix;
    after[after.size() - 1] = char(quint8(after.back()) + 1);
    return { lowerBound(view, field, prefix, rows), lowerBound(view, field, after, rows) };
}

} // namespace

int firstRowStartingWith(TableView &view, const QString &field, const QString &text)
{
    if (text.isEmpty() || !view.active())
        return -1;
    const Field *f = view.findField(field);
    if (!f)
        return -1;
    // A record being inserted sits outside the order; it is never the one searched for.
    if (view.state() == DataSetState::Insert)
        return -1;
    const int rows = view.rowCount();
    int best = -1;
    for (const QString &spelling : spellings(text)) {
        const int row = lowerBound(view, f->index(), spelling.toUtf8(), rows);
        if (row >= rows)
            continue;
        if (view.rowValue(row, f->index()).toString().startsWith(text, Qt::CaseInsensitive)
            && (best < 0 || row < best))
            best = row;
    }
    if (best >= 0)
        return best;
    // Mixed case inside the name ("McDonald" for "mcd"): read the rows whose first letter
    // matches, in either case.
    const QString first = text.left(text.at(0).isHighSurrogate() ? 2 : 1);
    QSet<QString> initials { first.toUpper(), first.toLower() };
    for (const QString &initial : std::as_const(initials)) {
        const auto [begin, end] = prefixRange(view, f->index(), initial.toUtf8(), rows);
        for (int row = begin; row < end && (best < 0 || row < best); ++row) {
            if (view.rowValue(row, f->index()).toString().startsWith(text, Qt::CaseInsensitive)) {
                best = row;
                break;
            }
        }
    }
    return best;
}

bool moveTo(TableView &view, const QString &field, const QString &text)
{
    const int row = firstRowStartingWith(view, field, text);
    if (row < 0)
        return false;
    view.setRecNo(row);
    return true;
}

} // namespace PrefixSearch

// The price list exchanged with spreadsheet files: planning an import against the stored list,
// carrying it out as one operation, and writing the stored list out.
#include "data/DataModuleMain.h"
#include "data/Errors.h"
#include "data/PriceListExchange.h"
#include "engine/Field.h"
#include "engine/RecordReader.h"
#include "engine/RecordWriter.h"

#include <QHash>

#include <array>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// The stored entries of a price-list view by code, and what each row of a file says of them.
struct Names
{
    QHash<QString, double> ids; // lower-case description -> key
    QHash<double, QString> descriptions;
};

Names namesOf(TQVTable *view, const QString &keyField, const QString &textField)
{
    Names names;
    const int key = view->fieldByName(keyField)->index();
    const int text = view->fieldByName(textField)->index();
    const int rows = view->rowCount();
    for (int row = 0; row < rows; ++row) {
        const double id = view->rowValue(row, key).toDouble();
        const QString description = view->rowValue(row, text).toString().trimmed();
        names.descriptions.insert(id, description);
        if (!names.ids.contains(description.toLower()))
            names.ids.insert(description.toLower(), id);
    }
    return names;
}

struct Layout
{
    QString code, description, unit, heading, key;
    QList<std::pair<QVariant PriceListItem::*, QString>> numbers;
};

const Layout &layoutOf(bool labour)
{
    static const Layout material { u"Material_Code"_s, u"Description"_s, u"Unit_ID"_s,
        u"HeadingCode"_s, u"Material_ID"_s,
        { { &PriceListItem::costPrice, u"CostPrice"_s },
            { &PriceListItem::sellingPrice, u"SellingPrice"_s },
            { &PriceListItem::markup, u"Markup"_s }, { &PriceListItem::tax, u"Tax"_s },
            { &PriceListItem::taxRate, u"Tax_Rate"_s } } };
    static const Layout labourRate { u"Labour_Code"_s, u"Description"_s, u"Unit_ID"_s,
        u"Heading_Code"_s, u"Labour_ID"_s, { { &PriceListItem::hourlyRate, u"Hourly_Rate"_s } } };
    return labour ? labourRate : material;
}

// The file's column that carries each number of an item.
QString columnOf(QVariant PriceListItem::*member)
{
    const QStringList names = PriceListExchange::columns();
    if (member == &PriceListItem::costPrice)
        return names.at(3);
    if (member == &PriceListItem::sellingPrice)
        return names.at(4);
    if (member == &PriceListItem::markup)
        return names.at(5);
    if (member == &PriceListItem::tax)
        return names.at(6);
    if (member == &PriceListItem::taxRate)
        return names.at(7);
    return names.at(8);
}

// The stored list in code order, read once through the table: a view would keep every record
// it read, and find each of its fields by name.
QList<PriceListItem> storedItems(
    TDM &dm, TQVTable *like, bool labour, const Names &units, const Names &headings)
{
    const Layout &layout = layoutOf(labour);
    const int file = like->fileIndex();
    const TableDef &def = dm.DB->tableDef(file);
    const auto column = [&def](const QString &field) { return def.fieldIndex(field); };
    const int code = column(layout.code);
    const int description = column(layout.description);
    const int unit = column(layout.unit);
    const int heading = column(layout.heading);
    QList<std::pair<QVariant PriceListItem::*, int>> numbers;
    for (const auto &[member, field] : layout.numbers)
        numbers.append({ member, column(field) });
    QList<PriceListItem> items;
    RecordReader records(*dm.DB, file, { layout.code });
    while (records.next()) {
        PriceListItem item;
        item.labour = labour;
        item.code = records.value(code).toString();
        item.description = records.value(description).toString();
        for (const auto &[member, index] : std::as_const(numbers))
            item.*member = records.value(index);
        if (const QVariant id = records.value(unit); !id.isNull())
            item.unit = units.descriptions.value(id.toDouble());
        if (const QVariant id = records.value(heading); !id.isNull())
            item.heading = headings.descriptions.value(id.toDouble());
        items << item;
    }
    return items;
}

bool sameNumber(const QVariant &a, const QVariant &b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    return a.toDouble() == b.toDouble();
}

QString shown(const QString &text)
{
    return text.isEmpty() ? u"(empty)"_s : u"\""_s + text + u"\""_s;
}

QString shown(const QVariant &number)
{
    return number.isNull() ? u"(empty)"_s : PriceListExchange::numberText(number);
}

// The differences between a stored entry and a row, in the columns the file has.
QStringList differences(const PriceListItem &stored, const PriceListItem &row, const QStringList &columns)
{
    QStringList changes;
    const auto has = [&](const QString &column) { return columns.contains(column); };
    if (has(u"Description"_s) && stored.description.trimmed() != row.description)
        changes << u"Description %1 -> %2"_s.arg(shown(stored.description), shown(row.description));
    for (const auto &[member, field] : layoutOf(row.labour).numbers) {
        const QString column = columnOf(member);
        if (has(column) && !sameNumber(stored.*member, row.*member))
            changes << u"%1 %2 -> %3"_s.arg(column, shown(stored.*member), shown(row.*member));
    }
    if (has(u"Unit"_s) && stored.unit.compare(row.unit, Qt::CaseInsensitive) != 0)
        changes << u"Unit %1 -> %2"_s.arg(shown(stored.unit), shown(row.unit));
    if (has(u"Heading"_s) && stored.heading.compare(row.heading, Qt::CaseInsensitive) != 0)
        changes << u"Heading %1 -> %2"_s.arg(shown(stored.heading), shown(row.heading));
    return changes;
}

void refuseWhileEditing(const std::array<TQVTable *, 4> &views)
{
    for (TQVTable *view : views) {
        if (view->isEditing()) {
            throw EQuorvane(u"Please save or cancel the changes to the price list, its headings "
                            "and units first."_s);
        }
    }
}

} // namespace

PriceListPlan TDM::planPriceListImport(const QByteArray &csv)
{
    PriceListPlan plan;
    PriceListExchange::readRows(csv, plan);
    const Names units = namesOf(tblUnit, u"Unit_ID"_s, u"Unit_Description"_s);
    const Names headings = namesOf(tblHeadings, u"Heading_ID"_s, u"Description"_s);
    QHash<QString, PriceListItem> stored[2];
    for (bool labour : { false, true }) {
        for (const PriceListItem &item :
            storedItems(*this, labour ? tblLabour : tblMaterial, labour, units, headings)) {
            const QString code = PriceListExchange::codeKey(item.code.trimmed());
            if (!stored[labour].contains(code))
                stored[labour].insert(code, item);
        }
    }
    for (PriceListPlan::Row &row : plan.rows) {
        const auto found =
            stored[row.item.labour].constFind(PriceListExchange::codeKey(row.item.code));
        if (found == stored[row.item.labour].cend()) {
            row.action = PriceListPlan::Action::Add;
        } else {
            // The entry keeps its code as stored, whatever the letter case in the file.
            row.item.code = found->code;
            row.changes = differences(*found, row.item, plan.columns);
            row.action = row.changes.isEmpty() ? PriceListPlan::Action::Same
                                                : PriceListPlan::Action::Change;
        }
        if (!headings.ids.contains(row.item.heading.toLower())
            && !plan.newHeadings.contains(row.item.heading, Qt::CaseInsensitive))
            plan.newHeadings << row.item.heading;
        if (plan.columns.contains(u"Unit"_s) && !row.item.unit.isEmpty()
            && !units.ids.contains(row.item.unit.toLower())
            && !plan.newUnits.contains(row.item.unit, Qt::CaseInsensitive))
            plan.newUnits << row.item.unit;
    }
    return plan;
}

void TDM::importPriceList(const PriceListPlan &plan)
{
    if (!plan.refusals.isEmpty())
        throw EQuorvane(u"The price list was not imported:\r\n"_s + plan.refusalText());
    const std::array<TQVTable *, 4> views { tblMaterial, tblLabour, tblHeadings, tblUnit };
    refuseWhileEditing(views);
    const ControlsDisabled quietMaterials(tblMaterial);
    const ControlsDisabled quietLabour(tblLabour);
    const ControlsDisabled quietHeadings(tblHeadings);
    const ControlsDisabled quietUnits(tblUnit);
    // Every row, heading and unit is stored, or none is.
    OperationScope operation(DB, tblMaterial->fileIndex());
    // The keys of what the plan adds are taken in one block; a code another copy added or
    // removed since the plan takes its key from the counter.
    int adding = int(plan.newHeadings.size() + plan.newUnits.size());
    for (const PriceListPlan::Row &row : plan.rows)
        adding += row.action == PriceListPlan::Action::Add ? 1 : 0;
    const ReservedKeys keys(*this, adding);
    // The rows go in through statements prepared once: a view's post for each of tens of
    // thousands of rows would cost many times the writing itself. The checks of a post hold by
    // the plan: every row has a code and a heading.
    Names units = namesOf(tblUnit, u"Unit_ID"_s, u"Unit_Description"_s);
    Names headings = namesOf(tblHeadings, u"Heading_ID"_s, u"Description"_s);
    RecordWriter unitWriter(*DB, tblUnit->fileIndex());
    RecordWriter headingWriter(*DB, tblHeadings->fileIndex());
    const auto idOf = [this](Names &names, RecordWriter &writer, const QString &text) {
        const auto found = names.ids.constFind(text.toLower());
        if (found != names.ids.cend())
            return *found;
        const double id = NextKey();
        writer.add({ id, text }); // the key and the description
        names.ids.insert(text.toLower(), id);
        return id;
    };
    const auto has = [&plan](const QString &column) { return plan.columns.contains(column); };
    TQVTable *const priceLists[2] { tblMaterial, tblLabour };
    std::unique_ptr<RecordWriter> writers[2];
    QHash<QString, qint64> rowids[2]; // stored code -> record, as the write lock found them
    for (const PriceListPlan::Row &row : plan.rows) {
        if (row.action == PriceListPlan::Action::Same)
            continue;
        const PriceListItem &item = row.item;
        const Layout &layout = layoutOf(item.labour);
        const int file = priceLists[item.labour]->fileIndex();
        const TableDef &def = DB->tableDef(file);
        if (!writers[item.labour]) {
            writers[item.labour] = std::make_unique<RecordWriter>(*DB, file);
            rowids[item.labour] = writers[item.labour]->rowidsBy(layout.code);
        }
        RecordWriter &writer = *writers[item.labour];
        const double heading = idOf(headings, headingWriter, item.heading);
        QVariant unit;
        if (has(u"Unit"_s) && !item.unit.isEmpty())
            unit = idOf(units, unitWriter, item.unit);
        // Another copy may have added or removed the code since the plan was made.
        const auto stored = rowids[item.labour].constFind(item.code);
        const bool adding = stored == rowids[item.labour].cend();
        QList<int> fields;
        QVariantList values;
        const auto set = [&](const QString &field, const QVariant &value) {
            fields << def.fieldIndex(field);
            values << value;
        };
        if (adding) {
            set(layout.key, NextKey());
            set(layout.code, item.code);
        }
        if (adding || has(u"Description"_s))
            set(layout.description, item.description);
        for (const auto &[member, field] : layout.numbers) {
            if (adding || has(columnOf(member)))
                set(field, item.*member);
        }
        if (has(u"Unit"_s))
            set(layout.unit, unit);
        set(layout.heading, heading);
        if (adding) {
            QVector<QVariant> record(def.fields.size());
            for (qsizetype i = 0; i < fields.size(); ++i)
                record[fields.at(i)] = values.at(i);
            writer.add(record);
        } else {
            // As an edit would, refused when another copy holds the record.
            DB->acquireLock(file, *stored);
            DB->releaseLock(file, *stored);
            writer.change(*stored, fields, values);
        }
    }
    operation.commit();
}

QByteArray TDM::exportPriceList()
{
    refuseWhileEditing({ tblMaterial, tblLabour, tblHeadings, tblUnit });
    const Names units = namesOf(tblUnit, u"Unit_ID"_s, u"Unit_Description"_s);
    const Names headings = namesOf(tblHeadings, u"Heading_ID"_s, u"Description"_s);
    QList<PriceListItem> items = storedItems(*this, tblMaterial, false, units, headings);
    items << storedItems(*this, tblLabour, true, units, headings);
    return PriceListExchange::write(items);
}

#include "data/PriceListExchange.h"

#include "data/CsvTable.h"
#include "data/Errors.h"
#include "data/TextDecoding.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QLocale>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

enum Column
{
    Type,
    Code,
    Description,
    CostPrice,
    SellingPrice,
    Markup,
    Tax,
    TaxRate,
    HourlyRate,
    Unit,
    Heading,
    ColumnCount
};

constexpr int materialCodeSize = 15;
constexpr int labourCodeSize = 10;
constexpr int textSize = 60;
// The most a number may be: money in the millions is a mistyped price, not a price.
constexpr double mostMoney = 1e9;
constexpr double mostMarkup = 10000;
constexpr double mostTaxRate = 100;

double mostOf(int column)
{
    switch (column) {
    case Markup:
        return mostMarkup;
    case TaxRate:
        return mostTaxRate;
    default:
        return mostMoney;
    }
}

// A spreadsheet runs text that starts with one of these as a formula. Written out, such text gets
// an apostrophe before it, which spreadsheets take as "this is text" and reading takes off again;
// text that starts with apostrophes before such a character gets one more, so all text comes back.
bool looksLikeFormula(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == u'\'')
        ++i;
    return i < text.size() && QStringView(u"=+-@").contains(text.at(i));
}

QString guarded(const QString &text)
{
    return looksLikeFormula(text) ? u'\'' + text : text;
}

QString unguarded(const QString &text)
{
    return text.startsWith(u'\'') && looksLikeFormula(text) ? text.mid(1) : text;
}

bool isBlank(const CsvTable::Record &record)
{
    if (!record.error.isEmpty())
        return false;
    for (const QString &field : record.fields) {
        if (!field.trimmed().isEmpty())
            return false;
    }
    return true;
}

// Maps the header's columns onto ours; empty with a refusal when the header is unusable.
QList<int> headerColumns(const CsvTable::Record &header, QList<PriceListPlan::Refusal> &refusals)
{
    const QStringList names = PriceListExchange::columns();
    QList<int> mapping;
    QList<bool> seen(ColumnCount, false);
    const auto refuse = [&](const QString &reason) {
        refusals << PriceListPlan::Refusal { header.line, reason };
        return QList<int>();
    };
    if (!header.error.isEmpty())
        return refuse(u"the header row cannot be read: "_s + header.error);
    for (const QString &raw : header.fields) {
        const QString name = raw.trimmed();
        int found = -1;
        for (int i = 0; i < names.size(); ++i) {
            if (names.at(i).compare(name, Qt::CaseInsensitive) == 0)
                found = i;
        }
        if (found < 0)
            return refuse(u"the header names an unknown column \"%1\"; the columns are %2"_s.arg(
                name, names.join(u", "_s)));
        if (seen.at(found))
            return refuse(u"the header names the column \"%1\" twice"_s.arg(names.at(found)));
        seen[found] = true;
        mapping << found;
    }
    for (int required : { Type, Code, Description, Heading }) {
        if (!seen.at(required))
            return refuse(u"the header lacks the column \"%1\""_s.arg(names.at(required)));
    }
    return mapping;
}

// A number cell: empty is null; anything else must be a finite number written with a point.
bool readNumber(const QString &text, const QString &column, QVariant &value, QString &error)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        value = QVariant();
        return true;
    }
    bool ok = false;
    const double number = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(number)) {
        error = u"\"%1\" is not a valid number for %2"_s.arg(trimmed, column);
        return false;
    }
    value = number;
    return true;
}

QString checkRow(const QStringList &cells, const QList<int> &mapping, PriceListItem &item)
{
    QStringList value(ColumnCount);
    for (int i = 0; i < mapping.size(); ++i) {
        if (cells.at(i).contains(QChar::ReplacementCharacter))
            return u"the row holds the character \uFFFD, which stands for text lost before the "
                   "file was written; correct the text and import it again"_s;
        value[mapping.at(i)] = unguarded(cells.at(i).trimmed());
    }
    const QStringList names = PriceListExchange::columns();

    const QString type = value.at(Type).trimmed();
    if (type.compare(u"Material"_s, Qt::CaseInsensitive) == 0)
        item.labour = false;
    else if (type.compare(u"Labour"_s, Qt::CaseInsensitive) == 0)
        item.labour = true;
    else
        return u"the type \"%1\" is neither Material nor Labour"_s.arg(type);

    item.code = value.at(Code).trimmed();
    const int codeSize = item.labour ? labourCodeSize : materialCodeSize;
    if (item.code.isEmpty())
        return item.labour ? u"the labour code is empty"_s : u"the material code is empty"_s;
    if (item.code.size() > codeSize)
        return u"the code \"%1\" is longer than %2 characters"_s.arg(item.code).arg(codeSize);
    item.description = value.at(Description).trimmed();
    item.unit = value.at(Unit).trimmed();
    item.heading = value.at(Heading).trimmed();
    const std::pair<QString *, int> texts[] = { { &item.description, Description },
        { &item.unit, Unit }, { &item.heading, Heading } };
    for (const auto &[text, column] : texts) {
        if (text->size() > textSize)
            return u"the %1 is longer than %2 characters"_s.arg(names.at(column).toLower())
                .arg(textSize);
    }
    if (item.heading.isEmpty())
        return u"the heading is empty: every material and labour rate needs a group heading"_s;

    const std::pair<QVariant *, int> numbers[] = { { &item.costPrice, CostPrice },
        { &item.sellingPrice, SellingPrice }, { &item.markup, Markup }, { &item.tax, Tax },
        { &item.taxRate, TaxRate }, { &item.hourlyRate, HourlyRate } };
    QString error;
    for (const auto &[number, column] : numbers) {
        if (!readNumber(value.at(column), names.at(column), *number, error))
            return error;
        if (number->isNull())
            continue;
        const bool labourColumn = column == HourlyRate;
        if (labourColumn != item.labour) {
            return labourColumn ? u"Hourly Rate is for labour rates, not materials"_s
                                : u"%1 is for materials, not labour rates"_s.arg(names.at(column));
        }
        const QString shown = PriceListExchange::numberText(*number);
        if (number->toDouble() < 0)
            return u"%1 %2 is negative"_s.arg(names.at(column), shown);
        if (number->toDouble() > mostOf(column))
            return u"%1 %2 is more than %3"_s.arg(names.at(column), shown,
                QString::number(mostOf(column), 'f', 0));
    }
    return {};
}

} // namespace

int PriceListPlan::count(Action action) const
{
    int result = 0;
    for (const Row &row : rows)
        result += row.action == action ? 1 : 0;
    return result;
}

QString PriceListPlan::refusalText() const
{
    QStringList lines;
    for (const Refusal &refusal : refusals)
        lines << u"Line %1: %2"_s.arg(refusal.line).arg(refusal.reason);
    return lines.join(u"\r\n"_s);
}

QString PriceListPlan::summary() const
{
    return u"%1 to add, %2 to change, %3 unchanged; %4 new headings, %5 new units"_s
        .arg(count(Action::Add))
        .arg(count(Action::Change))
        .arg(count(Action::Same))
        .arg(newHeadings.size())
        .arg(newUnits.size());
}

namespace PriceListExchange {

QStringList columns()
{
    // Made once: every row's checks name them.
    static const QStringList names { u"Type"_s, u"Code"_s, u"Description"_s, u"Cost Price"_s,
        u"Selling Price"_s, u"Markup"_s, u"Tax"_s, u"Tax Rate"_s, u"Hourly Rate"_s, u"Unit"_s,
        u"Heading"_s };
    return names;
}

QString numberText(const QVariant &value)
{
    if (value.isNull())
        return {};
    return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
}

QByteArray readFile(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QString tooLarge = u"%1 is larger than %2 MB, the most a price-list file may be; it was "
                             "not read"_s.arg(shown, QString::number(maxFileBytes / (1024 * 1024)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EQuorvane(u"Cannot read %1: %2"_s.arg(shown, file.errorString()));
    if (file.size() > maxFileBytes)
        throw EQuorvane(tooLarge);
    // A pipe tells no size, and a file may grow while it is read.
    QByteArray bytes = file.read(maxFileBytes + 1);
    if (bytes.size() > maxFileBytes)
        throw EQuorvane(tooLarge);
    if (file.error() != QFileDevice::NoError)
        throw EQuorvane(u"Cannot read %1: %2"_s.arg(shown, file.errorString()));
    return bytes;
}

QString codeKey(const QString &code)
{
    return code.toUpper();
}

QStringList numbersOf(const PriceListItem &item)
{
    const QStringList names = columns();
    const std::pair<const QVariant *, int> numbers[] = { { &item.costPrice, CostPrice },
        { &item.sellingPrice, SellingPrice }, { &item.markup, Markup }, { &item.tax, Tax },
        { &item.taxRate, TaxRate }, { &item.hourlyRate, HourlyRate } };
    QStringList shown;
    for (const auto &[number, column] : numbers) {
        if (!number->isNull())
            shown << names.at(column) + u' ' + numberText(*number);
    }
    return shown;
}

void readRows(const QByteArray &bytes, PriceListPlan &plan)
{
    QList<PriceListPlan::Row> &rows = plan.rows;
    QList<PriceListPlan::Refusal> &refusals = plan.refusals;
    const TextDecoding::Text text = TextDecoding::decode(bytes);
    if (text.encoding == TextDecoding::Encoding::Windows1252)
        plan.encodingNote = u"The file is not UTF-8 or UTF-16 text; it was read as Windows-1252."_s;
    QList<CsvTable::Record> records = CsvTable::read(text.text);
    // Spreadsheets save the rows a user once formatted as rows of empty cells.
    records.removeIf(isBlank);
    if (records.isEmpty()) {
        refusals << PriceListPlan::Refusal { 1, u"the file is empty; it needs a header row"_s };
        return;
    }
    const QList<int> mapping = headerColumns(records.first(), refusals);
    if (mapping.isEmpty())
        return;
    for (int column : mapping)
        plan.columns << columns().at(column);
    // A code names one entry of its kind: a second row for it would silently undo the first.
    QHash<QString, int> firstLine[2];
    for (qsizetype r = 1; r < records.size(); ++r) {
        const CsvTable::Record &record = records.at(r);
        const auto refuse = [&](const QString &reason) {
            refusals << PriceListPlan::Refusal { record.line, reason };
        };
        if (!record.error.isEmpty()) {
            refuse(u"the row cannot be read: "_s + record.error);
            continue;
        }
        if (record.fields.size() != mapping.size()) {
            refuse(u"the row has %1 fields, the header has %2"_s.arg(record.fields.size())
                       .arg(mapping.size()));
            continue;
        }
        PriceListPlan::Row row;
        row.line = record.line;
        const QString reason = checkRow(record.fields, mapping, row.item);
        if (!reason.isEmpty()) {
            refuse(reason);
            continue;
        }
        QHash<QString, int> &lines = firstLine[row.item.labour ? 1 : 0];
        const QString key = codeKey(row.item.code);
        const auto earlier = lines.constFind(key);
        if (earlier != lines.cend()) {
            refuse(u"the code \"%1\" is already on line %2"_s.arg(row.item.code).arg(*earlier));
            continue;
        }
        lines.insert(key, row.line);
        rows << row;
    }
}

QByteArray write(const QList<PriceListItem> &items)
{
    QString text = CsvTable::record(columns());
    for (const PriceListItem &item : items) {
        text += CsvTable::record({ item.labour ? u"Labour"_s : u"Material"_s, guarded(item.code),
            guarded(item.description), numberText(item.costPrice), numberText(item.sellingPrice),
            numberText(item.markup), numberText(item.tax), numberText(item.taxRate),
            numberText(item.hourlyRate), guarded(item.unit), guarded(item.heading) });
    }
    return "\xEF\xBB\xBF" + text.toUtf8();
}

} // namespace PriceListExchange

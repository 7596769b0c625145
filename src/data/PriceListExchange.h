#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

// One material or labour rate as a price-list file carries it. Numbers are null when the file
// leaves them empty; the unit and heading are named by their descriptions.
struct PriceListItem
{
    bool labour = false;
    QString code;
    QString description;
    QVariant costPrice;
    QVariant sellingPrice;
    QVariant markup;
    QVariant tax;
    QVariant taxRate;
    QVariant hourlyRate;
    QString unit;
    QString heading;
};

// What importing a price-list file would do: each good row added or changing an entry of the
// same code (or already the same), the headings and units it would add, and every row refused
// with its line and reason. A plan with refusals is never carried out.
struct PriceListPlan
{
    enum class Action
    {
        Add,
        Change,
        Same
    };
    struct Row
    {
        int line = 0;
        PriceListItem item;
        Action action = Action::Add;
        QStringList changes; // "Selling Price 12.5 -> 13"
    };
    struct Refusal
    {
        int line = 0;
        QString reason;
    };

    QList<Row> rows;
    QList<Refusal> refusals;
    QStringList columns; // the file's columns, by their names in PriceListExchange::columns()
    QStringList newHeadings;
    QStringList newUnits;
    QString encodingNote; // how the file was read, when that was a guess

    bool acceptable() const { return refusals.isEmpty() && !rows.isEmpty(); }
    int count(Action action) const;
    // "Line 4: ..." for each refusal, one a line.
    QString refusalText() const;
    // "3 to add, 2 to change, 40 unchanged; 1 new heading, 0 new units".
    QString summary() const;
};

// The file format of price lists and the checks of its rows; the data module carries plans out.
namespace PriceListExchange {

// The header row, in the order files are written.
QStringList columns();
// The text of a number as written: as short as reads back to the same value.
QString numberText(const QVariant &value);
// The largest file read, so that a wrong or hostile file cannot take all memory.
constexpr qint64 maxFileBytes = 10 * 1024 * 1024;
// The bytes of the file at path; refused (EQuorvane) when it cannot be read or is larger than
// maxFileBytes, which is found out before it is read.
QByteArray readFile(const QString &path);
// Reads a file into the plan's rows (as additions), its columns and its refusals of bad rows and
// a bad header; stored entries are not looked at. Rows with nothing in them are left out.
void readRows(const QByteArray &bytes, PriceListPlan &plan);
// Codes of one kind that name the same entry have the same key: letter case aside, as everywhere.
QString codeKey(const QString &code);
// The numbers an item carries, as "Selling Price 13.5", in the order of the columns.
QStringList numbersOf(const PriceListItem &item);
// The file for items, header first, after a UTF-8 byte-order mark so that spreadsheets read
// accents; text that a spreadsheet would run as a formula is written so that it does not.
QByteArray write(const QList<PriceListItem> &items);

} // namespace PriceListExchange

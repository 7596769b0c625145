// Material and labour lines: pricing from typed texts, and the header sums, undo store and printed
// row kept in step as a line is edited, posted, cancelled and deleted.
#include "data/DataModuleMain.h"
#include "data/Document.h"
#include "data/Errors.h"
#include "engine/Field.h"
#include "engine/RecordLocks.h"
#include "engine/TQVDatabase.h"

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// Division as the arithmetic of the pricing reports it: x / 0 and 0 / 0 are refused.
double divide(double numerator, double denominator)
{
    if (denominator == 0) {
        if (numerator == 0)
            throw EInvalidOp(u"Invalid floating point operation"_s);
        throw EZeroDivide(u"Floating point division by zero"_s);
    }
    return numerator / denominator;
}

double number(TableView &line, const QString &field)
{
    return line.fieldByName(field)->asFloat();
}

void set(TableView &line, const QString &field, double value)
{
    line.fieldByName(field)->setAsFloat(value);
}

// A text hook: an empty text is ignored or refused; anything else must be a number. The hook
// works out every value before storing any, so a refused text changes nothing.
using Pricing = std::function<void(TableView &line, double typed)>;

void priceBy(Field *field, bool emptyRefused, Pricing pricing)
{
    field->onSetText = [emptyRefused, pricing](Field &self, const QString &text) {
        if (text.trimmed().isEmpty()) {
            if (emptyRefused)
                throw EConvertError(u"'%1' is not a valid floating point value"_s.arg(text));
            return;
        }
        pricing(*self.dataSet(), Field::parseNumber(text));
    };
}

} // namespace

// Undo rows come and go with every line edit and a new row takes the place of the last one
// deleted, whose lock another copy lets go of only just after its commit: the row's lock is
// waited for, under the file's write lock so that no two copies wait on each other. The lock
// goes when the guard does, whether the write succeeded or not.
class UndoStoreLock
{
public:
    UndoStoreLock(TQVDatabase *database, int file)
        : m_lock(writing(database, file), file, 10000)
    { }

private:
    static TQVDatabase *writing(TQVDatabase *database, int file)
    {
        database->writer(file);
        return database;
    }

    TableLock m_lock;
};

void TDM::saveUndoCharge(Document &document, double charge, const QString &label)
{
    const QString key = undoKey(document);
    const UndoStoreLock undoStore(DB, tblGlobal->fileIndex());
    if (tblGlobal->findKey({ key })) {
        tblGlobal->edit();
    } else {
        tblGlobal->insert();
        tblGlobal->fieldByName(u"GLOBAL_KEY"_s)->setAsString(key);
        tblGlobal->fieldByName(u"ALPHA"_s)->setAsString(label);
    }
    tblGlobal->fieldByName(u"ID_FIELD"_s)->setAsFloat(charge);
    tblGlobal->post();
}

void TDM::dropUndoRow(Document &document)
{
    if (!tblGlobal->findKey({ undoKey(document) }))
        return;
    const UndoStoreLock undoStore(DB, tblGlobal->fileIndex());
    tblGlobal->deleteRecord();
}

// A new line's printed row is new too, and takes the key its line reserved (newRowKey); an
// edited line's row is looked for, and made again should it be missing.
void TDM::writePrintedRow(Document &document,
    TQVTable *line,
    const QVector<QVariant> &saved,
    LineKind kind,
    double newRowKey)
{
    TQVTable *printed = document.printed;
    auto stored = [&](const QString &field) { return saved.at(line->fieldByName(field)->index()); };
    const double repId = stored(document.repId).toDouble();
    if (newRowKey == 0 && printed->findKey({ repId }))
        printed->edit();
    else
        printed->insert();
    auto copyText = [&](const QString &to, const QString &from) {
        printed->fieldByName(to)->setValue(stored(from));
    };
    printed->fieldByName(u"Number"_s)
        ->setValue(document.header->fieldByName(document.number)->value());
    const bool material = kind == LineKind::Material;
    if (material) {
        copyText(u"Code"_s, u"MaterialCode"_s);
        copyText(u"Description"_s, u"MaterialDesc"_s);
        copyText(u"Qty"_s, u"Quantity"_s);
        copyText(u"Cost"_s, u"CurrentPrice"_s);
    } else {
        copyText(u"Code"_s, u"Labour_Code"_s);
        copyText(u"Description"_s, u"Description"_s);
        copyText(u"Qty"_s, u"Hours"_s);
        copyText(u"Cost"_s, u"Hourly_Rate"_s);
    }
    copyText(u"Total_Cost"_s, u"TotalCharge"_s);
    set(*printed, u"Rep_ID"_s, repId);
    copyText(u"Heading_ID"_s, u"Heading_ID"_s);
    const QString notes = stored(u"Notes"_s).toString();
    // Job material lines print their notes without surrounding blanks.
    printed->fieldByName(u"Notes"_s)
        ->setAsString(document.isJob && material ? notes.trimmed() : notes);
    if (newRowKey == 0) {
        printed->post();
        return;
    }
    const ReservedKeys key(*this, newRowKey, newRowKey);
    printed->post();
}

// The hooks both kinds of line share; sumField is TotalMaterials or TotalLabour.
void TDM::bindLineSums(Document &document,
    TQVTable *lines,
    const QString &sumField,
    const QString &undoLabel,
    LineKind kind)
{
    auto addToSums = [&document, sumField](double charge) {
        TableView &header = *document.header;
        set(header, sumField, number(header, sumField) + charge);
        set(header, document.total, number(header, document.total) + charge);
    };
    // What this line's before-edit took off the sums. A cancel gives back exactly that: the undo
    // row records it for the document, but a row is shared by the document's material and labour
    // lines and is not this copy's alone.
    auto takenOff = std::make_shared<double>(0);
    // The line as its post stores it. Once stored, the view may show another line in its place
    // (one outside the view's filter is not shown), so the sums and the printed row are taken
    // from this, never from the view's current line.
    auto saved = std::make_shared<QVector<QVariant>>();
    // The key a new line's printed row takes, reserved with the line's own two; 0 for an edit.
    auto printedKey = std::make_shared<double>(0);
    lines->beforeEdit = [this, &document, addToSums, undoLabel, takenOff](TableView &line) {
        const double charge = number(line, u"TotalCharge"_s);
        addToSums(-charge);
        saveUndoCharge(document, charge, undoLabel);
        *takenOff = charge;
    };
    lines->beforePost = [this, &document, saved, printedKey](TableView &line) {
        TableView &header = *document.header;
        // A new header is stored first, so the line takes the number it is stored with.
        if (header.state() == DataSetState::Insert) {
            header.post();
            header.edit();
        }
        line.fieldByName(document.number)->setValue(header.fieldByName(document.number)->value());
        *printedKey = 0;
        if (line.state() == DataSetState::Insert) {
            // A new line never saved an undo row, so it drops none: the document's row belongs
            // to a line being edited. Its keys and its printed row's come with one raise.
            const ReservedKeys keys(*this, 3);
            set(line, document.key, NextKey());
            set(line, document.repId, NextKey());
            *printedKey = NextKey();
        } else {
            dropUndoRow(document);
        }
        *saved = line.editBuffer();
    };
    lines->afterPost = [this, &document, addToSums, lines, kind, saved, printedKey](TableView &) {
        addToSums(saved->at(lines->fieldByName(u"TotalCharge"_s)->index()).toDouble());
        writePrintedRow(document, lines, *saved, kind, *printedKey);
        document.header->post();
    };
    lines->beforeCancel = [this, &document, addToSums, takenOff](TableView &line) {
        if (line.state() == DataSetState::Edit) {
            dropUndoRow(document);
            addToSums(*takenOff);
        }
        document.header->post();
    };
    lines->beforeDelete = [&document, addToSums](TableView &line) {
        addToSums(-number(line, u"TotalCharge"_s));
        if (document.printed->findKey({ number(line, document.repId) }))
            document.printed->deleteRecord();
    };
    lines->afterDelete = [&document](TableView &) { document.header->post(); };
}

void TDM::bindMaterialLineHooks(Document &document)
{
    TQVTable *lines = document.materials;
    bindLineSums(
        document, lines, u"TotalMaterials"_s, document.materialUndoLabel, LineKind::Material);

    priceBy(lines->fieldByName(u"CurrentPrice"_s), true, [](TableView &line, double price) {
        const double markup = price * number(line, u"Quantity"_s);
        set(line, u"TotalMarkup"_s, markup);
        set(line, u"TotalCharge"_s, markup);
        set(line, u"CurrentPrice"_s, price);
    });
    priceBy(
        lines->fieldByName(u"Quantity"_s), document.isJob, [](TableView &line, double quantity) {
            const double markup = quantity * number(line, u"CurrentPrice"_s);
            set(line, u"TotalMarkup"_s, markup);
            set(line, u"TotalCharge"_s, markup);
            set(line, u"Quantity"_s, quantity);
        });
    if (!document.isJob) {
        priceBy(lines->fieldByName(u"UnitCost"_s), false, [](TableView &line, double cost) {
            const double markup = cost * (1 + number(line, u"RetailMarkup"_s) * 0.01);
            const double amount = markup * number(line, u"Quantity"_s);
            set(line, u"TotalMarkup"_s, markup);
            set(line, u"TotalQuantity"_s, amount);
            set(line, u"TotalCharge"_s, amount);
            set(line, u"UnitCost"_s, cost);
        });
        return;
    }
    priceBy(lines->fieldByName(u"RetailMarkup"_s), true, [](TableView &line, double percent) {
        const double markup = (percent * 0.01 + 1) * number(line, u"UnitCost"_s);
        const double amount = number(line, u"Quantity"_s) * markup;
        set(line, u"TotalMarkup"_s, markup);
        set(line, u"TotalQuantity"_s, amount);
        set(line, u"TotalCharge"_s, amount);
        set(line, u"RetailMarkup"_s, percent);
    });
    priceBy(lines->fieldByName(u"TotalCharge"_s), true, [](TableView &line, double charge) {
        const double markup = divide(charge, number(line, u"Quantity"_s));
        const double percent = (divide(markup, number(line, u"UnitCost"_s)) - 1) * 100;
        set(line, u"TotalMarkup"_s, markup);
        set(line, u"RetailMarkup"_s, percent);
        set(line, u"TotalQuantity"_s, markup * number(line, u"Quantity"_s));
        set(line, u"TotalCharge"_s, charge);
    });
    // The line's tax amount: the typed percent of its marked-up amount.
    priceBy(lines->fieldByName(u"SalesTax"_s), true, [](TableView &line, double percent) {
        const double amount = number(line, u"TotalQuantity"_s);
        set(line, u"TotalCharge"_s, amount);
        set(line, u"SalesTax"_s, percent);
        set(line, u"TotalSalesTax"_s, amount * percent * 0.01);
    });
}

void TDM::bindLabourLineHooks(Document &document)
{
    TQVTable *lines = document.labour;
    bindLineSums(document, lines, u"TotalLabour"_s, document.labourUndoLabel, LineKind::Labour);

    priceBy(lines->fieldByName(u"Hourly_Rate"_s), false, [](TableView &line, double rate) {
        set(line, u"TotalCharge"_s, rate * number(line, u"Hours"_s));
        set(line, u"Hourly_Rate"_s, rate);
    });
    priceBy(lines->fieldByName(u"Hours"_s), false, [](TableView &line, double hours) {
        set(line, u"TotalCharge"_s, hours * number(line, u"Hourly_Rate"_s));
        set(line, u"Hours"_s, hours);
    });
    priceBy(lines->fieldByName(u"TotalCharge"_s), false, [](TableView &line, double charge) {
        set(line, u"Hours"_s, divide(charge, number(line, u"Hourly_Rate"_s)));
        set(line, u"TotalCharge"_s, charge);
    });
}

void TDM::fillMaterialLine(Document &document)
{
    TQVTable *line = document.materials;
    if (!line->isEditing())
        return;
    auto take = [&](const QString &to, const QString &from) {
        line->fieldByName(to)->setValue(tblMaterial->fieldByName(from)->value());
    };
    take(u"MaterialCode"_s, u"Material_Code"_s);
    take(u"MaterialDesc"_s, u"Description"_s);
    take(u"CurrentPrice"_s, u"SellingPrice"_s);
    take(u"Heading_ID"_s, u"HeadingCode"_s);
    take(u"UnitCost"_s, u"CostPrice"_s);
    take(u"RetailMarkup"_s, u"Markup"_s);
    Field *quantity = line->fieldByName(u"Quantity"_s);
    if (quantity->asFloat() == 0)
        quantity->setAsFloat(1);
    quantity->setAsString(quantity->asString());
}

void TDM::FillQuoteMaterialLine()
{
    fillMaterialLine(*m_quote);
}

void TDM::FillJobMaterialLine()
{
    fillMaterialLine(*m_job);
}

void TDM::fillLabourLine(Document &document)
{
    TQVTable *line = document.labour;
    if (!line->isEditing())
        return;
    auto take = [&](const QString &to, const QString &from) {
        line->fieldByName(to)->setValue(tblLabour->fieldByName(from)->value());
    };
    take(u"Labour_Code"_s, u"Labour_Code"_s);
    take(u"Description"_s, u"Description"_s);
    take(u"Hourly_Rate"_s, u"Hourly_Rate"_s);
    take(u"Heading_ID"_s, u"Heading_Code"_s);
    Field *hours = line->fieldByName(u"Hours"_s);
    if (hours->asFloat() == 0)
        hours->setAsFloat(1);
    hours->setAsString(hours->asString());
}

void TDM::FillLabourLine()
{
    fillLabourLine(*m_job);
    fillLabourLine(*m_quote);
}

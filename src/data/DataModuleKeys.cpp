// Record keys, document numbers and the checks of the reference tables.
#include "data/DataModuleMain.h"
#include "data/Document.h"
#include "data/Errors.h"
#include "data/NumberText.h"
#include "engine/Field.h"
#include "engine/RecordLocks.h"

#include <QCryptographicHash>

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int numberSizeOfLines = 10; // labour lines and printed rows keep this much of a number
// How long a new document's post waits for a number counter that another copy holds, before any
// write of the post begins.
constexpr int counterWaitMs = 10000;

QString headingMessage(const QString &item, const QString &lastLine)
{
    return u"A heading Code needs to be assigned to the "_s + item + u"\r\n\r\n"_s
        + u"To add a heading code select the \"Add Heading\" button"_s + u"\r\n"_s + u"OR"_s
        + u"\r\n"_s + lastLine;
}

bool isBlank(TableView &view, const QString &field)
{
    return view.fieldByName(field)->asString().trimmed().isEmpty();
}

} // namespace

double TDM::NextKey()
{
    if (m_nextReservedKey <= m_lastReservedKey && DB->inOperation())
        return m_nextReservedKey++;
    return advanceKeyCounter(1);
}

// The counter goes up by count under the same locks as one key; the database's write lock, held
// until the operation ends, keeps every other copy's keys above the block.
void TDM::reserveKeys(int count)
{
    if (count <= 0)
        return;
    if (!DB->inOperation())
        throw EQuorvane(u"Internal error: keys reserved outside an operation"_s);
    m_lastReservedKey = advanceKeyCounter(count);
    m_nextReservedKey = m_lastReservedKey - count + 1;
}

// Raises the key counter by count and returns its new value, the last key taken.
double TDM::advanceKeyCounter(int count)
{
    const int file = tblKeys->fileIndex();
    OperationScope operation(DB, file);
    // Raised and read back in one statement. It takes the database's write lock, so every copy
    // takes its turn here; where it is the operation's first write it goes with the write's start
    // (one round trip on a server). Under the write lock the counter's table lock is then only
    // tried: a copy holding the counter refuses the key at once, and the refusal undoes the raise
    // with the operation.
    const QVariant raised = tblKeys->addToField({ 1 }, u"CurrentKey"_s, count);
    double last = 0;
    {
        // Let go of inside the operation, so the lock is gone before the commit frees the database.
        TableLock counter(DB, file, counterWaitMs);
        if (raised.isNull()) {
            // A data directory without its counter row gets one; keys start at 1.
            tblKeys->insert();
            tblKeys->fieldByName(u"PrimaryKey"_s)->setAsFloat(1);
            tblKeys->fieldByName(u"CurrentKey"_s)->setAsFloat(count);
            tblKeys->post();
            last = count;
        } else {
            last = raised.toDouble();
        }
    }
    operation.commit();
    return last;
}

TDM::ReservedKeys::ReservedKeys(TDM &dm, int count)
    : m_dm(dm)
{
    dm.reserveKeys(count);
}

TDM::ReservedKeys::ReservedKeys(TDM &dm, double first, double last)
    : m_dm(dm)
{
    if (!dm.DB->inOperation())
        throw EQuorvane(u"Internal error: keys handed out outside an operation"_s);
    dm.m_nextReservedKey = first;
    dm.m_lastReservedKey = last;
}

TDM::ReservedKeys::~ReservedKeys()
{
    m_dm.m_nextReservedKey = 0;
    m_dm.m_lastReservedKey = -1;
}

void TDM::bindReferenceHooks()
{
    // Each check refuses before any key is taken; keys are given to new records only.
    auto keyed = [this](TQVTable *view, const QString &keyField,
                     std::function<void(TableView &)> check) {
        view->beforePost = [this, keyField, check](TableView &record) {
            if (check)
                check(record);
            if (record.state() == DataSetState::Insert)
                record.fieldByName(keyField)->setAsFloat(NextKey());
        };
    };
    keyed(tblClients, u"Client_ID"_s, [](TableView &client) {
        if (isBlank(client, u"Contact"_s) && isBlank(client, u"Company_Name"_s))
            throw EQuorvane(u"Please enter a Contact or a valid Company Name"_s);
    });
    keyed(tblClientDetails, u"Client_ID"_s, {});
    keyed(tblMaterial, u"Material_ID"_s, [](TableView &material) {
        if (isBlank(material, u"Material_Code"_s))
            throw EQuorvane(u"Please enter a valid Material Code"_s);
        if (material.fieldByName(u"HeadingCode"_s)->asFloat() == 0)
            throw EQuorvane(headingMessage(
                u"Material"_s, u"Select it from the \"Material Group Heading\" List."_s));
    });
    keyed(tblLabour, u"Labour_ID"_s, [](TableView &labour) {
        if (isBlank(labour, u"Labour_Code"_s))
            throw EQuorvane(u"Please enter a valid Labour Code"_s);
        if (labour.fieldByName(u"Heading_Code"_s)->asFloat() == 0)
            throw EQuorvane(headingMessage(
                u"Labour Item"_s, u"Select one from the \"Labour Group Heading\" List."_s));
    });
    keyed(tblHeadings, u"Heading_ID"_s, [](TableView &heading) {
        if (isBlank(heading, u"Description"_s))
            throw EQuorvane(u"Please enter a valid description."_s);
    });
    keyed(tblUnit, u"Unit_ID"_s, [](TableView &unit) {
        if (isBlank(unit, u"Unit_Description"_s))
            throw EQuorvane(u"Please enter a valid description."_s);
    });
    keyed(tblSales, u"ID"_s, [](TableView &sales) {
        if (isBlank(sales, u"Salesman"_s))
            throw EQuorvane(u"Please enter a valid Name."_s);
    });
    keyed(tblTaxRates, u"ID"_s, {});
    keyed(tblBusiness, u"Company_ID"_s, {});
    keyed(tblBusTypes, u"Business_Type_ID"_s, {});
    keyed(tblReportQuotes, u"ID"_s, {});
    keyed(tblReportJobs, u"ID"_s, {});
}

static QString numberText(const QString &prefix, double next, const QString &suffix)
{
    return prefix.trimmed() + storedNumberText(next) + suffix.trimmed();
}

static QString numberText(TableView &counter, double next)
{
    return numberText(counter.fieldByName(u"Prefix"_s)->asString(), next,
        counter.fieldByName(u"Suffix"_s)->asString());
}

// What the user types into a counter is refused at once when the numbers it would give could
// never be stored: a negative or broken next number, or a number longer than its lines hold.
void TDM::bindCounterHooks(Document &document)
{
    TQVTable *counter = document.counter;
    const QString nextField = document.counterNext;
    const QString noun = document.noun;
    // A data directory without its counter row gets it from the first thing typed into it. The
    // next number stays empty (it counts as 1), so what the user types into it is not replaced.
    counter->afterInsert = [key = document.key](TableView &record) {
        record.fieldByName(key)->setAsFloat(1);
    };
    const auto checkLength = [noun](const QString &prefix, double next, const QString &suffix) {
        const QString number = numberText(prefix, next, suffix);
        if (number.size() > numberSizeOfLines) {
            throw EQuorvane(
                u"The next %1 number would be \"%2\", which is %3 characters long. A %1 number "
                "may have at most %4 characters, so please enter a shorter prefix, number or "
                "suffix."_s.arg(noun, number)
                    .arg(number.size())
                    .arg(numberSizeOfLines));
        }
    };
    counter->fieldByName(nextField)->onSetText = [=](Field &field, const QString &text) {
        const double next = text.trimmed().isEmpty() ? 0 : Field::parseNumber(text);
        if (next < 0 || next != std::floor(next) || next > 1e15) {
            throw EQuorvane(
                u"The next %1 number must be a whole number of 0 or more."_s.arg(noun));
        }
        TableView &view = *field.dataSet();
        checkLength(view.fieldByName(u"Prefix"_s)->asString(), next,
            view.fieldByName(u"Suffix"_s)->asString());
        field.setAsFloat(next);
    };
    counter->fieldByName(u"Prefix"_s)->onSetText = [=](Field &field, const QString &text) {
        TableView &view = *field.dataSet();
        checkLength(text, view.fieldByName(nextField)->asFloat(),
            view.fieldByName(u"Suffix"_s)->asString());
        field.setValue(text);
    };
    counter->fieldByName(u"Suffix"_s)->onSetText = [=](Field &field, const QString &text) {
        TableView &view = *field.dataSet();
        checkLength(view.fieldByName(u"Prefix"_s)->asString(),
            view.fieldByName(nextField)->asFloat(), text);
        field.setValue(text);
    };
}

void TDM::AssignDocumentNumber(Document &document)
{
    QString number;
    if (document.counter->findKey({ 1 })) {
        Field *next = document.counter->fieldByName(document.counterNext);
        number = numberText(*document.counter, next->isNull() ? 1 : next->asFloat());
    } else {
        number = u"1"_s;
        document.counter->insert();
        document.counter->fieldByName(document.key)->setAsFloat(1);
        document.counter->fieldByName(document.counterNext)->setAsFloat(1);
        document.counter->post();
    }
    document.header->fieldByName(document.number)->setAsString(number);
    document.assignedNumber = number;
}

// At a new header's first post: the counter goes up, and the number must be one that no stored
// document carries (lines find their header by number) and that lines can hold whole.
void TDM::advanceDocumentNumber(Document &document)
{
    TableView &header = *document.header;
    Field *numberField = header.fieldByName(document.number);
    const QString number = numberField->asString();
    if (number.trimmed().isEmpty())
        throw EQuorvane(u"Please enter a %1 number."_s.arg(document.noun));
    if (number.size() > numberSizeOfLines) {
        throw EQuorvane(
            u"The %1 number \"%2\" is longer than %3 characters. Its labour lines and printed "
            "lines keep only %3 characters of it, so please enter a shorter number."_s
                .arg(document.noun, number)
                .arg(numberSizeOfLines));
    }
    // The counter's lock first, waited for while this copy holds no write lock, so a copy that
    // keeps the counter row in edit delays only this post, never the other copies' saves. Then
    // the database's write lock: no other copy can store a number meanwhile.
    TableLock counter(DB, document.counter->fileIndex(), counterWaitMs);
    DB->writer(header.fileIndex());
    const bool taken = header.fileHasValue(document.number, number);
    if (taken && number != document.assignedNumber) {
        throw EQuorvane(
            u"The %1 number \"%2\" is already used by another %1. Please enter another number."_s
                .arg(document.noun, number));
    }
    if (!document.counter->findKey({ 1 })) {
        AssignDocumentNumber(document); // the counter row went missing: make it again
        numberField->setAsString(number);
        document.counter->findKey({ 1 });
    }
    document.counter->edit();
    Field *next = document.counter->fieldByName(document.counterNext);
    if (next->isNull())
        next->setAsFloat(1); // a counter row made without a number starts at 1
    if (taken) {
        // Another copy stored the number this header was given: take the next free one.
        double candidate = next->asFloat();
        while (header.fileHasValue(document.number, numberText(*document.counter, candidate)))
            candidate += 1;
        const QString replacement = numberText(*document.counter, candidate);
        if (replacement.size() > numberSizeOfLines) {
            throw EQuorvane(
                u"The next free %1 number \"%2\" is longer than %3 characters. Please enter a "
                "number."_s.arg(document.noun, replacement)
                    .arg(numberSizeOfLines));
        }
        numberField->setAsString(replacement);
        next->setAsFloat(candidate + 1);
    } else {
        next->setAsFloat(next->asFloat() + 1);
    }
    document.counter->post();
}

QString TDM::documentNumberFilter(const QString &field, const QString &number)
{
    QString literal = number;
    literal.replace(u'\'', u"''"_s); // a quote inside a number stays part of the value
    return field + u" = '"_s + literal + u"'"_s;
}

// The undo row of a document: its kind first, so that quote 1 and job 1 keep a row each. The
// store keeps keys in upper case and without blanks, so a number it cannot hold exactly as typed
// (lower case, a blank, too long) is kept under a digest of kind and number instead; the digest
// starts with "#", which no kind letter does.
QString TDM::undoKey(const Document &document)
{
    const QString number = document.header->fieldByName(document.number)->asString();
    const QString kind = document.isJob ? u"J"_s : u"Q"_s;
    if (!number.isEmpty() && number.size() < numberSizeOfLines && number.toUpper() == number
        && !number.contains(u' '))
        return kind + number;
    const QByteArray digest =
        QCryptographicHash::hash((kind + u'\n' + number).toUtf8(), QCryptographicHash::Sha1)
            .toHex()
            .toUpper();
    return u"#"_s + QString::fromLatin1(digest.left(numberSizeOfLines - 1));
}

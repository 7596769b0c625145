// Quote and job headers: defaults, tax, calculated totals and the operations on all their lines.
#include "data/DataModuleMain.h"
#include "data/Document.h"
#include "data/Errors.h"
#include "engine/Field.h"

#include <QDate>

using namespace Qt::Literals::StringLiterals;

void TDM::RecalculateTax(Document &document)
{
    TableView &header = *document.header;
    const double materials = header.fieldByName(u"TotalMaterials"_s)->asFloat();
    const double discount = header.fieldByName(u"Discount"_s)->asFloat();
    const double rate = header.fieldByName(u"TaxRate"_s)->asFloat();
    header.fieldByName(u"TotalSalesTax"_s)->setAsFloat((materials - discount) * (rate * 0.01));
}

void TDM::bindHeaderHooks(Document &document)
{
    TQVTable *header = document.header;
    header->afterInsert = [this, &document](TableView &record) {
        AssignDocumentNumber(document);
        // Both line lists show the new header's lines (none yet), so a line command on the
        // header being inserted never reaches another header's lines.
        const QString number = record.fieldByName(document.number)->asString();
        for (TQVTable *lines : { document.materials, document.labour }) {
            lines->setFilter(documentNumberFilter(document.number, number));
            lines->setFiltered(true);
        }
        const QDate today = QDate::currentDate();
        record.fieldByName(u"Date"_s)->setAsDate(today);
        record.fieldByName(u"DueDate"_s)->setAsDate(today.addDays(7));
    };
    header->beforePost = [this, &document](TableView &record) {
        RecalculateTax(document);
        if (record.state() == DataSetState::Insert) {
            advanceDocumentNumber(document);
            record.fieldByName(document.key)->setAsFloat(NextKey());
            return;
        }
        // A stored document whose number is changed must keep a number of its own.
        const QString number = record.fieldByName(document.number)->asString();
        if (number != record.originalValue(document.number).toString()) {
            if (number.trimmed().isEmpty() || number.size() > 10)
                throw EQuorvane(
                    u"Please enter a %1 number of at most 10 characters."_s.arg(document.noun));
            if (record.fileHasValue(document.number, number, record.currentRowid())) {
                throw EQuorvane(
                    u"The %1 number \"%2\" is already used by another %1. Please enter another number."_s
                        .arg(document.noun, number));
            }
        }
    };
    header->onCalcFields = [this, &document](TableView &record) {
        const double total = record.fieldByName(document.total)->asFloat();
        const double discount = record.fieldByName(u"Discount"_s)->asFloat();
        const double tax = record.fieldByName(u"TotalSalesTax"_s)->asFloat();
        record.fieldByName(document.grandTotal)->setAsFloat((total - discount) + tax);
        Field *client = record.fieldByName(u"Client_ID"_s);
        if (!client->isNull() && tblDisplayClients->findKey({ client->asFloat() })) {
            const QString company = tblDisplayClients->fieldByName(u"Company_Name"_s)->asString();
            record.fieldByName(u"VClientDesc"_s)
                ->setAsString(company.trimmed().isEmpty()
                        ? tblDisplayClients->fieldByName(u"Contact"_s)->asString()
                        : company);
        }
    };
    header->fieldByName(u"TaxRate"_s)->onChange = [this, &document](
                                                      Field &) { RecalculateTax(document); };
    header->fieldByName(u"Discount"_s)->onChange = [this, &document](Field &) {
        if (document.header->state() == DataSetState::Edit)
            RecalculateTax(document);
    };
}

void TDM::deleteLines(const Document &document)
{
    TableView &header = *document.header;
    // All lines go in one operation: a failure leaves every line and the totals as they were.
    OperationScope operation(DB, header.fileIndex());
    const QString number = header.fieldByName(document.number)->asString();
    for (TQVTable *lines : { document.materials, document.labour }) {
        Field *lineNumber = lines->fieldByName(document.number);
        // Lines keep as much of the number as their field holds.
        const QString expected = number.left(lineNumber->size());
        lines->first();
        while (!lines->eof()) {
            if (lineNumber->asString() == expected) {
                if (!header.isEditing())
                    header.edit();
                lines->deleteRecord();
            } else {
                lines->next();
            }
        }
    }
    operation.commit();
}

void TDM::DeleteQuoteLines()
{
    deleteLines(*m_quote);
}

void TDM::DeleteJobLines()
{
    deleteLines(*m_job);
}

void TDM::deleteDocument(const Document &document)
{
    OperationScope operation(DB, document.header->fileIndex());
    deleteLines(document);
    document.header->deleteRecord();
    operation.commit();
}

void TDM::CopyQuoteLinesToJob()
{
    // The whole copy is one operation: the job and its lines are stored together or not at all.
    OperationScope operation(DB, tblJobMaterials->fileIndex());
    const QString quoteNumber = tblQuotes->fieldByName(u"Quote_No"_s)->asString();
    tblQuotesMaterial->setFilter(documentNumberFilter(u"Quote_No"_s, quoteNumber));
    tblQuotesMaterial->setFiltered(true);
    tblQuoteLabour->setFilter(documentNumberFilter(u"Quote_No"_s, quoteNumber));
    tblQuoteLabour->setFiltered(true);

    auto copy = [](TableView &from, TableView &to, const QStringList &fields) {
        for (const QString &field : fields)
            to.fieldByName(field)->setValue(from.fieldByName(field)->value());
    };
    for (tblQuotesMaterial->first(); !tblQuotesMaterial->eof(); tblQuotesMaterial->next()) {
        if (!tblJobs->isEditing())
            tblJobs->edit();
        tblJobMaterials->insert();
        tblJobMaterials->fieldByName(u"Job_No"_s)
            ->setValue(tblJobs->fieldByName(u"Job_No"_s)->value());
        copy(*tblQuotesMaterial, *tblJobMaterials,
            { u"Material_ID"_s, u"MaterialDesc"_s, u"MaterialCode"_s, u"CurrentPrice"_s,
                u"Quantity"_s, u"TotalQuantity"_s, u"UnitCost"_s, u"TotalSalesTax"_s,
                u"RetailMarkup"_s, u"TotalMarkup"_s, u"TotalCharge"_s, u"Notes"_s,
                u"Heading_ID"_s });
        tblJobMaterials->post();
    }
    for (tblQuoteLabour->first(); !tblQuoteLabour->eof(); tblQuoteLabour->next()) {
        if (!tblJobs->isEditing())
            tblJobs->edit();
        tblJobLabour->insert();
        tblJobLabour->fieldByName(u"Job_No"_s)
            ->setValue(tblJobs->fieldByName(u"Job_No"_s)->value());
        copy(*tblQuoteLabour, *tblJobLabour,
            { u"Labour_ID"_s, u"Description"_s, u"Labour_Code"_s, u"Hours"_s, u"Hourly_Rate"_s,
                u"TotalCharge"_s, u"Notes"_s, u"Heading_ID"_s });
        tblJobLabour->post();
    }
    operation.commit();
}

#include "RuleSequence.h"

#include "RecordValues.h"
#include "data/DataModuleMain.h"
#include "engine/Exception.h"
#include "engine/Field.h"

using namespace Qt::StringLiterals;

namespace {

// Texts a person might type into a line, numbers and slips alike.
const QString materialTexts[][2] = {
    { u"Quantity"_s, u"3"_s },
    { u"Quantity"_s, u"2.5"_s },
    { u"Quantity"_s, u"12"_s },
    { u"Quantity"_s, QString() },
    { u"Quantity"_s, u"two"_s },
    { u"CurrentPrice"_s, u"12.50"_s },
    { u"CurrentPrice"_s, u"0.99"_s },
    { u"CurrentPrice"_s, QString() },
    { u"CurrentPrice"_s, u"1,2.3"_s },
};
const QString quoteMaterialTexts[][2] = { { u"UnitCost"_s, u"8.40"_s },
    { u"UnitCost"_s, QString() } };
const QString jobMaterialTexts[][2] = {
    { u"RetailMarkup"_s, u"35"_s },
    { u"TotalCharge"_s, u"150"_s },
    { u"SalesTax"_s, u"10"_s },
    { u"TotalCharge"_s, u"0"_s },
    { u"RetailMarkup"_s, QString() },
};
const QString labourTexts[][2] = {
    { u"Hours"_s, u"2.5"_s },
    { u"Hours"_s, u"0.25"_s },
    { u"Hours"_s, QString() },
    { u"Hourly_Rate"_s, u"85"_s },
    { u"Hourly_Rate"_s, u"0"_s },
    { u"TotalCharge"_s, u"120"_s },
    { u"TotalCharge"_s, u"0"_s },
    { u"TotalCharge"_s, u"lots"_s },
};

} // namespace

RuleSequence::RuleSequence(TDM &dm, quint32 seed)
    : m_dm(dm)
    , m_rng(seed)
{ }

TQVTable *RuleSequence::header(const Document &document) const
{
    return document.job ? m_dm.tblJobs : m_dm.tblQuotes;
}

TQVTable *RuleSequence::lines(const Document &document, bool material) const
{
    if (document.job)
        return material ? m_dm.tblJobMaterials : m_dm.tblJobLabour;
    return material ? m_dm.tblQuotesMaterial : m_dm.tblQuoteLabour;
}

// Makes the document the current header and filters its lines, as the main window does when the
// user selects it; views re-read their files first, as their change check would.
void RuleSequence::show(const Document &document)
{
    TQVTable *head = header(document);
    head->refresh();
    if (!head->findKey({ document.key }))
        throw EDatabaseError(
            u"The %1 %2 is gone"_s.arg(document.job ? u"job"_s : u"quote"_s, document.number));
    const QString numberField = document.job ? u"Job_No"_s : u"Quote_No"_s;
    for (bool material : { true, false }) {
        TQVTable *view = lines(document, material);
        view->setFilter(TDM::documentNumberFilter(numberField, document.number));
        view->setFiltered(true);
        view->refresh();
    }
}

void RuleSequence::remember(bool job)
{
    TQVTable *head = job ? m_dm.tblJobs : m_dm.tblQuotes;
    Document document;
    document.job = job;
    document.key = number(head, job ? u"Job_ID"_s : u"Quote_ID"_s);
    document.number = text(head, job ? u"Job_No"_s : u"Quote_No"_s);
    m_documents << document;
}

void RuleSequence::makeDocuments(int count)
{
    for (int i = 0; i < count; ++i)
        newDocument(i % 2 == 1);
}

QString RuleSequence::newDocument(bool job)
{
    TQVTable *head = job ? m_dm.tblJobs : m_dm.tblQuotes;
    head->insert();
    setText(head, job ? u"JobDescription"_s : u"QuoteDescription"_s, u"Random work"_s);
    setText(head, u"Status", u"I"_s);
    setNumber(head, u"Priority", 1 + m_rng.bounded(9));
    if (m_rng.bounded(2)) {
        head->post();
        remember(job);
        return u"new %1 %2 posted"_s.arg(job ? u"job"_s : u"quote"_s, m_documents.last().number);
    }
    // The first saved line stores the new header with it.
    TQVTable *line = job ? m_dm.tblJobLabour : m_dm.tblQuoteLabour;
    line->insert();
    m_dm.tblLabour->setRecNo(m_rng.bounded(m_dm.tblLabour->recordCount()));
    line->fieldByName(u"Labour_ID"_s)
        ->setValue(m_dm.tblLabour->fieldByName(u"Labour_ID"_s)->value());
    m_dm.FillLabourLine();
    line->post();
    remember(job);
    return u"new %1 %2 stored with its first line"_s.arg(
        job ? u"job"_s : u"quote"_s, m_documents.last().number);
}

// Types one to three texts into the line; refused texts leave the line as it was.
QString RuleSequence::type(TQVTable *line, bool material, bool job)
{
    QStringList typed;
    const int count = m_rng.bounded(4);
    for (int i = 0; i < count; ++i) {
        const QString *pair = nullptr;
        if (!material)
            pair = labourTexts[m_rng.bounded(int(std::size(labourTexts)))];
        else if (m_rng.bounded(4) > 0)
            pair = materialTexts[m_rng.bounded(int(std::size(materialTexts)))];
        else if (job)
            pair = jobMaterialTexts[m_rng.bounded(int(std::size(jobMaterialTexts)))];
        else
            pair = quoteMaterialTexts[m_rng.bounded(int(std::size(quoteMaterialTexts)))];
        try {
            setText(line, pair[0], pair[1]);
            typed << u"%1='%2'"_s.arg(pair[0], pair[1]);
        } catch (const EConvertError &) {
            typed << u"%1='%2' refused"_s.arg(pair[0], pair[1]);
        } catch (const EZeroDivide &) {
            typed << u"%1='%2' refused"_s.arg(pair[0], pair[1]);
        } catch (const EInvalidOp &) {
            typed << u"%1='%2' refused"_s.arg(pair[0], pair[1]);
        }
    }
    if (m_rng.bounded(5) == 0) {
        setText(line, u"Notes", u"  note %1 "_s.arg(m_rng.bounded(100)));
        typed << u"notes"_s;
    }
    return typed.join(u", "_s);
}

QString RuleSequence::saveOrCancel(TQVTable *line)
{
    if (m_rng.bounded(4) == 0) {
        line->cancel();
        return u"cancelled"_s;
    }
    line->post();
    return u"saved"_s;
}

QString RuleSequence::insertLine(Document &document)
{
    show(document);
    const bool material = m_rng.bounded(3) > 0;
    TQVTable *line = lines(document, material);
    header(document)->edit();
    line->insert();
    if (material) {
        m_dm.tblMaterial->setRecNo(m_rng.bounded(m_dm.tblMaterial->recordCount()));
        line->fieldByName(u"Material_ID"_s)
            ->setValue(m_dm.tblMaterial->fieldByName(u"Material_ID"_s)->value());
        document.job ? m_dm.FillJobMaterialLine() : m_dm.FillQuoteMaterialLine();
    } else {
        m_dm.tblLabour->setRecNo(m_rng.bounded(m_dm.tblLabour->recordCount()));
        line->fieldByName(u"Labour_ID"_s)
            ->setValue(m_dm.tblLabour->fieldByName(u"Labour_ID"_s)->value());
        m_dm.FillLabourLine();
    }
    const QString typed = type(line, material, document.job);
    return u"insert %1 line into %2 (%3): %4"_s.arg(
        material ? u"material"_s : u"labour"_s, document.number, typed, saveOrCancel(line));
}

QString RuleSequence::editLine(Document &document)
{
    show(document);
    const bool material = m_rng.bounded(2) > 0;
    TQVTable *line = lines(document, material);
    const int count = line->recordCount();
    if (count == 0)
        return insertLine(document);
    line->setRecNo(m_rng.bounded(count));
    header(document)->edit();
    line->edit();
    if (m_rng.bounded(6) == 0) { // picks another item onto the line
        if (material) {
            m_dm.tblMaterial->setRecNo(m_rng.bounded(m_dm.tblMaterial->recordCount()));
            document.job ? m_dm.FillJobMaterialLine() : m_dm.FillQuoteMaterialLine();
        } else {
            m_dm.tblLabour->setRecNo(m_rng.bounded(m_dm.tblLabour->recordCount()));
            m_dm.FillLabourLine();
        }
    }
    const QString typed = type(line, material, document.job);
    return u"edit %1 line of %2 (%3): %4"_s.arg(
        material ? u"material"_s : u"labour"_s, document.number, typed, saveOrCancel(line));
}

QString RuleSequence::deleteLine(Document &document)
{
    show(document);
    const bool material = m_rng.bounded(2) > 0;
    TQVTable *line = lines(document, material);
    const int count = line->recordCount();
    if (count == 0)
        return u"nothing to delete in %1"_s.arg(document.number);
    line->setRecNo(m_rng.bounded(count));
    header(document)->edit();
    line->deleteRecord();
    return u"delete a %1 line of %2"_s.arg(material ? u"material"_s : u"labour"_s, document.number);
}

QString RuleSequence::deleteAllLines(Document &document)
{
    show(document);
    document.job ? m_dm.DeleteJobLines() : m_dm.DeleteQuoteLines();
    return u"delete all lines of %1"_s.arg(document.number);
}

QString RuleSequence::copyIntoJob(Document &quote)
{
    show(quote);
    const QString quoteNumber = quote.number; // the list of documents grows below
    m_dm.tblJobs->insert();
    setText(m_dm.tblJobs, u"JobDescription", u"Won from %1"_s.arg(quoteNumber));
    setText(m_dm.tblJobs, u"Status", u"I"_s);
    m_dm.CopyQuoteLinesToJob();
    m_dm.tblJobs->post(); // stored already when the quote had lines
    remember(true);
    return u"copy quote %1 into new job %2"_s.arg(quoteNumber, m_documents.last().number);
}

QString RuleSequence::changeHeader(Document &document)
{
    show(document);
    TQVTable *head = header(document);
    head->edit();
    const double rates[] = { 0, 10, 12.5 };
    setNumber(head, u"TaxRate", rates[m_rng.bounded(3)]);
    setNumber(head, u"Discount", m_rng.bounded(3) * 7.5);
    if (m_rng.bounded(3) == 0) {
        head->cancel();
        return u"change and cancel the header of %1"_s.arg(document.number);
    }
    head->post();
    return u"change and post the header of %1"_s.arg(document.number);
}

QString RuleSequence::step()
{
    if (m_documents.isEmpty() || m_rng.bounded(40) == 0)
        return newDocument(m_rng.bounded(2) == 1);
    Document &document = m_documents[m_rng.bounded(int(m_documents.size()))];
    const int roll = m_rng.bounded(100);
    if (roll < 35)
        return insertLine(document);
    if (roll < 65)
        return editLine(document);
    if (roll < 80)
        return deleteLine(document);
    if (roll < 84)
        return deleteAllLines(document);
    if (roll < 90) {
        if (document.job)
            return changeHeader(document);
        return copyIntoJob(document);
    }
    return changeHeader(document);
}

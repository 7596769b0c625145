#include "data/TableSchema.h"

using namespace Qt::Literals::StringLiterals;

namespace {

FieldDef alpha(const QString &name, int size)
{
    return { name, FieldType::Alpha, size };
}
FieldDef number(const QString &name)
{
    return { name, FieldType::Number };
}
FieldDef money(const QString &name)
{
    return { name, FieldType::Money };
}
FieldDef numberMoney(const QString &name)
{
    return { name, FieldType::NumberMoney };
}
FieldDef date(const QString &name)
{
    return { name, FieldType::Date };
}
FieldDef memo(const QString &name)
{
    return { name, FieldType::Memo };
}
FieldDef graphic(const QString &name)
{
    return { name, FieldType::Graphic };
}

// Every file but the settings table is keyed by its first field.
TableDef table(const QString &fileName, QList<FieldDef> fields, QList<IndexDef> indexes = {})
{
    TableDef def;
    def.fileName = fileName;
    def.primaryKey = QStringList { fields.first().name };
    def.fields = std::move(fields);
    def.indexes = std::move(indexes);
    return def;
}

// Indexes that let a count of the records using a client, heading, unit or sales person read only
// the index, not the table, and a search of the price list by description find its stretch.
TableDef withLookups(TableDef def, const QStringList &fields)
{
    for (const QString &field : fields)
        def.lookupIndexes << IndexDef { u"By"_s + field, { field } };
    return def;
}

// The names by which a quote table and its job twin differ.
struct Twin
{
    QString id; // the line's own key
    QString number; // the document number the line belongs to
    QString repId; // the key of the line's printed row
    QString numberIndex; // lines are always filtered by their document number
};

const Twin quoteTwin { u"Quote_ID"_s, u"Quote_No"_s, u"Quote_RepID"_s, u"ByQuoteNo"_s };
const Twin jobTwin { u"Job_ID"_s, u"Job_No"_s, u"Job_RepID"_s, u"ByJobNo"_s };

TableDef materialLines(const QString &fileName, const Twin &twin)
{
    return withLookups(
        table(fileName,
            { number(twin.id), alpha(twin.number, 30), number(u"Material_ID"_s),
                alpha(u"MaterialCode"_s, 15), alpha(u"MaterialDesc"_s, 60),
                money(u"CurrentPrice"_s), number(u"Quantity"_s), money(u"TotalQuantity"_s),
                money(u"UnitCost"_s), number(u"SalesTax"_s), money(u"TotalSalesTax"_s),
                number(u"RetailMarkup"_s), money(u"TotalMarkup"_s), money(u"TotalCharge"_s),
                memo(u"Notes"_s), number(twin.repId), number(u"Heading_ID"_s) },
            { { twin.numberIndex, { twin.number } } }),
        { u"Heading_ID"_s });
}

// Labour lines hold only 10 characters of the document number, unlike material lines.
TableDef labourLines(const QString &fileName, const Twin &twin)
{
    return withLookups(
        table(fileName,
            { number(twin.id), alpha(twin.number, 10), number(u"Labour_ID"_s),
                alpha(u"Labour_Code"_s, 10), alpha(u"Description"_s, 60), number(u"Hours"_s),
                numberMoney(u"Hourly_Rate"_s), numberMoney(u"TotalCharge"_s), memo(u"Notes"_s),
                number(twin.repId), number(u"Heading_ID"_s) },
            { { twin.numberIndex, { twin.number } } }),
        { u"Heading_ID"_s });
}

// Documents read their printed rows in Rep_ID order and join them to the header by Number.
TableDef reportLines(const QString &fileName)
{
    return table(fileName,
        { number(u"ID"_s), alpha(u"Number"_s, 10), alpha(u"Code"_s, 15),
            alpha(u"Description"_s, 60), number(u"Qty"_s), money(u"Cost"_s), money(u"Total_Cost"_s),
            number(u"Rep_ID"_s), number(u"Heading_ID"_s), memo(u"Notes"_s) },
        { { u"ByRepID"_s, { u"Rep_ID"_s } }, { u"ByNumber"_s, { u"Number"_s } } });
}

// The finder lists one client's documents in key order, read straight from this index.
TableDef withClientOrder(TableDef def)
{
    def.lookupIndexes << IndexDef { u"ByClientOrder"_s,
        { u"Client_ID"_s, def.primaryKey.first() } };
    return def;
}

TableDef quotes()
{
    return withClientOrder(withLookups(
        table(u"Quotes.DB"_s,
            { number(u"Quote_ID"_s), alpha(u"Quote_No"_s, 30), number(u"Client_ID"_s),
                memo(u"Special"_s), date(u"Date"_s), date(u"DueDate"_s), number(u"TaxRate"_s),
                money(u"TotalLabour"_s), money(u"QuoteTotal"_s), money(u"TotalSalesTax"_s),
                alpha(u"QuoteDescription"_s, 60), number(u"Priority"_s), alpha(u"Status"_s, 1),
                memo(u"Notes"_s), money(u"TotalMaterials"_s), alpha(u"SalesPerson"_s, 60),
                numberMoney(u"Discount"_s) },
            { { u"QuoteNo"_s, { u"Quote_No"_s } },
                { u"PriorQuoteNo"_s, { u"Priority"_s, u"Quote_No"_s } } }),
        { u"Client_ID"_s, u"SalesPerson"_s }));
}

// The job header mirrors the quote header's meaning but not its field order.
TableDef jobs()
{
    return withClientOrder(withLookups(
        table(u"Jobs.DB"_s,
            { number(u"Job_ID"_s), alpha(u"Job_No"_s, 30), number(u"Client_ID"_s),
                memo(u"Special"_s), date(u"Date"_s), date(u"DueDate"_s), money(u"TotalMaterials"_s),
                money(u"TotalLabour"_s), money(u"JobTotal"_s), number(u"TaxRate"_s),
                money(u"TotalSalesTax"_s), alpha(u"JobDescription"_s, 60),
                number(u"PercentComplete"_s), alpha(u"Status"_s, 1), number(u"Priority"_s),
                memo(u"Notes"_s), alpha(u"SalesPerson"_s, 60), numberMoney(u"Discount"_s) },
            { { u"JobNo"_s, { u"Job_No"_s } },
                { u"PriorJobNo"_s, { u"Priority"_s, u"Job_No"_s } } }),
        { u"Client_ID"_s, u"SalesPerson"_s }));
}

TableDef clients()
{
    // Wide enough for real names and addresses: a contact holds the name composed from its parts
    // (5 + 30 + 30 + 30 and three spaces), an e-mail address the longest a business uses.
    QList<FieldDef> fields { number(u"Client_ID"_s), alpha(u"Contact"_s, 100), alpha(u"Title"_s, 5),
        alpha(u"First"_s, 30), alpha(u"Middle"_s, 30), alpha(u"Last"_s, 30),
        alpha(u"Job_Title"_s, 100), alpha(u"Company_Name"_s, 100), alpha(u"Default_Address"_s, 1) };
    for (const QString &prefix : { u"Bus_"_s, u"Hm_"_s, u"Other_"_s }) {
        fields << memo(prefix + u"Address"_s) << memo(prefix + u"Street"_s)
               << alpha(prefix + u"City"_s, 30) << alpha(prefix + u"State"_s, 30)
               << alpha(prefix + u"Zip"_s, 10);
    }
    fields << alpha(u"Default_Email"_s, 1) << alpha(u"Email1"_s, 100) << alpha(u"Email2"_s, 100)
           << alpha(u"Email3"_s, 100) << alpha(u"Web_Page"_s, 100) << memo(u"Notes"_s);
    for (const QString &phone : { u"Bus"_s, u"Bus2"_s, u"Home1"_s, u"Home2"_s, u"BusFax"_s,
             u"HmFax"_s, u"Mobile"_s, u"Car"_s, u"Company"_s, u"Pager"_s })
        fields << alpha(u"Phone_"_s + phone, 100);

    // The index names are the ones stored data and searches already use, misspelling included.
    QList<IndexDef> indexes;
    const std::pair<QString, QString> byField[] = {
        { u"ContactField"_s, u"Contact"_s },
        { u"Company"_s, u"Company_Name"_s },
        { u"FirstNane"_s, u"First"_s },
        { u"LastName"_s, u"Last"_s },
        { u"EmailOne"_s, u"Email1"_s },
        { u"EmailTwo"_s, u"Email2"_s },
        { u"EmailThree"_s, u"Email3"_s },
        { u"BusPh"_s, u"Phone_Bus"_s },
        { u"HomePh"_s, u"Phone_Home1"_s },
        { u"BusFax"_s, u"Phone_BusFax"_s },
        { u"Mobile"_s, u"Phone_Mobile"_s },
        { u"Car"_s, u"Phone_Car"_s },
    };
    for (const auto &[name, field] : byField)
        indexes << IndexDef { name, { field } };
    return table(u"Clients.DB"_s, std::move(fields), std::move(indexes));
}

TableDef settings()
{
    TableDef def =
        table(u"INI"_s, { alpha(u"Sect"_s, 30), alpha(u"Parameter"_s, 30), alpha(u"Val"_s, 50) },
            { { u"SectParameter"_s, { u"Sect"_s, u"Parameter"_s } } });
    def.primaryKey = QStringList { u"Sect"_s, u"Parameter"_s };
    return def;
}

// The key counter: each key taken raises CurrentKey, which tells other copies of the raise.
TableDef keyCounter()
{
    TableDef def = table(u"PKey.DB"_s, { number(u"PrimaryKey"_s), number(u"CurrentKey"_s) });
    def.changeField = u"CurrentKey"_s;
    return def;
}

Schema buildSchema()
{
    Schema schema;
    schema.tables = {
        quotes(),
        jobs(),
        materialLines(u"QMat.DB"_s, quoteTwin),
        materialLines(u"JobMat.db"_s, jobTwin),
        labourLines(u"QLab.db"_s, quoteTwin),
        labourLines(u"JobLab.db"_s, jobTwin),
        reportLines(u"RepQte.DB"_s),
        reportLines(u"RepJobs.DB"_s),
        clients(),
        withLookups(table(u"Material.DB"_s,
                        { number(u"Material_ID"_s), alpha(u"Material_Code"_s, 15),
                            alpha(u"Description"_s, 60), money(u"SellingPrice"_s),
                            money(u"CostPrice"_s), money(u"PreviousPrice"_s),
                            date(u"DatePriceChange"_s), number(u"Unit_ID"_s), number(u"Tax"_s),
                            number(u"Tax_Rate"_s), number(u"Markup"_s), number(u"HeadingCode"_s) },
                        { { u"ByMaterialCode"_s, { u"Material_Code"_s } } }),
            { u"HeadingCode"_s, u"Unit_ID"_s, u"Description"_s }),
        withLookups(table(u"Labour.db"_s,
                        { number(u"Labour_ID"_s), alpha(u"Labour_Code"_s, 10),
                            alpha(u"Description"_s, 60), numberMoney(u"Hourly_Rate"_s),
                            number(u"Unit_ID"_s), number(u"Heading_Code"_s) },
                        { { u"LabourCode"_s, { u"Labour_Code"_s } } }),
            { u"Heading_Code"_s, u"Unit_ID"_s, u"Description"_s }),
        table(u"Headings.db"_s, { number(u"Heading_ID"_s), alpha(u"Description"_s, 60) }),
        table(u"Unit.db"_s, { number(u"Unit_ID"_s), alpha(u"Unit_Description"_s, 60) }),
        table(u"TaxRates.db"_s,
            { number(u"ID"_s), number(u"Tax_Rate"_s), alpha(u"Description"_s, 30) },
            { { u"TaxRate"_s, { u"Tax_Rate"_s } } }),
        table(u"Sales.db"_s, { number(u"ID"_s), alpha(u"Salesman"_s, 60) },
            { { u"Sales"_s, { u"Salesman"_s } } }),
        table(u"Business.db"_s,
            { number(u"Company_ID"_s), alpha(u"Company_Name"_s, 100), memo(u"Address"_s),
                alpha(u"Phone_No"_s, 20), alpha(u"Phone_Fax"_s, 20), alpha(u"Email_Address"_s, 100),
                alpha(u"ACN"_s, 50), number(u"Business_Type_ID"_s), graphic(u"Logo"_s),
                alpha(u"LogoPath"_s, 255), memo(u"QuoteFooter"_s), memo(u"JobFooter"_s) }),
        table(u"BusType.db"_s, { number(u"Business_Type_ID"_s), alpha(u"Description"_s, 30) }),
        keyCounter(),
        table(u"NxtQuote.db"_s,
            { number(u"Quote_ID"_s), alpha(u"Prefix"_s, 10), number(u"NextQuote"_s),
                alpha(u"Suffix"_s, 10) }),
        table(u"NxtJob.db"_s,
            { number(u"Job_ID"_s), alpha(u"Prefix"_s, 10), number(u"NextJob"_s),
                alpha(u"Suffix"_s, 10) }),
        table(u"global.db"_s,
            { alpha(u"GLOBAL_KEY"_s, 10), number(u"ID_FIELD"_s), alpha(u"ALPHA"_s, 60),
                memo(u"MEMO"_s) }),
        settings(),
    };

    return schema;
}

} // namespace

const Schema &tessorinSchema()
{
    static const Schema schema = buildSchema();
    return schema;
}

#include "ExpectedLayout.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const QString N = u"NUMBER_REAL"_s;
const QString M = u"MONEY_REAL"_s;
const QString NM = u"NUMBER_MONEY_REAL"_s;
const QString D = u"DATE_TEXT"_s;
const QString MEMO = u"MEMO_TEXT"_s;
const QString G = u"GRAPHIC_BLOB"_s;

QString A(int size)
{
    return u"ALPHA_TEXT(%1)"_s.arg(size);
}

using Fields = QList<std::pair<QString, QString>>;
using Indexes = QList<std::pair<QString, QStringList>>;

ExpectedTable keyedByFirst(const QString &file, const Fields &fields, const Indexes &indexes = {})
{
    return { file, fields, { fields.first().first }, indexes };
}

} // namespace

QList<ExpectedTable> expectedLayout()
{
    QList<ExpectedTable> tables;
    tables << keyedByFirst(u"Quotes.DB"_s,
        { { u"Quote_ID"_s, N }, { u"Quote_No"_s, A(30) }, { u"Client_ID"_s, N },
            { u"Special"_s, MEMO }, { u"Date"_s, D }, { u"DueDate"_s, D }, { u"TaxRate"_s, N },
            { u"TotalLabour"_s, M }, { u"QuoteTotal"_s, M }, { u"TotalSalesTax"_s, M },
            { u"QuoteDescription"_s, A(60) }, { u"Priority"_s, N }, { u"Status"_s, A(1) },
            { u"Notes"_s, MEMO }, { u"TotalMaterials"_s, M }, { u"SalesPerson"_s, A(60) },
            { u"Discount"_s, NM } },
        { { u"QuoteNo"_s, { u"Quote_No"_s } },
            { u"PriorQuoteNo"_s, { u"Priority"_s, u"Quote_No"_s } } });
    tables << keyedByFirst(u"Jobs.DB"_s,
        { { u"Job_ID"_s, N }, { u"Job_No"_s, A(30) }, { u"Client_ID"_s, N }, { u"Special"_s, MEMO },
            { u"Date"_s, D }, { u"DueDate"_s, D }, { u"TotalMaterials"_s, M },
            { u"TotalLabour"_s, M }, { u"JobTotal"_s, M }, { u"TaxRate"_s, N },
            { u"TotalSalesTax"_s, M }, { u"JobDescription"_s, A(60) }, { u"PercentComplete"_s, N },
            { u"Status"_s, A(1) }, { u"Priority"_s, N }, { u"Notes"_s, MEMO },
            { u"SalesPerson"_s, A(60) }, { u"Discount"_s, NM } },
        { { u"JobNo"_s, { u"Job_No"_s } }, { u"PriorJobNo"_s, { u"Priority"_s, u"Job_No"_s } } });
    tables << keyedByFirst(u"QMat.DB"_s,
        { { u"Quote_ID"_s, N }, { u"Quote_No"_s, A(30) }, { u"Material_ID"_s, N },
            { u"MaterialCode"_s, A(15) }, { u"MaterialDesc"_s, A(60) }, { u"CurrentPrice"_s, M },
            { u"Quantity"_s, N }, { u"TotalQuantity"_s, M }, { u"UnitCost"_s, M },
            { u"SalesTax"_s, N }, { u"TotalSalesTax"_s, M }, { u"RetailMarkup"_s, N },
            { u"TotalMarkup"_s, M }, { u"TotalCharge"_s, M }, { u"Notes"_s, MEMO },
            { u"Quote_RepID"_s, N }, { u"Heading_ID"_s, N } });
    tables << keyedByFirst(u"JobMat.db"_s,
        { { u"Job_ID"_s, N }, { u"Job_No"_s, A(30) }, { u"Material_ID"_s, N },
            { u"MaterialCode"_s, A(15) }, { u"MaterialDesc"_s, A(60) }, { u"CurrentPrice"_s, M },
            { u"Quantity"_s, N }, { u"TotalQuantity"_s, M }, { u"UnitCost"_s, M },
            { u"SalesTax"_s, N }, { u"TotalSalesTax"_s, M }, { u"RetailMarkup"_s, N },
            { u"TotalMarkup"_s, M }, { u"TotalCharge"_s, M }, { u"Notes"_s, MEMO },
            { u"Job_RepID"_s, N }, { u"Heading_ID"_s, N } });
    tables << keyedByFirst(u"QLab.db"_s,
        { { u"Quote_ID"_s, N }, { u"Quote_No"_s, A(10) }, { u"Labour_ID"_s, N },
            { u"Labour_Code"_s, A(10) }, { u"Description"_s, A(60) }, { u"Hours"_s, N },
            { u"Hourly_Rate"_s, NM }, { u"TotalCharge"_s, NM }, { u"Notes"_s, MEMO },
            { u"Quote_RepID"_s, N }, { u"Heading_ID"_s, N } });
    tables << keyedByFirst(u"JobLab.db"_s,
        { { u"Job_ID"_s, N }, { u"Job_No"_s, A(10) }, { u"Labour_ID"_s, N },
            { u"Labour_Code"_s, A(10) }, { u"Description"_s, A(60) }, { u"Hours"_s, N },
            { u"Hourly_Rate"_s, NM }, { u"TotalCharge"_s, NM }, { u"Notes"_s, MEMO },
            { u"Job_RepID"_s, N }, { u"Heading_ID"_s, N } });
    for (const QString &file : { u"RepQte.DB"_s, u"RepJobs.DB"_s }) {
        tables << keyedByFirst(file,
            { { u"ID"_s, N }, { u"Number"_s, A(10) }, { u"Code"_s, A(15) },
                { u"Description"_s, A(60) }, { u"Qty"_s, N }, { u"Cost"_s, M },
                { u"Total_Cost"_s, M }, { u"Rep_ID"_s, N }, { u"Heading_ID"_s, N },
                { u"Notes"_s, MEMO } });
    }
    tables << keyedByFirst(u"Clients.DB"_s,
        { { u"Client_ID"_s, N }, { u"Contact"_s, A(100) }, { u"Title"_s, A(5) },
            { u"First"_s, A(30) }, { u"Middle"_s, A(30) }, { u"Last"_s, A(30) },
            { u"Job_Title"_s, A(100) }, { u"Company_Name"_s, A(100) },
            { u"Default_Address"_s, A(1) }, { u"Bus_Address"_s, MEMO }, { u"Bus_Street"_s, MEMO },
            { u"Bus_City"_s, A(30) }, { u"Bus_State"_s, A(30) }, { u"Bus_Zip"_s, A(10) },
            { u"Hm_Address"_s, MEMO }, { u"Hm_Street"_s, MEMO }, { u"Hm_City"_s, A(30) },
            { u"Hm_State"_s, A(30) }, { u"Hm_Zip"_s, A(10) }, { u"Other_Address"_s, MEMO },
            { u"Other_Street"_s, MEMO }, { u"Other_City"_s, A(30) }, { u"Other_State"_s, A(30) },
            { u"Other_Zip"_s, A(10) }, { u"Default_Email"_s, A(1) }, { u"Email1"_s, A(100) },
            { u"Email2"_s, A(100) }, { u"Email3"_s, A(100) }, { u"Web_Page"_s, A(100) },
            { u"Notes"_s, MEMO }, { u"Phone_Bus"_s, A(100) }, { u"Phone_Bus2"_s, A(100) },
            { u"Phone_Home1"_s, A(100) }, { u"Phone_Home2"_s, A(100) },
            { u"Phone_BusFax"_s, A(100) }, { u"Phone_HmFax"_s, A(100) },
            { u"Phone_Mobile"_s, A(100) }, { u"Phone_Car"_s, A(100) },
            { u"Phone_Company"_s, A(100) }, { u"Phone_Pager"_s, A(100) } },
        { { u"ContactField"_s, { u"Contact"_s } }, { u"Company"_s, { u"Company_Name"_s } },
            { u"FirstNane"_s, { u"First"_s } }, { u"LastName"_s, { u"Last"_s } },
            { u"EmailOne"_s, { u"Email1"_s } }, { u"EmailTwo"_s, { u"Email2"_s } },
            { u"EmailThree"_s, { u"Email3"_s } }, { u"BusPh"_s, { u"Phone_Bus"_s } },
            { u"HomePh"_s, { u"Phone_Home1"_s } }, { u"BusFax"_s, { u"Phone_BusFax"_s } },
            { u"Mobile"_s, { u"Phone_Mobile"_s } }, { u"Car"_s, { u"Phone_Car"_s } } });
    tables << keyedByFirst(u"Material.DB"_s,
        { { u"Material_ID"_s, N }, { u"Material_Code"_s, A(15) }, { u"Description"_s, A(60) },
            { u"SellingPrice"_s, M }, { u"CostPrice"_s, M }, { u"PreviousPrice"_s, M },
            { u"DatePriceChange"_s, D }, { u"Unit_ID"_s, N }, { u"Tax"_s, N }, { u"Tax_Rate"_s, N },
            { u"Markup"_s, N }, { u"HeadingCode"_s, N } });
    tables << keyedByFirst(u"Labour.db"_s,
        { { u"Labour_ID"_s, N }, { u"Labour_Code"_s, A(10) }, { u"Description"_s, A(60) },
            { u"Hourly_Rate"_s, NM }, { u"Unit_ID"_s, N }, { u"Heading_Code"_s, N } },
        { { u"LabourCode"_s, { u"Labour_Code"_s } } });
    tables << keyedByFirst(
        u"Headings.db"_s, { { u"Heading_ID"_s, N }, { u"Description"_s, A(60) } });
    tables << keyedByFirst(u"Unit.db"_s, { { u"Unit_ID"_s, N }, { u"Unit_Description"_s, A(60) } });
    tables << keyedByFirst(u"TaxRates.db"_s,
        { { u"ID"_s, N }, { u"Tax_Rate"_s, N }, { u"Description"_s, A(30) } },
        { { u"TaxRate"_s, { u"Tax_Rate"_s } } });
    tables << keyedByFirst(u"Sales.db"_s, { { u"ID"_s, N }, { u"Salesman"_s, A(60) } },
        { { u"Sales"_s, { u"Salesman"_s } } });
    tables << keyedByFirst(u"Business.db"_s,
        { { u"Company_ID"_s, N }, { u"Company_Name"_s, A(100) }, { u"Address"_s, MEMO },
            { u"Phone_No"_s, A(20) }, { u"Phone_Fax"_s, A(20) }, { u"Email_Address"_s, A(100) },
            { u"ACN"_s, A(50) }, { u"Business_Type_ID"_s, N }, { u"Logo"_s, G },
            { u"LogoPath"_s, A(255) }, { u"QuoteFooter"_s, MEMO }, { u"JobFooter"_s, MEMO } });
    tables << keyedByFirst(
        u"BusType.db"_s, { { u"Business_Type_ID"_s, N }, { u"Description"_s, A(30) } });
    tables << keyedByFirst(u"PKey.DB"_s, { { u"PrimaryKey"_s, N }, { u"CurrentKey"_s, N } });
    tables << keyedByFirst(u"NxtQuote.db"_s,
        { { u"Quote_ID"_s, N }, { u"Prefix"_s, A(10) }, { u"NextQuote"_s, N },
            { u"Suffix"_s, A(10) } });
    tables << keyedByFirst(u"NxtJob.db"_s,
        { { u"Job_ID"_s, N }, { u"Prefix"_s, A(10) }, { u"NextJob"_s, N },
            { u"Suffix"_s, A(10) } });
    tables << keyedByFirst(u"global.db"_s,
        { { u"GLOBAL_KEY"_s, A(10) }, { u"ID_FIELD"_s, N }, { u"ALPHA"_s, A(60) },
            { u"MEMO"_s, MEMO } });
    tables << ExpectedTable { u"INI"_s,
        { { u"Sect"_s, A(30) }, { u"Parameter"_s, A(30) }, { u"Val"_s, A(50) } },
        { u"Sect"_s, u"Parameter"_s }, { { u"SectParameter"_s, { u"Sect"_s, u"Parameter"_s } } } };
    return tables;
}

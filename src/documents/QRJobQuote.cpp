#include "documents/QRJobQuote.h"

#include "engine/SqlStore.h"

using namespace Qt::StringLiterals;

TqrepJobQuote::TqrepJobQuote(TDM *dm)
    : DocumentReport(dm, jobGeometry())
{ }

DocumentGeometry TqrepJobQuote::jobGeometry()
{
    DocumentGeometry g;
    g.title = u"Job Sheet"_s;
    g.numberField = u"Job_No"_s;
    g.descriptionField = u"JobDescription"_s;
    g.totalField = u"JobTotal"_s;
    g.grandTotalField = u"VJobTotal"_s;
    g.footerField = u"JobFooter"_s;
    g.numberLabel = u"Job Number:"_s;
    g.phoneLabel = u"Ph:"_s;
    g.noClientMessage = u"Job has no Client selected. Please Select a client before printing Job"_s;
    g.grandTotalLabel = u"Total:"_s;
    g.boldBusinessLabels = true;
    g.boldClosingBand = true;

    g.pageHeaderHeight = 81.2;
    g.titleBox = { 2.1, 3.2, 74.3, 7.9 };
    g.businessName = { 133.3, 2.1 };
    g.phoneLabelAt = { 133.6, 8.5 };
    g.phoneValueAt = { 143.9, 8.5 };
    g.faxLabelAt = { 133.6, 12.7 };
    g.faxValueAt = { 143.9, 12.7 };
    g.numberLabelAt = { 2.1, 14.8 };
    g.numberValueAt = { 24.6, 14.8 };
    g.dateLabelAt = { 74.1, 14.8 };
    g.dateValueAt = { 97.4, 14.8 };
    g.dueLabelAt = { 74.1, 21.2 };
    g.dueValueAt = { 97.4, 21.2 };
    g.preparedLabelAt = { 74.1, 29.6 };
    g.preparedValueAt = { 97.4, 29.6 };
    g.logoBox = { 133.9, 19.1, 49.5, 48.9 };
    g.clientCompany = { 1.3, 21.2 };
    g.clientContact = { 1.3, 27.5 };
    g.clientAddress = { 1.3, 33.9, 58.2, 19.3 };
    g.clientPhoneLabelAt = { 1.3, 57.1 };
    g.clientPhoneValueAt = { 23.3, 57.1 };
    g.clientFaxLabelAt = { 1.3, 61.4 };
    g.clientFaxValueAt = { 23.3, 61.4 };
    g.descriptionLabelAt = { 1.3, 72.0 };
    g.descriptionValueAt = { 23.3, 72.0 };

    g.columnHeaderHeight = 6.3;
    g.columnTitles = { { u"Code"_s, 2.1 }, { u"Description"_s, 25.4 }, { u"Cost"_s, 127.0 },
        { u"Qty"_s, 150.3 }, { u"Total Cost"_s, 167.2 } };
    g.headingX = 2.1;

    g.codeBox = { 2.1, 0, 19.3, 4.5 };
    g.descriptionBox = { 25.4, 0, 98.2, 4.5 };
    g.costRight = 144.2;
    g.qtyRight = 158.2;
    g.totalRight = 186.0;
    g.lineNotes = { 27.5, 5.0, 93.4, 11.6 };

    g.headerNotes = { 2.1, 2.1, 87.0, 15.1 };
    g.ruleY = 1.2;
    g.subTotalAt = { 125.1, 3.2 };
    g.discountAt = { 127.0, 9.5 };
    g.taxAt = { 134.9, 16.9 };
    g.grandTotalAt = { 130.7, 23.5 };
    g.amountsRight = 185.7;
    g.grandTotalAmountLarge = true;
    g.doubleRuleY1 = 28.7;
    g.doubleRuleY2 = 30.3;

    g.pageFooterHeight = 32.3;
    g.footerText = { 2.1, 6.9, 97.6, 17.2 };
    g.creditY = 25.9;
    return g;
}

QString TqrepJobQuote::querySql() const
{
    // Ordered by the printed rows' keys, which is the order the lines were added. Every name is
    // quoted as the table set declares it, so the statement reads the same on any database.
    return uR"(SELECT Jobs."Job_No" , Jobs."Date" ,
 Jobs."DueDate" , Jobs."JobDescription" ,
 Jobs."JobTotal" , Jobs."TotalSalesTax" ,
 Jobs."Notes", Jobs."SalesPerson",
 Jobs."Discount",
 RepJobs."Code" , RepJobs."Description" ,
 RepJobs."Qty" , RepJobs."Cost" ,
 RepJobs."Total_Cost" ,
 RepJobs."Notes",
 Headings."Description" ,
 Clients."Contact" ,
 Clients."Company_Name" ,
 Clients."Bus_Address" ,
 Clients."Hm_Address" ,
 Clients."Other_Address" ,
 Clients."Email1" ,
 Clients."Email2" ,
 Clients."Email3" ,
 Clients."Web_Page" ,
 Clients."Phone_Bus" ,
 Clients."Phone_Home1" ,
 Clients."Phone_Mobile" ,
 Clients."Phone_BusFax"
FROM %1 RepJobs , %2 Clients ,
 %3 Jobs , %4 Headings
WHERE ( Jobs."Job_No" = RepJobs."Number" )
  AND
 ( RepJobs."Heading_ID" = Headings."Heading_ID" )
  AND
 ( Jobs."Client_ID" = Clients."Client_ID" )
  AND
 (Jobs."Job_No" = :no)
ORDER BY RepJobs."ID")"_s.arg(SqlStore::quoted(u"RepJobs.DB"_s), SqlStore::quoted(u"Clients.DB"_s),
        SqlStore::quoted(u"Jobs.DB"_s), SqlStore::quoted(u"Headings.db"_s));
}

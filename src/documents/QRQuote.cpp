#include "documents/QRQuote.h"

#include "engine/SqlStore.h"

using namespace Qt::StringLiterals;

TqrepQuote::TqrepQuote(TDM *dm)
    : DocumentReport(dm, quoteGeometry())
{ }

DocumentGeometry TqrepQuote::quoteGeometry()
{
    DocumentGeometry g;
    g.title = u"Quote"_s;
    g.numberField = u"Quote_No"_s;
    g.descriptionField = u"QuoteDescription"_s;
    g.totalField = u"QuoteTotal"_s;
    g.grandTotalField = u"VGrandTotal"_s;
    g.footerField = u"QuoteFooter"_s;
    g.numberLabel = u"Quote Number:"_s;
    g.phoneLabel = u"Phone:"_s;
    g.noClientMessage = u"Quote has no client selected. Please insert client details before printing Quote"_s;
    g.grandTotalLabel = u"Quote Total:"_s;

    g.pageHeaderHeight = 70.6;
    g.titleBox = { 2.1, 3.2, 65.9, 7.9 };
    g.businessName = { 140.8, 4.2 };
    g.phoneLabelAt = { 140.8, 8.5 };
    g.phoneValueAt = { 155.6, 8.5 };
    g.faxLabelAt = { 140.8, 12.7 };
    g.faxValueAt = { 155.6, 12.7 };
    g.numberLabelAt = { 2.1, 14.8 };
    g.numberValueAt = { 31.8, 14.8 };
    g.dateLabelAt = { 82.5, 14.8 };
    g.dateValueAt = { 103.7, 14.8 };
    g.dueLabelAt = { 82.5, 21.2 };
    g.dueValueAt = { 103.7, 21.2 };
    g.preparedLabelAt = { 82.5, 29.6 };
    g.preparedValueAt = { 103.7, 29.6 };
    g.logoBox = { 141.8, 19.1, 42.6, 46.8 };
    g.clientCompany = { 2.1, 21.2 };
    g.clientContact = { 2.1, 25.4 };
    g.clientAddress = { 2.1, 31.8, 46.8, 15.9 };
    g.clientPhoneLabelAt = { 2.1, 50.8 };
    g.clientPhoneValueAt = { 23.3, 50.8 };
    g.clientFaxLabelAt = { 2.1, 55.0 };
    g.clientFaxValueAt = { 23.3, 55.0 };
    g.descriptionLabelAt = { 2.1, 63.5 };
    g.descriptionValueAt = { 23.3, 63.5 };

    g.columnHeaderHeight = 8.5;
    g.columnTitles = { { u"Code"_s, 2.1 }, { u"Description"_s, 21.2 }, { u"Cost"_s, 124.9 },
        { u"Qty"_s, 146.1 }, { u"Total"_s, 167.2 } };
    g.headingX = 1.6;

    g.codeBox = { 2.1, 0, 18, 4.5 };
    g.codeSizedToText = true;
    g.descriptionBox = { 21.2, 0, 99.7, 4.5 };
    g.costRight = 136.5;
    g.qtyRight = 154.0;
    g.totalRight = 183.9;
    g.lineNotes = { 23.3, 5.6, 93.4, 10.8 };

    g.headerNotes = { 1.6, 2.6, 106.1, 13.8 };
    g.ruleY = 3.3;
    g.subTotalAt = { 130.4, 4.2 };
    g.discountAt = { 132.3, 10.6 };
    g.taxAt = { 140.2, 16.4 };
    g.grandTotalAt = { 122.8, 21.2 };
    g.amountsRight = 184.7;
    g.doubleRuleY1 = 28.7;
    g.doubleRuleY2 = 30.3;

    g.pageFooterHeight = 27.8;
    g.footerText = { 2.1, 3.4, 97.6, 17.2 };
    g.creditY = 21.7;
    return g;
}

QString TqrepQuote::querySql() const
{
    // Ordered by the printed rows' keys, which is the order the lines were added. Every name is
    // quoted as the table set declares it, so the statement reads the same on any database.
    return uR"(SELECT Quotes."Quote_No" , Quotes."Date" ,
 Quotes."DueDate" , Quotes."QuoteDescription" ,
 Quotes."QuoteTotal" , Quotes."TotalSalesTax" ,
 Quotes."Notes", Quotes."SalesPerson",
 Quotes."Discount",
 RepQte."Code" , RepQte."Description" ,
 RepQte."Qty" , RepQte."Cost" ,
 RepQte."Total_Cost" ,
 RepQte."Notes",
 Headings."Description"
,Clients."Contact" ,
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
FROM %1 RepQte
, %2 Clients
 ,%3 Quotes , %4 Headings
WHERE ( Quotes."Quote_No" = RepQte."Number" )
  AND
 ( RepQte."Heading_ID" = Headings."Heading_ID" )
  AND
 ( Quotes."Client_ID" = Clients."Client_ID" )
  AND
 (Quotes."Quote_No" = :no)
ORDER BY RepQte."ID")"_s.arg(SqlStore::quoted(u"RepQte.DB"_s), SqlStore::quoted(u"Clients.DB"_s),
        SqlStore::quoted(u"Quotes.DB"_s), SqlStore::quoted(u"Headings.db"_s));
}

#pragma once

// A data module as the benchmarks start and fill it.
#include "data/DataModuleMain.h"
#include "engine/Field.h"

#include <QString>

#include <cstdio>
#include <memory>

// A data module on directory; nullptr, the reason written to standard error, when it did not
// start.
inline std::unique_ptr<TDM> startDataModule(const QString &directory)
{
    auto dm = std::make_unique<TDM>();
    dm->startupFailure = [](const QString &text) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    };
    dm->requestTermination = [] {};
    dm->setDataDirectory(directory);
    dm->DMCreate();
    if (!dm->isConnected())
        return nullptr;
    return dm;
}

// The heading "Plumbing" with a material and a labour rate under it.
inline void addPriceList(TDM &dm)
{
    using namespace Qt::StringLiterals;
    dm.tblHeadings->insert();
    dm.tblHeadings->fieldByName(u"Description"_s)->setAsString(u"Plumbing"_s);
    dm.tblHeadings->post();
    const double heading = dm.tblHeadings->fieldByName(u"Heading_ID"_s)->asFloat();
    dm.tblMaterial->insert();
    dm.tblMaterial->fieldByName(u"Material_Code"_s)->setAsString(u"PIPE15"_s);
    dm.tblMaterial->fieldByName(u"Description"_s)->setAsString(u"Copper pipe 15 mm"_s);
    dm.tblMaterial->fieldByName(u"SellingPrice"_s)->setAsFloat(13.65);
    dm.tblMaterial->fieldByName(u"CostPrice"_s)->setAsFloat(9.4);
    dm.tblMaterial->fieldByName(u"Markup"_s)->setAsFloat(45);
    dm.tblMaterial->fieldByName(u"HeadingCode"_s)->setAsFloat(heading);
    dm.tblMaterial->post();
    dm.tblLabour->insert();
    dm.tblLabour->fieldByName(u"Labour_Code"_s)->setAsString(u"PLUMB"_s);
    dm.tblLabour->fieldByName(u"Description"_s)->setAsString(u"Licensed plumber"_s);
    dm.tblLabour->fieldByName(u"Hourly_Rate"_s)->setAsFloat(92);
    dm.tblLabour->fieldByName(u"Heading_Code"_s)->setAsFloat(heading);
    dm.tblLabour->post();
}

// A line of the current material on the current quote, saved with the quantity given.
inline void addMaterialLine(TDM &dm, int quantity)
{
    using namespace Qt::StringLiterals;
    dm.tblQuotes->edit();
    dm.tblQuotesMaterial->insert();
    dm.tblQuotesMaterial->fieldByName(u"Material_ID"_s)
        ->setValue(dm.tblMaterial->fieldByName(u"Material_ID"_s)->value());
    dm.FillQuoteMaterialLine();
    dm.tblQuotesMaterial->fieldByName(u"Quantity"_s)->setAsString(QString::number(quantity));
    dm.tblQuotesMaterial->post();
}

// A new quote, stored and current, its lines' views showing its lines.
inline void newQuote(TDM &dm, const QString &description = QStringLiteral("Benchmark"))
{
    using namespace Qt::StringLiterals;
    dm.tblQuotes->insert();
    dm.tblQuotes->fieldByName(u"QuoteDescription"_s)->setAsString(description);
    dm.tblQuotes->post();
    const QString number = dm.tblQuotes->fieldByName(u"Quote_No"_s)->asString();
    for (TQVTable *lines : { dm.tblQuotesMaterial, dm.tblQuoteLabour }) {
        lines->setFilter(TDM::documentNumberFilter(u"Quote_No"_s, number));
        lines->setFiltered(true);
    }
}

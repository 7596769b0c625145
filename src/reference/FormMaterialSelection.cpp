#include "reference/FormMaterialSelection.h"

#include "data/DataModuleMain.h"

using namespace Qt::StringLiterals;

TfrmMaterialSelect::TfrmMaterialSelect(TDM *dm, QWidget *parent)
    : MaterialLineDialog(dm,
          dm->tblQuotesMaterial,
          dm->tblQuotes,
          { u"Quote Material Selection"_s, HelpContext, u"btnLookupMats"_s,
              u"Add Materials Item"_s, QString(), u"Total"_s, u"Further Information "_s },
          parent)
{
    setObjectName(u"frmMaterialSelect"_s);
}

void TfrmMaterialSelect::fillLine()
{
    m_dm->FillQuoteMaterialLine();
}

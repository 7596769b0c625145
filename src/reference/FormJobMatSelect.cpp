#include "reference/FormJobMatSelect.h"

#include "data/DataModuleMain.h"

using namespace Qt::StringLiterals;

TfrmJobMatSelect::TfrmJobMatSelect(TDM *dm, QWidget *parent)
    : MaterialLineDialog(dm,
          dm->tblJobMaterials,
          dm->tblJobs,
          { u"Job Materials"_s, HelpContext, u"btnBrowseMaterials"_s, u"Add Material Item"_s,
              u"Change Description to appear on Job"_s, u"Total:"_s, u"Further Information"_s },
          parent)
{
    setObjectName(u"frmJobMatSelect"_s);
}

void TfrmJobMatSelect::fillLine()
{
    m_dm->FillJobMaterialLine();
}

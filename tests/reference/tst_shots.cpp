#include "ReferenceFixture.h"
#include "ReferenceTests.h"
#include "data/PriceListExchange.h"
#include "engine/Field.h"
#include "reference/FormClientMoreInfo.h"
#include "reference/FormClients.h"
#include "reference/FormFullName.h"
#include "reference/FormHeadings.h"
#include "reference/FormMaterials.h"
#include "reference/FormPriceChange.h"
#include "reference/FormUnits.h"
#include "reference/PriceListImportDialog.h"

#include <QTest>

using namespace Qt::StringLiterals;

class Shots : public QObject
{
    Q_OBJECT
private slots:
    void shots()
    {
        ReferenceFixture f;
        const double p = f.addHeading(u"Plumbing"_s);
        f.addHeading(u"Electrical"_s);
        const double each = f.addUnit(u"each"_s);
        f.addUnit(u"metre"_s);
        f.addMaterial(u"PL-CU15"_s, u"Copper pipe 15 mm"_s, 9.4, 13.63, p, each);
        f.addMaterial(u"PL-TAP"_s, u"Mixer tap, chrome"_s, 64, 89.6, p, each);
        f.addLabour(u"PLUMB"_s, u"Licensed plumber"_s, 92, p);
        f.addClient(u"Mr. Ann Archer"_s, u"Archer Roofing"_s);
        f.addClient(u"Bob Baker"_s, u"Baker Bros"_s);
        const QString dir = qEnvironmentVariable("SHOTS");
        const auto save = [&](QWidget *w, const QString &name) {
            w->show();
            QTest::qWait(200);
            w->grab().save(dir + u'/' + name + u".png"_s);
        };
        { TfrmClientDetails w(f.dm.get()); save(&w, u"clients"_s); }
        { TfrmClient w(f.dm.get(), TfrmClient::Mode::Edit); save(&w, u"client"_s); f.dm->tblClients->cancel(); }
        { f.dm->tblClients->first(); TfrmFullName w(f.dm.get()); save(&w, u"fullname"_s); f.dm->tblClients->cancel(); }
        { TfrmMaterials w(f.dm.get()); save(&w, u"materials"_s); }
        { TfrmMaterials w(f.dm.get(), TfrmMaterials::Page::Labour); save(&w, u"labour"_s); }
        { TfrmPriceChange w(f.dm.get()); save(&w, u"pricelist"_s); }
        { TfrmHeadings w(f.dm.get()); save(&w, u"headings"_s); }
        { TfrmUnits w(f.dm.get()); save(&w, u"units"_s); }
        {
            const PriceListPlan plan = f.dm->planPriceListImport(
                "Type,Code,Description,Cost Price,Selling Price,Heading,Unit\r\n"
                "Material,PL-TAP,Mixer tap,64,95,Plumbing,each\r\n"
                "Material,EL-GPO,Double power point,8.6,16,Electrical,each\r\n"
                "Material,X,Bad,abc,1,Plumbing,\r\n");
            PriceListImportDialog w(plan);
            save(&w, u"import"_s);
        }
    }
};

int runShots(int argc, char **argv)
{
    Shots s;
    return QTest::qExec(&s, argc, argv);
}

#include "tst_shots.moc"

#include "reference/LabourSelect.h"

#include "controls/dataaware/FieldLineEdit.h"
#include "controls/dataaware/FieldLookupComboBox.h"
#include "controls/dataaware/FieldSpinBox.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "controls/window/CommandGuard.h"
#include "controls/window/Hints.h"
#include "controls/window/Messages.h"
#include "data/DataModuleMain.h"
#include "reference/FormMaterials.h"
#include "reference/ReferenceWidgets.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

using namespace Qt::StringLiterals;

namespace {

const QString saveQuestion = u"Do you want to Save this Labour Item?"_s;

} // namespace

TfrmLabourSelect::TfrmLabourSelect(TDM *dm, QWidget *parent)
    : LineSelectDialog(dm,
        dm->tblJobLabour,
        dm->tblLabour,
        u"Labour_ID"_s,
        u"Labour_Code"_s,
        parent)
    , m_jobLabour(ReferenceWidgets::link(this, u"dsJobLabour"_s, dm->tblJobLabour))
    , m_quoteLabour(ReferenceWidgets::link(this, u"dsQuoteLabour"_s, dm->tblQuoteLabour))
{
    setObjectName(u"frmLabourSelect"_s);
    setWindowTitle(u"Select Labour"_s);
    m_code->setDropDownRows(10);
    m_description->setDropDownRows(10);
    QGroupBox *select =
        selectGroup(u"Code"_s, u"Description"_s, u"btnBrowseLabour"_s, u"Add Labour Item"_s);
    QGroupBox *description =
        descriptionGroup(u"Description"_s, u"Change Description to appear on Job"_s);
    QWidget *charge = chargeGroup();
    QGroupBox *notes = notesGroup(u"Further Information "_s);
    finishLayout({ select, description, charge, notes }, HelpContext);
    FormShow();
}

QWidget *TfrmLabourSelect::chargeGroup()
{
    auto *group = new QGroupBox(u"Labour Charge "_s, this);
    group->setObjectName(u"grpCharge"_s);
    FieldLineEdit *rate = numberEdit(group, u"feHourlyRate"_s, u"Hourly_Rate"_s);
    FieldSpinBox *hours = spinEdit(group, u"feHours"_s, u"Hours"_s);
    Hints::setHint(hours, u"% of Markup"_s);
    FieldLineEdit *charge = numberEdit(group, u"feCharge"_s, u"TotalCharge"_s);
    FieldLineEdit *total = numberEdit(group, u"feTotal"_s, u"TotalCharge"_s);
    QFont bold = total->font();
    bold.setBold(true);
    total->setFont(bold);

    auto *rule = new QFrame(group);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto *grid = new QGridLayout(group);
    const auto row = [&](int at, const QString &caption, QWidget *field) {
        auto *label = new QLabel(caption, group);
        label->setBuddy(field);
        grid->addWidget(label, at, 0);
        grid->addWidget(field, at, 1);
    };
    row(0, u"Hourly Charge:"_s, rate);
    row(1, u"Hours:"_s, hours);
    row(2, u"Charge:"_s, charge);
    grid->addWidget(rule, 3, 1);
    row(4, u"Total"_s, total);
    grid->setColumnStretch(2, 1);
    return group;
}

// The dialog works on the labour line being edited; a job line wins over a quote line.
void TfrmLabourSelect::FormShow()
{
    if (m_quoteLabour->isEditing())
        m_line->setDataSet(m_dm->tblQuoteLabour);
    if (m_jobLabour->isEditing())
        m_line->setDataSet(m_dm->tblJobLabour);
}

void TfrmLabourSelect::fillLine()
{
    m_dm->FillLabourLine();
}

void TfrmLabourSelect::browsePriceList()
{
    runGuarded(this, [this] {
        TfrmMaterials prices(m_dm, TfrmMaterials::Page::Labour, this);
        prices.exec();
    });
}

// The other labour view still pending (not the one this dialog shows) is asked about too. Its
// line is saved or given up through its own hooks, which post the header with the line's charge
// in step; posting or cancelling the header alone under a pending line would leave the header's
// sums without that line, or count it twice when the line is settled later.
bool TfrmLabourSelect::settleOther(TQVTable *line)
{
    if (!line->isEditing())
        return true;
    const bool save = ConfirmYesNo(saveQuestion, this);
    return runGuarded(this, [&] {
        if (save)
            line->post();
        else
            line->cancel();
    });
}

bool TfrmLabourSelect::closeCheck()
{
    TableView *line = lineTable();
    if (line && line->isEditing()) {
        const bool save = ConfirmYesNo(saveQuestion, this);
        if (!settleLine(save))
            return false;
    }
    return settleOther(m_dm->tblQuoteLabour) && settleOther(m_dm->tblJobLabour);
}

#include "reference/MaterialLineDialog.h"

#include "controls/window/CommandGuard.h"
#include "controls/window/Messages.h"
#include "controls/dataaware/FieldLineEdit.h"
#include "controls/dataaware/FieldSpinBox.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "data/DataModuleMain.h"
#include "reference/FormMaterials.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

using namespace Qt::StringLiterals;

MaterialLineDialog::MaterialLineDialog(TDM *dm,
    TQVTable *line,
    TQVTable *header,
    const Design &design,
    QWidget *parent)
    : LineSelectDialog(dm,
          line,
          dm->tblMaterial,
          u"Material_ID"_s,
          u"Material_Code"_s,
          parent)
    , m_header(header)
{
    setWindowTitle(design.caption);
    QGroupBox *select =
        selectGroup(u"Code:"_s, u"Description:"_s, design.browseName, design.browseHint);
    QGroupBox *description = descriptionGroup(u"MaterialDesc"_s, design.descriptionHint);
    QWidget *charge = chargeGroup(design.totalLabel);
    QGroupBox *notes = notesGroup(design.furtherCaption);
    finishLayout({ select, description, charge, notes }, design.helpContext);
    FormShow();
}

MaterialLineDialog::~MaterialLineDialog() = default;

QWidget *MaterialLineDialog::chargeGroup(const QString &totalLabel)
{
    auto *group = new QGroupBox(u"Material Charge "_s, this);
    group->setObjectName(u"grpCharge"_s);
    FieldLineEdit *price = numberEdit(group, u"fePrice"_s, u"CurrentPrice"_s);
    FieldSpinBox *quantity = spinEdit(group, u"feQuantity"_s, u"Quantity"_s);
    FieldLineEdit *charge = numberEdit(group, u"feCharge"_s, u"TotalMarkup"_s);
    charge->setFieldReadOnly(true);
    FieldLineEdit *total = numberEdit(group, u"feTotal"_s, u"TotalCharge"_s);
    total->setFieldReadOnly(true);
    QFont bold = total->font();
    bold.setBold(true);
    total->setFont(bold);
    FieldLineEdit *cost = numberEdit(group, u"feCostPrice"_s, u"UnitCost"_s);
    cost->setFieldReadOnly(true);
    cost->setFocusPolicy(Qt::ClickFocus); // Tab passes it by
    QPalette aqua = cost->palette();
    aqua.setColor(QPalette::Base, QColor(0x00, 0xff, 0xff));
    aqua.setColor(QPalette::Text, Qt::black);
    cost->setPalette(aqua);
    cost->setAutoFillBackground(true);

    auto *rule = new QFrame(group);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto *grid = new QGridLayout(group);
    const auto row = [&](int at, const QString &caption, QWidget *field, int column = 0) {
        auto *label = new QLabel(caption, group);
        label->setBuddy(field);
        grid->addWidget(label, at, column);
        grid->addWidget(field, at, column + 1);
    };
    row(0, u"Price:"_s, price);
    row(1, u"Quantity:"_s, quantity);
    row(2, u"Charge:"_s, charge);
    grid->addWidget(rule, 3, 1);
    row(4, totalLabel, total);
    row(0, u"Cost Price:"_s, cost, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnMinimumWidth(2, 70);
    return group;
}

// A line the command has not put into edit is a new one, inserted where the user is.
void MaterialLineDialog::FormShow()
{
    runGuarded(this, [this] {
        if (!m_line->isEditing())
            lineTable()->insert();
    });
}

void MaterialLineDialog::browsePriceList()
{
    runGuarded(this, [this] {
        TfrmMaterials materials(m_dm, TfrmMaterials::Page::Materials, this);
        materials.exec();
    });
}

bool MaterialLineDialog::closeCheck()
{
    TableView *line = lineTable();
    if (line && line->isEditing()) {
        const bool save = ConfirmYesNo(u"Do you want to Save this Material Item?"_s, this);
        if (!settleLine(save))
            return false;
    }
    // The line's hooks post the header as the line is saved or given up. A header still in edit
    // here was put there for the dialog and is released; one that carries changes (typed in the
    // main window before the dialog opened) keeps them for the main window to save.
    return runGuarded(this, [this] {
        if (m_header->isEditing() && !m_header->modified())
            m_header->cancel();
    });
}

#include "reference/FormMaterials.h"

#include "controls/dataaware/FieldLineEdit.h"
#include "controls/dataaware/FieldLookupComboBox.h"
#include "controls/window/CommandGuard.h"
#include "controls/window/HelpRequest.h"
#include "controls/window/Hints.h"
#include "controls/window/TQVPageControl.h"
#include "data/DataModuleMain.h"
#include "reference/FormHeadings.h"
#include "reference/FormUnits.h"
#include "reference/ReferenceWidgets.h"

#include <QAction>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using namespace ReferenceWidgets;

namespace {

FieldLookupComboBox *headingSelector(QWidget *parent,
    const QString &name,
    TQVDataSource *source,
    const QString &field,
    TQVDataSource *headings,
    const QString &hint)
{
    auto *combo = new FieldLookupComboBox(parent);
    combo->setObjectName(name);
    combo->setDataSource(source);
    combo->setDataField(field);
    combo->setListSource(headings);
    combo->setKeyField(u"Heading_ID"_s);
    combo->setListField(u"Description"_s);
    Hints::setHint(combo, hint);
    return combo;
}

QPushButton *sideButton(QWidget *parent, const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

TfrmMaterials::TfrmMaterials(TDM *dm, QWidget *parent)
    : TfrmMaterials(dm, Page::Materials, parent)
{ }

TfrmMaterials::TfrmMaterials(TDM *dm, Page page, QWidget *parent)
    : QDialog(parent)
    , TQVForm(this)
    , m_dm(dm)
    , m_materials(link(this, u"dsMaterials"_s, dm->tblMaterial))
    , m_labour(link(this, u"dsLabour"_s, dm->tblLabour))
    , m_units(link(this, u"dsUnit"_s, dm->tblUnit))
    , m_headings(link(this, u"dsHeadings"_s, dm->tblHeadings))
    , m_pages(new TQVPageControl(this))
{
    setObjectName(u"frmMaterials"_s);
    setWindowTitle(u"Materials and Labour"_s);

    QToolBar *bar = toolBar(this, u"tbMaterials"_s);
    connect(command(bar, u"btnNew"_s, u"New"_s, QStyle::SP_FileIcon), &QAction::triggered, this,
        &TfrmMaterials::btnNewClick);
    connect(command(bar, u"btnSave"_s, u"Save"_s, QStyle::SP_DialogSaveButton), &QAction::triggered,
        this, &TfrmMaterials::btnSaveClick);
    bar->addSeparator();
    connect(command(bar, u"btnCancel"_s, u"Cancel"_s, QStyle::SP_DialogCancelButton),
        &QAction::triggered, this, &TfrmMaterials::btnCancelClick);
    bar->addSeparator();
    connect(command(bar, u"btnDelete"_s, u"Delete"_s, QStyle::SP_TrashIcon), &QAction::triggered,
        this, &TfrmMaterials::btnDeleteClick);
    bar->addSeparator();
    connect(command(bar, u"btnClose"_s, u"Close"_s, QStyle::SP_DialogCloseButton),
        &QAction::triggered, this, &TfrmMaterials::btnCloseClick);

    m_pages->setObjectName(u"pgcMaterials"_s);
    m_pages->addTab(buildMaterialsPage(), u"Materials"_s);
    m_pages->addTab(buildLabourPage(), u"Labour"_s);

    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    layout->addWidget(m_pages);
    resize(560, 470);
    setFixedSize(size());

    HelpRequest::install(this, 0);
    formLoaded();
    showPage(page);
}

TfrmMaterials::~TfrmMaterials() = default;

QWidget *TfrmMaterials::buildMaterialsPage()
{
    auto *page = new QWidget(m_pages);
    page->setObjectName(u"tsMaterials"_s);
    setHelpContext(page, MaterialsHelpContext);
    m_materialCode = boundEdit(page, m_materials, u"feMaterialCode"_s, u"Material_Code"_s);
    auto *fields = new QFormLayout;
    fields->addRow(u"Material Code:"_s, m_materialCode);
    fields->addRow(u"Description:"_s,
        boundEdit(page, m_materials, u"feMaterialDescription"_s, u"Description"_s));
    fields->addRow(
        u"Cost Price:"_s, boundEdit(page, m_materials, u"feCostPrice"_s, u"CostPrice"_s));
    fields->addRow(
        u"Selling Price:"_s, boundEdit(page, m_materials, u"feSellingPrice"_s, u"SellingPrice"_s));

    auto *unit = new FieldLookupComboBox(page);
    unit->setObjectName(u"cboUnit"_s);
    unit->setDataSource(m_materials);
    unit->setDataField(u"Unit_ID"_s);
    unit->setListSource(m_units);
    unit->setKeyField(u"Unit_ID"_s);
    unit->setListField(u"Unit_Description"_s);
    unit->setDropDownWidth(121);
    Hints::setHint(unit, u"Unit Code"_s);
    auto *addUnit = sideButton(page, u"btnAddUnit"_s, u"Add Unit"_s);
    Hints::setHint(addUnit, u"Add / Delete Unit Measure"_s);
    connect(addUnit, &QPushButton::clicked, this, &TfrmMaterials::btnAddUnitClick);
    auto *unitRow = new QHBoxLayout;
    unitRow->addWidget(unit, 1);
    unitRow->addWidget(addUnit);
    fields->addRow(u"Unit:"_s, unitRow);

    auto *group = new QGroupBox(u"Material Group Headings "_s, page);
    group->setObjectName(u"grpMaterialHeadings"_s);
    auto *heading = headingSelector(group, u"cboMaterialHeading"_s, m_materials, u"HeadingCode"_s,
        m_headings, u"Select Heading Group that Material Item belongs too."_s);
    auto *addHeading = sideButton(group, u"btnAddMaterialHeading"_s, u"Add Heading"_s);
    connect(addHeading, &QPushButton::clicked, this, &TfrmMaterials::btnAddHeadingClick);
    auto *groupLayout = new QHBoxLayout(group);
    groupLayout->addWidget(heading, 1);
    groupLayout->addWidget(addHeading);

    auto *list = grid(page, u"grdMaterials"_s, m_materials,
        { { u"Material_Code"_s, u"Material Code"_s, 110 }, { u"Description"_s, {}, 250 },
            { u"CostPrice"_s, u"Cost Price"_s, 90 } },
        true);
    list->setShowHorizontalScrollBar(false);
    list->setRegistryKeyName(u"Velbric\\Materials"_s);
    setHelpContext(list, MaterialsHelpContext);

    auto *layout = new QVBoxLayout(page);
    layout->addLayout(fields);
    layout->addWidget(group);
    layout->addWidget(list, 1);
    return page;
}

QWidget *TfrmMaterials::buildLabourPage()
{
    auto *page = new QWidget(m_pages);
    page->setObjectName(u"tsLabour"_s);
    setHelpContext(page, LabourHelpContext);
    m_labourCode = boundEdit(page, m_labour, u"feLabourCode"_s, u"Labour_Code"_s);
    auto *fields = new QFormLayout;
    fields->addRow(u"Labour Code:"_s, m_labourCode);
    fields->addRow(
        u"Description:"_s, boundEdit(page, m_labour, u"feLabourDescription"_s, u"Description"_s));
    fields->addRow(
        u"Hourly Rate"_s, boundEdit(page, m_labour, u"feHourlyRate"_s, u"Hourly_Rate"_s));

    auto *group = new QGroupBox(u"Labour Group Headings "_s, page);
    group->setObjectName(u"grpLabourHeadings"_s);
    auto *heading = headingSelector(group, u"cboLabourHeading"_s, m_labour, u"Heading_Code"_s,
        m_headings, u"Select Heading Group that Labour Item belongs too."_s);
    auto *addHeading = sideButton(group, u"btnAddLabourHeading"_s, u"Add Heading"_s);
    Hints::setHint(addHeading, u"Add / Edit Headings"_s);
    connect(addHeading, &QPushButton::clicked, this, &TfrmMaterials::btnAddHeadingClick);
    auto *groupLayout = new QHBoxLayout(group);
    groupLayout->addWidget(heading, 1);
    groupLayout->addWidget(addHeading);

    auto *list = grid(page, u"grdLabour"_s, m_labour,
        { { u"Labour_Code"_s, u"Labour Code"_s, 110 }, { u"Description"_s, {}, 250 },
            { u"Hourly_Rate"_s, u"Hourly Rate"_s, 90 } },
        true);
    setHelpContext(list, LabourHelpContext);

    auto *layout = new QVBoxLayout(page);
    layout->addLayout(fields);
    layout->addWidget(group);
    layout->addWidget(list, 1);
    return page;
}

TfrmMaterials::Page TfrmMaterials::page() const
{
    return m_pages->currentIndex() == 1 ? Page::Labour : Page::Materials;
}

void TfrmMaterials::showPage(Page page)
{
    m_pages->setCurrentIndex(page == Page::Labour ? 1 : 0);
}

TQVTable *TfrmMaterials::pageTable() const
{
    return page() == Page::Labour ? m_dm->tblLabour : m_dm->tblMaterial;
}

void TfrmMaterials::btnNewClick()
{
    runGuarded(this, [this] {
        (page() == Page::Labour ? m_labourCode : m_materialCode)->setFocus();
        pageTable()->insert();
    });
}

void TfrmMaterials::btnSaveClick()
{
    runGuarded(this, [this] { pageTable()->post(); });
}

void TfrmMaterials::btnCancelClick()
{
    runGuarded(this, [this] { pageTable()->cancel(); });
}

void TfrmMaterials::btnDeleteClick()
{
    runGuarded(this, [this] { deleteAsked(pageTable(), this); });
}

void TfrmMaterials::btnCloseClick()
{
    const bool saved = runGuarded(this, [this] {
        m_dm->tblMaterial->post();
        m_dm->tblLabour->post();
    });
    if (saved)
        QDialog::reject();
}

// Escape and the close box close as "Close" does: a pending change is saved, not left behind.
void TfrmMaterials::reject()
{
    btnCloseClick();
}

void TfrmMaterials::btnAddUnitClick()
{
    runGuarded(this, [this] {
        TfrmUnits units(m_dm, this);
        units.exec();
    });
}

void TfrmMaterials::btnAddHeadingClick()
{
    runGuarded(this, [this] {
        TfrmHeadings headings(m_dm, this);
        headings.exec();
    });
}

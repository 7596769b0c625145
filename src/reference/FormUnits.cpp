#include "reference/FormUnits.h"

#include "controls/window/CommandGuard.h"
#include "controls/window/HelpRequest.h"
#include "controls/dataaware/FieldLineEdit.h"
#include "data/DataModuleMain.h"
#include "reference/ReferenceWidgets.h"

#include <QAction>
#include <QFormLayout>
#include <QToolBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using namespace ReferenceWidgets;

TfrmUnits::TfrmUnits(TDM *dm, QWidget *parent)
    : QDialog(parent)
    , TQVForm(this)
    , m_dm(dm)
    , m_units(link(this, u"dsUnit"_s, dm->tblUnit))
{
    setObjectName(u"frmUnits"_s);
    setWindowTitle(u"Unit Description"_s);

    QToolBar *bar = toolBar(this, u"tbUnits"_s);
    connect(command(bar, u"btnSave"_s, u"Save"_s, QStyle::SP_DialogSaveButton), &QAction::triggered,
        this, &TfrmUnits::btnSaveClick);
    connect(command(bar, u"btnNew"_s, u"New"_s, QStyle::SP_FileIcon), &QAction::triggered, this,
        &TfrmUnits::btnNewClick);
    bar->addSeparator();
    connect(command(bar, u"btnDelete"_s, u"Delete"_s, QStyle::SP_TrashIcon), &QAction::triggered,
        this, &TfrmUnits::btnDeleteClick);
    bar->addSeparator();
    connect(command(bar, u"btnCancel"_s, u"Cancel"_s, QStyle::SP_DialogCancelButton),
        &QAction::triggered, this, &TfrmUnits::btnCancelClick);
    connect(command(bar, u"btnClose"_s, u"Close"_s, QStyle::SP_DialogCloseButton),
        &QAction::triggered, this, &TfrmUnits::btnCloseClick);

    m_grid = grid(
        this, u"grdUnits"_s, m_units, { { u"Unit_Description"_s, u"Description"_s, 260 } }, true);
    m_grid->setRegistryKeyName(u"Velbric/UnitDesc"_s);
    m_description = boundEdit(this, m_units, u"feDescription"_s, u"Unit_Description"_s);
    auto *fields = new QFormLayout;
    fields->addRow(u"Description:"_s, m_description);

    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    layout->addWidget(m_grid, 1);
    layout->addLayout(fields);
    resize(420, 320);
    setFixedSize(size());

    HelpRequest::install(this, HelpContext);
    formLoaded();
}

TfrmUnits::~TfrmUnits() = default;

void TfrmUnits::btnSaveClick()
{
    runGuarded(this, [this] { m_dm->tblUnit->post(); });
}

void TfrmUnits::btnNewClick()
{
    runGuarded(this, [this] {
        m_description->setFocus();
        m_dm->tblUnit->insert();
    });
}

void TfrmUnits::btnDeleteClick()
{
    runGuarded(this, [this] { deleteAsked(m_dm->tblUnit, this); });
}

void TfrmUnits::btnCancelClick()
{
    runGuarded(this, [this] { m_dm->tblUnit->cancel(); });
}

void TfrmUnits::btnCloseClick()
{
    reject();
}

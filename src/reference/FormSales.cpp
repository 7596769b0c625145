#include "FormSales.h"

#include "controls/window/CommandGuard.h"
#include "controls/window/HelpRequest.h"
#include "controls/dataaware/FieldLineEdit.h"
#include "controls/dataaware/TQVDBGridSrc.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "data/DataModuleMain.h"
#include "reference/SetupWidgets.h"

#include <QFormLayout>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using SetupWidgets::named;

TfrmSales::TfrmSales(TDM *dm, QWidget *parent)
    : QDialog(parent)
    , TQVForm(this)
    , m_sales(named(new TQVDataSource(this), u"dsSales"_s))
    , m_grid(named(new TQVDBGrid(this), u"grdSales"_s))
    , m_name(named(new FieldLineEdit(this), u"feSalesman"_s))
{
    HelpRequest::install(this, 0);
    setObjectName(u"frmSales"_s);
    setWindowTitle(u"Sales People"_s);
    setModal(true);
    m_sales->setDataSet(dm->tblSales);
    m_grid->setDataSource(m_sales);
    m_grid->setColumns({ { u"Salesman"_s, u"Sales Person"_s, 220, true } });
    m_grid->setRowSelect(true);
    // The units window keeps its layout under the same key; each finds its own field in it.
    m_grid->setRegistryKeyName(u"Velbric/UnitDesc"_s);
    m_name->setDataSource(m_sales);
    m_name->setDataField(u"Salesman"_s);
    m_name->setMaxLength(60);

    auto *bar = named(new QToolBar(this), u"tbSales"_s);
    const auto button = [&](const QString &name, const QString &text, auto handler) {
        connect(SetupWidgets::toolButton(bar, name, text), &QToolButton::clicked, this, handler);
    };
    button(u"btnSave"_s, u"Save"_s, &TfrmSales::btnSaveClick);
    button(u"btnNew"_s, u"New"_s, &TfrmSales::btnNewClick);
    button(u"btnDelete"_s, u"Delete"_s, &TfrmSales::btnDeleteClick);
    button(u"btnCancel"_s, u"Cancel"_s, &TfrmSales::btnCancelClick);
    bar->addSeparator();
    button(u"btnClose"_s, u"Close"_s, &TfrmSales::btnCloseClick);

    auto *form = new QFormLayout;
    form->addRow(u"Sales Person:"_s, m_name);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addWidget(m_grid, 1);
    layout->addLayout(form);

    formLoaded();
    setFixedSize(320, 360);
}

void TfrmSales::btnSaveClick()
{
    runGuarded(this, [this] { SetupWidgets::postIfEditing(m_sales); });
}

void TfrmSales::btnNewClick()
{
    runGuarded(this, [this] {
        m_name->setFocus();
        m_sales->dataSet()->insert();
    });
}

void TfrmSales::btnDeleteClick()
{
    runGuarded(this, [this] { SetupWidgets::deleteAsked(m_sales, this); });
}

void TfrmSales::btnCancelClick()
{
    runGuarded(this, [this] { SetupWidgets::cancelIfEditing(m_sales); });
}

void TfrmSales::btnCloseClick()
{
    reject();
}

#include "reference/FormPriceChange.h"

#include "controls/window/CommandGuard.h"
#include "controls/window/HelpRequest.h"
#include "controls/window/Messages.h"
#include "controls/window/TQVPageControl.h"
#include "data/DataModuleMain.h"
#include "data/Errors.h"
#include "data/PriceListExchange.h"
#include "reference/FormMaterials.h"
#include "reference/PriceListImportDialog.h"
#include "reference/ReferenceWidgets.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QSaveFile>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using namespace ReferenceWidgets;

namespace {

const QString fileFilter = u"Price lists (*.csv);;All files (*)"_s;

QString askForFile(QWidget *parent, bool forSaving)
{
    if (forSaving) {
        return QFileDialog::getSaveFileName(
            parent, u"Export Price List"_s, u"PriceList.csv"_s, fileFilter);
    }
    return QFileDialog::getOpenFileName(parent, u"Import Price List"_s, {}, fileFilter);
}

TQVDBGrid *priceGrid(QWidget *parent,
    const QString &name,
    TQVDataSource *source,
    const QList<GridColumn> &columns,
    const QString &key)
{
    TQVDBGrid *result = grid(parent, name, source, columns, false);
    result->setRegistryKeyName(key);
    result->setHelpContext(TfrmPriceChange::HelpContext);
    // A double-click opens the entry in the materials window; typing or F2 edits the cell.
    result->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    return result;
}

} // namespace

TfrmPriceChange::TfrmPriceChange(TDM *dm, QWidget *parent)
    : QDialog(parent)
    , TQVForm(this)
    , chooseFile(askForFile)
    , confirmImport(PriceListImportDialog::confirm)
    , m_dm(dm)
    , m_materials(link(this, u"dsMaterials"_s, dm->tblMaterial))
    , m_labour(link(this, u"dsLabour"_s, dm->tblLabour))
    , m_pages(new TQVPageControl(this))
    , m_status(new QStatusBar(this))
{
    setObjectName(u"frmPriceChange"_s);
    setWindowTitle(u"Material and Labour Price List"_s);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(true);

    QToolBar *bar = toolBar(this, u"tbPriceChange"_s);
    connect(command(bar, u"btnNew"_s, u"New"_s, QStyle::SP_FileIcon), &QAction::triggered, this,
        &TfrmPriceChange::btnNewClick);
    connect(command(bar, u"btnSave"_s, u"Save"_s, QStyle::SP_DialogSaveButton), &QAction::triggered,
        this, &TfrmPriceChange::btnSaveClick);
    bar->addSeparator();
    connect(command(bar, u"btnCancel"_s, u"Cancel"_s, QStyle::SP_DialogCancelButton),
        &QAction::triggered, this, &TfrmPriceChange::btnCancelClick);
    bar->addSeparator();
    connect(command(bar, u"btnDelete"_s, u"Delete"_s, QStyle::SP_TrashIcon), &QAction::triggered,
        this, &TfrmPriceChange::btnDeleteClick);
    bar->addSeparator();
    connect(command(bar, u"btnImport"_s, u"Import Price List..."_s, QStyle::SP_DialogOpenButton,
                u"Add and change materials and labour rates from a CSV file"_s),
        &QAction::triggered, this, &TfrmPriceChange::btnImportClick);
    connect(command(bar, u"btnExport"_s, u"Export Price List..."_s, QStyle::SP_DriveFDIcon,
                u"Save the materials and labour rates as a CSV file"_s),
        &QAction::triggered, this, &TfrmPriceChange::btnExportClick);
    bar->addSeparator();
    connect(command(bar, u"btnClose"_s, u"Close"_s, QStyle::SP_DialogCloseButton),
        &QAction::triggered, this, &TfrmPriceChange::btnCloseClick);

    m_materialGrid = priceGrid(m_pages, u"grdMatPriceChange"_s, m_materials,
        { { u"Material_Code"_s, u"Material Code"_s, 100 }, { u"Description"_s, {}, 240 },
            { u"CostPrice"_s, u"Cost Price"_s, 80 }, { u"SellingPrice"_s, u"Selling Price"_s, 80 },
            { u"VUnitDesc"_s, u"Unit Desc"_s, 90 }, { u"VHeadDesc"_s, u"Heading Desc"_s, 120 } },
        u"Tessorin\\grdMatPriceChange"_s);
    m_labourGrid = priceGrid(m_pages, u"grdLabPriceChange"_s, m_labour,
        { { u"Labour_Code"_s, u"Labour Code"_s, 100 }, { u"Description"_s, {}, 240 },
            { u"Hourly_Rate"_s, u"Hourly Rate"_s, 80 }, { u"VUnitDesc"_s, u"Unit Desc"_s, 90 },
            { u"VHeadDesc"_s, u"Heading Desc"_s, 120 } },
        u"Tessorin\\grdLabPriceChange"_s);
    m_pages->setObjectName(u"pgcPriceChange"_s);
    m_pages->addTab(m_materialGrid, u"Materials"_s);
    m_pages->addTab(m_labourGrid, u"Labour"_s);
    for (TQVDBGrid *g : { m_materialGrid, m_labourGrid })
        connect(g, &QAbstractItemView::doubleClicked, this, &TfrmPriceChange::grdDblClick);

    m_status->setObjectName(u"StatusBar1"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(bar);
    layout->addWidget(m_pages, 1);
    layout->addWidget(m_status);
    resize(820, 480);

    HelpRequest::install(this, 0);
    formLoaded();
}

TfrmPriceChange::~TfrmPriceChange() = default;

bool TfrmPriceChange::labourPage() const
{
    return m_pages->currentWidget() == m_labourGrid;
}

TQVTable *TfrmPriceChange::pageTable() const
{
    return labourPage() ? m_dm->tblLabour : m_dm->tblMaterial;
}

TQVDBGrid *TfrmPriceChange::pageGrid() const
{
    return labourPage() ? m_labourGrid : m_materialGrid;
}

void TfrmPriceChange::btnNewClick()
{
    runGuarded(this, [this] {
        pageGrid()->setFocus();
        pageTable()->insert();
    });
}

void TfrmPriceChange::btnSaveClick()
{
    runGuarded(this, [this] { pageTable()->post(); });
}

void TfrmPriceChange::btnCancelClick()
{
    runGuarded(this, [this] { pageTable()->cancel(); });
}

void TfrmPriceChange::btnDeleteClick()
{
    runGuarded(this, [this] { deleteAsked(pageTable(), this); });
}

void TfrmPriceChange::btnCloseClick()
{
    const bool saved = runGuarded(this, [this] {
        m_dm->tblMaterial->post();
        m_dm->tblLabour->post();
    });
    if (saved)
        QDialog::reject();
}

// Escape and the close box close as "Close" does: a pending change is saved, not left behind.
void TfrmPriceChange::reject()
{
    btnCloseClick();
}

void TfrmPriceChange::grdDblClick()
{
    runGuarded(this, [this] {
        // Both windows show the data module's tables, so the entry is the same current record.
        TfrmMaterials materials(m_dm,
            labourPage() ? TfrmMaterials::Page::Labour : TfrmMaterials::Page::Materials, this);
        materials.exec();
    });
}

void TfrmPriceChange::btnImportClick()
{
    const QString path = chooseFile(this, false);
    if (!path.isEmpty())
        importFile(path);
}

void TfrmPriceChange::btnExportClick()
{
    const QString path = chooseFile(this, true);
    if (!path.isEmpty())
        exportFile(path);
}

void TfrmPriceChange::importFile(const QString &path)
{
    runGuarded(this, [&] {
        const QByteArray csv = PriceListExchange::readFile(path);
        // What is pending in the grids is saved first; a refusal stops here with its message.
        m_dm->tblMaterial->post();
        m_dm->tblLabour->post();
        const PriceListPlan plan = m_dm->planPriceListImport(csv);
        if (!confirmImport(this, plan) || !plan.acceptable())
            return;
        m_dm->importPriceList(plan);
        m_status->showMessage(u"Imported: "_s + plan.summary());
    });
}

void TfrmPriceChange::exportFile(const QString &path)
{
    runGuarded(this, [&] {
        m_dm->tblMaterial->post();
        m_dm->tblLabour->post();
        const QByteArray csv = m_dm->exportPriceList();
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(csv) != csv.size() || !file.commit())
            throw EQuorvane(u"Cannot write %1: %2"_s.arg(path, file.errorString()));
        m_status->showMessage(u"Exported the price list to "_s + path);
    });
}

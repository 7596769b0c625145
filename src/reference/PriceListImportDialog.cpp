#include "reference/PriceListImportDialog.h"

#include "data/PriceListExchange.h"
#include "reference/PriceListChangesModel.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// Every row the import adds or changes. Only the rows in view are measured for the column widths
// (QHeaderView's resizeContentsPrecision), so a file of any size shows at once.
QTableView *changesTable(QWidget *parent, const PriceListPlan &plan)
{
    auto *table = new QTableView(parent);
    table->setObjectName(u"grdImportChanges"_s);
    table->setModel(new PriceListChangesModel(plan, table));
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->horizontalHeader()->setStretchLastSection(true);
    table->resizeColumnsToContents();
    return table;
}

} // namespace

PriceListImportDialog::PriceListImportDialog(const PriceListPlan &plan, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(u"dlgImportPriceList"_s);
    setWindowTitle(u"Import Price List"_s);
    auto *summary = new QLabel(plan.summary(), this);
    summary->setObjectName(u"lblSummary"_s);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(summary);
    if (!plan.encodingNote.isEmpty()) {
        auto *encoding = new QLabel(plan.encodingNote, this);
        encoding->setObjectName(u"lblEncoding"_s);
        layout->addWidget(encoding);
    }
    if (!plan.newHeadings.isEmpty() || !plan.newUnits.isEmpty()) {
        QStringList added;
        if (!plan.newHeadings.isEmpty())
            added << u"New headings: "_s + plan.newHeadings.join(u", "_s);
        if (!plan.newUnits.isEmpty())
            added << u"New units: "_s + plan.newUnits.join(u", "_s);
        auto *names = new QLabel(added.join(u'\n'), this);
        names->setObjectName(u"lblNewNames"_s);
        names->setWordWrap(true);
        layout->addWidget(names);
    }
    layout->addWidget(changesTable(this, plan), 1);
    if (!plan.refusals.isEmpty()) {
        auto *heading = new QLabel(
            u"These rows are refused. Nothing is imported until the file is corrected:"_s, this);
        heading->setObjectName(u"lblRefused"_s);
        auto *refusals = new QPlainTextEdit(plan.refusalText(), this);
        refusals->setObjectName(u"memRefusals"_s);
        refusals->setReadOnly(true);
        layout->addWidget(heading);
        layout->addWidget(refusals, 1);
    }
    auto *buttons = new QDialogButtonBox(this);
    m_import = buttons->addButton(u"Import"_s, QDialogButtonBox::AcceptRole);
    m_import->setObjectName(u"btnImport"_s);
    m_import->setEnabled(plan.acceptable());
    buttons->addButton(QDialogButtonBox::Cancel)->setObjectName(u"btnCancel"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(720, 420);
}

bool PriceListImportDialog::confirm(QWidget *parent, const PriceListPlan &plan)
{
    PriceListImportDialog dialog(plan, parent);
    return dialog.exec() == QDialog::Accepted;
}

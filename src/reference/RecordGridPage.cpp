#include "RecordGridPage.h"

#include "controls/dataaware/TQVDBGridSrc.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "controls/window/CommandGuard.h"
#include "data/TQVTableSrc.h"
#include "reference/SetupWidgets.h"

#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using SetupWidgets::named;

RecordGridPage::RecordGridPage(TQVTable *table,
    const QString &name,
    const QList<GridColumn> &columns,
    QWidget *parent)
    : QWidget(parent)
    , m_source(named(new TQVDataSource(this), u"ds"_s + name))
    , m_grid(named(new TQVDBGrid(this), u"grd"_s + name))
{
    m_source->setDataSet(table);
    m_grid->setDataSource(m_source);
    m_grid->setColumns(columns);
    new GridEditKeys(m_grid);

    auto *bar = named(new QToolBar(this), u"tb"_s + name);
    const auto button = [&](const QString &buttonName, const QString &text, auto handler) {
        QToolButton *b = SetupWidgets::toolButton(bar, buttonName + name, text);
        connect(b, &QToolButton::clicked, this, handler);
    };
    button(u"btnNew"_s, u"New"_s, &RecordGridPage::btnNewClick);
    button(u"btnSave"_s, u"Save"_s, &RecordGridPage::btnSaveClick);
    bar->addSeparator();
    button(u"btnCancel"_s, u"Cancel"_s, &RecordGridPage::btnCancelClick);
    button(u"btnDelete"_s, u"Delete"_s, &RecordGridPage::btnDeleteClick);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar);
    layout->addWidget(m_grid, 1);
}

void RecordGridPage::btnNewClick()
{
    runGuarded(this, [this] {
        m_grid->setFocus();
        m_source->dataSet()->insert();
    });
}

void RecordGridPage::btnSaveClick()
{
    runGuarded(this, [this] {
        m_grid->setFocus(); // a cell being typed into stores its text first
        SetupWidgets::postIfEditing(m_source);
    });
}

void RecordGridPage::btnCancelClick()
{
    runGuarded(this, [this] { SetupWidgets::cancelIfEditing(m_source); });
}

void RecordGridPage::btnDeleteClick()
{
    runGuarded(this, [this] { SetupWidgets::deleteAsked(m_source, this); });
}

#include "LinesPage.h"

#include "app/DesignScale.h"
#include "controls/window/Glyphs.h"
#include "controls/window/Hints.h"

#include <QHBoxLayout>
#include <QToolBar>
#include <QToolButton>

using namespace Qt::StringLiterals;

LinesPage::Design LinesPage::materials()
{
    return { u"grdMaterials"_s,
        { { u"MaterialCode"_s, u"Code"_s, 62 }, { u"MaterialDesc"_s, u"Description"_s, 85 },
            { u"CurrentPrice"_s, u"Price"_s, 50 }, { u"Quantity"_s, {}, 46 },
            { u"TotalCharge"_s, u"Charge"_s, -11 } },
        u"Tessorin\\QuoteMaterials"_s, u"frmAddMaterials"_s, u"Add Material"_s,
        u"btnEditMaterials"_s, u"Edit Material"_s, u"btnDeleteMaterials"_s, u"Delete Material"_s };
}

LinesPage::Design LinesPage::labour()
{
    return { u"grdLabour"_s,
        { { u"Labour_Code"_s, u"Code"_s, -10 }, { u"Description"_s, {}, 109 },
            { u"Hours"_s, {}, 35 }, { u"Hourly_Rate"_s, u"Rate"_s, 44 },
            { u"TotalCharge"_s, u"Charge"_s, -11 } },
        u"Tessorin\\Labour"_s, u"btnLabourAdd"_s, u"Add Labour Item"_s, u"btnLabourEdit"_s,
        u"Edit Labour Item"_s, u"btnLabourDelete"_s, u"Delete Labour Item"_s };
}

LinesPage::LinesPage(const Design &design, TQVDataSource *lines, QWidget *parent)
    : QWidget(parent)
    , m_grid(new TQVDBGrid(this))
{
    m_grid->setObjectName(design.gridName);
    m_grid->setRowSelect(true);
    m_grid->setReadOnly(true);
    m_grid->setDataSource(lines);
    m_grid->setColumns(DesignScale::columns(m_grid, design.columns));
    m_grid->setRegistryKeyName(design.layoutKey);

    auto *tools = new QToolBar(this);
    tools->setOrientation(Qt::Vertical);
    tools->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    // Alt and the underlined letter press a button, where the desktop shows mnemonics or not;
    // its tip names the key.
    const auto button = [&](const QString &name, const QString &caption, const QString &hint,
                            Glyphs::Glyph glyph, Qt::Key letter) {
        auto *result = new QToolButton(tools);
        result->setObjectName(name);
        result->setText(caption);
        const QKeySequence key(Qt::ALT | letter);
        result->setShortcut(key);
        result->setIcon(Glyphs::icon(glyph));
        result->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        result->setAutoRaise(true);
        result->setFocusPolicy(Qt::TabFocus);
        Hints::setHint(result,
            hint + u" ("_s + key.toString(QKeySequence::NativeText) + u")"_s);
        tools->addWidget(result);
        return result;
    };
    m_add = button(design.addName, u"&Add"_s, design.addHint, Glyphs::Glyph::Add, Qt::Key_A);
    m_edit = button(design.editName, u"&Edit"_s, design.editHint, Glyphs::Glyph::Edit, Qt::Key_E);
    m_delete = button(
        design.deleteName, u"&Delete"_s, design.deleteHint, Glyphs::Glyph::Delete, Qt::Key_D);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(tools);
    layout->addWidget(m_grid, 1);
}

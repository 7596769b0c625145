// The per-user layout of TQVDBGrid: which field each column position shows and how wide it is,
// and the menu that hides and shows columns.
#include "TQVDBGridSrc.h"
#include "controls/dataaware/TableViewModel.h"
#include "controls/window/TQVRegistry.h"
#include "engine/Field.h"
#include "engine/TableView.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QSet>

namespace {

QString valueName(int position)
{
    return QStringLiteral("GridColumn") + QString::number(position);
}

// "Contact,120" into its field name and width; false for text that is not such a pair.
bool parseColumn(const QString &text, QString *fieldName, int *width)
{
    const qsizetype comma = text.indexOf(u',');
    if (comma <= 0)
        return false;
    bool ok = false;
    const int parsed = text.mid(comma + 1, 20).trimmed().toInt(&ok);
    if (!ok || parsed < 0)
        return false;
    *fieldName = text.left(comma);
    *width = parsed;
    return true;
}

int indexOfField(const QList<GridColumn> &columns, const QString &fieldName)
{
    for (int i = 0; i < columns.size(); ++i) {
        if (columns.at(i).fieldName.compare(fieldName, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace

bool TQVDBGrid::restoreLayout()
{
    TableView *view = m_model->view();
    if (m_registryKeyName.isEmpty() || !view)
        return false;
    QList<GridColumn> layout = columns();
    try {
        TQVRegistry registry;
        // A missing key reads as empty values: the designed layout stays.
        if (!registry.openKey(registryPath(m_registryKeyName), false))
            return true;
        QSet<QString> restored;
        for (int position = 0; position < layout.size(); ++position) {
            QString fieldName;
            int width = 0;
            try {
                if (!parseColumn(registry.readString(valueName(position)), &fieldName, &width))
                    continue;
            } catch (const ERegistryException &) {
                continue; // a value of another type counts as missing
            }
            const Field *field = view->findField(fieldName);
            // Another grid sharing the key saved fields this one lacks; one field shows only once.
            if (!field || restored.contains(field->fieldName().toLower()))
                continue;
            // The column's title goes with its field, so a moved column keeps its heading.
            const int designed = indexOfField(layout, field->fieldName());
            if (designed >= 0)
                layout.swapItemsAt(position, designed);
            else
                layout[position] = GridColumn { field->fieldName(), QString(), width, true };
            layout[position].width = width;
            layout[position].visible = width > 0;
            restored.insert(field->fieldName().toLower());
        }
    } catch (const Exception &) {
        // An unreadable store leaves the designed layout.
    }
    setColumns(layout);
    return true;
}

void TQVDBGrid::saveLayout() noexcept
{
    // A window may free its data link before its grid; the layout is saved all the same.
    if (!m_restored || m_registryKeyName.isEmpty() || !m_hasView)
        return;
    try {
        TQVRegistry registry;
        if (!registry.openKey(registryPath(m_registryKeyName), true))
            return;
        const QList<GridColumn> layout = columns();
        for (int position = 0; position < layout.size(); ++position) {
            const GridColumn &column = layout.at(position);
            registry.writeString(valueName(position),
                column.fieldName + u',' + QString::number(column.visible ? column.width : 0));
        }
    } catch (...) {
        // Losing a layout is not worth a message while a window closes.
    }
}

void TQVDBGrid::buildColumnMenu()
{
    QMenu *menu = m_contextMenu;
    if (!menu) {
        m_ownMenu = new QMenu(this);
        menu = m_ownMenu;
    }
    const QHeaderView *header = horizontalHeader();
    for (int position = 0; position < m_model->columnCount(); ++position) {
        const int logical = header->logicalIndex(position);
        QAction *item = menu->addAction(m_model->titleAt(logical));
        item->setCheckable(true);
        item->setChecked(!isColumnHidden(logical));
        // The action carries the check it had before the choice: checked hides, unchecked shows.
        connect(item, &QAction::triggered, this, [this, logical](bool nowChecked) {
            setColumnHidden(logical, !nowChecked);
            if (nowChecked)
                setColumnWidth(logical, ShownAgainWidth);
        });
    }
}

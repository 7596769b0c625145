#include "reference/ReferenceWidgets.h"

#include "controls/dataaware/FieldLineEdit.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "controls/window/Hints.h"
#include "controls/window/Messages.h"
#include "data/TQVTableSrc.h"

#include <QAction>
#include <QToolBar>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace ReferenceWidgets {

TQVDataSource *link(QObject *owner, const QString &name, TableView *view)
{
    auto *source = new TQVDataSource(owner);
    source->setObjectName(name);
    source->setDataSet(view);
    return source;
}

FieldLineEdit *boundEdit(
    QWidget *parent, TQVDataSource *source, const QString &name, const QString &field)
{
    auto *edit = new FieldLineEdit(parent);
    edit->setObjectName(name);
    edit->setDataSource(source);
    edit->setDataField(field);
    return edit;
}

TQVDBGrid *grid(QWidget *parent,
    const QString &name,
    TQVDataSource *source,
    const QList<GridColumn> &columns,
    bool rowSelect)
{
    auto *result = new TQVDBGrid(parent);
    result->setObjectName(name);
    result->setColumns(columns);
    result->setDataSource(source);
    result->setRowSelect(rowSelect);
    return result;
}

QToolBar *toolBar(QWidget *parent, const QString &name)
{
    auto *bar = new QToolBar(parent);
    bar->setObjectName(name);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    return bar;
}

QAction *command(QToolBar *bar,
    const QString &name,
    const QString &caption,
    QStyle::StandardPixmap glyph,
    const QString &hint)
{
    QAction *action = bar->addAction(bar->style()->standardIcon(glyph), caption);
    action->setObjectName(name);
    if (!hint.isEmpty())
        Hints::setHint(action, hint);
    if (QWidget *button = bar->widgetForAction(action))
        button->setObjectName(name);
    return action;
}

void deleteAsked(TQVTable *view, QWidget *parent)
{
    if (ConfirmYesNo(u"Delete this Record?"_s, parent))
        view->deleteRecord();
}

} // namespace ReferenceWidgets

#pragma once

#include "controls/dataaware/TQVDBGridSrc.h"
#include "reference/SetupWidgets.h"

#include <QString>
#include <QStyle>

class QAction;
class QObject;
class QToolBar;
class QWidget;
class TableView;
class TQVDataSource;
class FieldLineEdit;
class TQVTable;

// The pieces the reference windows are built from, and the table commands they share.
namespace ReferenceWidgets {

// The name under which a widget carries its help topic (the help window reads it).
using SetupWidgets::setHelpContext;

TQVDataSource *link(QObject *owner, const QString &name, TableView *view);
FieldLineEdit *boundEdit(
    QWidget *parent, TQVDataSource *source, const QString &name, const QString &field);
TQVDBGrid *grid(QWidget *parent,
    const QString &name,
    TQVDataSource *source,
    const QList<GridColumn> &columns,
    bool rowSelect);

// A flat tool bar of captioned buttons along the top of a dialog.
QToolBar *toolBar(QWidget *parent, const QString &name);
QAction *command(QToolBar *bar,
    const QString &name,
    const QString &caption,
    QStyle::StandardPixmap glyph,
    const QString &hint = {});

// Asks "Delete this Record?"; Yes deletes the view's current record.
void deleteAsked(TQVTable *view, QWidget *parent);

} // namespace ReferenceWidgets

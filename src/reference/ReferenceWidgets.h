#pragma once

#include "controls/dataaware/TQVDBGridSrc.h"
#include "reference/SetupWidgets.h"

#include <QString>
#include <QStyle>

#include <functional>

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
// What F1 in a reference window does with the widget that has the focus; the program sets it to
// show the help topic of that widget. Unset, F1 does nothing.
extern std::function<void(QWidget *focus)> helpHandler;
// F1 in window asks helpHandler for the focused widget's topic.
void installHelpKey(QWidget *window);

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

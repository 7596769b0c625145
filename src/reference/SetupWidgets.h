#pragma once

#include <QObject>
#include <QPixmap>
#include <QString>

#include <functional>

class QAbstractButton;
class QToolBar;
class QToolButton;
class QWidget;
class TQVDataSource;
class TQVDBGrid;

// Small pieces the setup, sales, options and finder windows share: names, hints, help contexts,
// the record commands of their tool bars and the keys of a grid that is edited in place.
namespace SetupWidgets {

template <typename T> T *named(T *object, const QString &name)
{
    object->setObjectName(name);
    return object;
}

// The help topic F1 shows for the widget and what lies inside it.
void setHelpContext(QWidget *widget, int context);
// A flat text button of a window's tool bar.
QToolButton *toolButton(QToolBar *bar, const QString &name, const QString &text);

// Posts the link's record when it is being edited or inserted; otherwise nothing.
void postIfEditing(TQVDataSource *source);
void cancelIfEditing(TQVDataSource *source);
// Asks "Delete this Record?" and deletes the current record on Yes.
void deleteAsked(TQVDataSource *source, QWidget *parent);

// The picture down the left side of the setup windows.
QPixmap sidePicture(const QSize &size);

} // namespace SetupWidgets

// The keys of a grid edited in place: Insert adds a record, Down on the last row appends one,
// typing into an empty grid starts its first one and Ctrl+Delete deletes the current one after
// asking.
class GridEditKeys : public QObject
{
    Q_OBJECT

public:
    explicit GridEditKeys(TQVDBGrid *grid);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TQVDBGrid *m_grid;
};

#include "SetupWidgets.h"

#include "controls/dataaware/TQVDBGridSrc.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "controls/window/CommandGuard.h"
#include "controls/window/Messages.h"
#include "engine/TableView.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QToolBar>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace SetupWidgets {

void setHelpContext(QWidget *widget, int context)
{
    if (auto *grid = qobject_cast<TQVDBGrid *>(widget))
        grid->setHelpContext(context);
    else
        widget->setProperty("helpContext", context);
}

QToolButton *toolButton(QToolBar *bar, const QString &name, const QString &text)
{
    auto *button = new QToolButton(bar);
    button->setObjectName(name);
    button->setText(text);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addWidget(button);
    return button;
}

void postIfEditing(TQVDataSource *source)
{
    if (source->isEditing())
        source->dataSet()->post();
}

void cancelIfEditing(TQVDataSource *source)
{
    if (source->isEditing())
        source->dataSet()->cancel();
}

void deleteAsked(TQVDataSource *source, QWidget *parent)
{
    if (!source->isActive())
        return;
    if (!ConfirmYesNo(u"Delete this Record?"_s, parent))
        return;
    TableView *view = source->dataSet();
    if (view->state() == DataSetState::Insert) {
        view->cancel(); // a record not stored yet goes by dropping it
        return;
    }
    if (!view->isEmpty())
        view->deleteRecord();
}

QPixmap sidePicture(const QSize &size)
{
    QPixmap picture(size);
    QPainter painter(&picture);
    QLinearGradient gradient(0, 0, 0, size.height());
    gradient.setColorAt(0, QColor(0x1f, 0x3b, 0x73));
    gradient.setColorAt(1, QColor(0x5b, 0x8d, 0xc9));
    painter.fillRect(picture.rect(), gradient);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(std::max(12, size.width() / 6));
    painter.setFont(font);
    painter.translate(size.width() / 2.0, size.height() - 12.0);
    painter.rotate(-90);
    painter.drawText(QRectF(0, -size.width() / 2.0, size.height(), size.width()),
        Qt::AlignLeft | Qt::AlignVCenter, u"Tessorin"_s);
    return picture;
}

} // namespace SetupWidgets

GridEditKeys::GridEditKeys(TQVDBGrid *grid)
    : QObject(grid)
    , m_grid(grid)
{
    grid->installEventFilter(this);
}

bool GridEditKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_grid || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    TQVDataSource *source = m_grid->dataSource();
    if (!source || !source->isActive())
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    TableView *view = source->dataSet();
    if (key->key() == Qt::Key_Insert && key->modifiers() == Qt::NoModifier) {
        runGuarded(m_grid, [view] { view->insert(); });
        return true;
    }
    if (key->key() == Qt::Key_Down && key->modifiers() == Qt::NoModifier) {
        bool consumed = false;
        runGuarded(m_grid, [&] {
            // Below the last line (or the one being added) comes a new one; the line being
            // typed is stored first, and stays when it cannot be.
            if (!view->isEmpty() && view->state() != DataSetState::Insert
                && view->recNo() < view->recordCount() - 1)
                return;
            consumed = true;
            if (view->isEditing())
                view->post();
            view->append();
        });
        return consumed;
    }
    // Typing into an empty list starts its first row with what was typed, as Down would.
    const bool typed = !key->text().isEmpty() && key->text().at(0).isPrint()
        && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (typed && view->isEmpty() && !view->isEditing() && !m_grid->isReadOnly()) {
        const bool added = runGuarded(m_grid, [view] { view->append(); });
        return !added; // the grid then opens the new row's cell with the key
    }
    if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::ControlModifier) {
        runGuarded(m_grid, [&] { SetupWidgets::deleteAsked(source, m_grid); });
        return true;
    }
    return false;
}

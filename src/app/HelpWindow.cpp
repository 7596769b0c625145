#include "HelpWindow.h"

#include "app/Version.h"
#include "controls/dataaware/TQVDBGridSrc.h"
#include "controls/dataaware/TQVDBRichEdit.h"

#include <QFile>
#include <QScreen>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

// The topics are compiled into a static library, so the linker keeps them only when asked to.
static void initHelpTopics()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(help);
        return true;
    }();
    Q_UNUSED(done);
}

HelpWindow::HelpWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_browser(new QTextBrowser(this))
{
    setObjectName(u"HelpWindow"_s);
    setWindowTitle(Version::ApplicationTitle + u" Help"_s);
    m_browser->setObjectName(u"helpBrowser"_s);
    m_browser->setOpenExternalLinks(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(560, 480);
    // Esc closes the help, as it does a dialog.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void HelpWindow::showTopic(int context)
{
    m_browser->setSource(topicUrl(context));
    if (!isVisible())
        fitOnScreen();
    show();
    raise();
    activateWindow();
}

void HelpWindow::fitOnScreen()
{
    // Beside or over the window that asked, never beyond the screen's edges.
    const QWidget *opener = parentWidget() ? parentWidget()->window() : nullptr;
    const QScreen *shown = opener ? opener->screen() : screen();
    if (!shown)
        return;
    // Room for a title bar and borders the window system adds around it.
    const QRect usable = shown->availableGeometry().marginsRemoved(QMargins(8, 32, 8, 8));
    QRect placed(QPoint(), size().boundedTo(usable.size()));
    placed.moveCenter(opener ? opener->frameGeometry().center() : usable.center());
    placed.moveLeft(std::clamp(placed.left(), usable.left(), usable.right() - placed.width() + 1));
    placed.moveTop(std::clamp(placed.top(), usable.top(), usable.bottom() - placed.height() + 1));
    setGeometry(placed);
}

QUrl HelpWindow::currentTopic() const
{
    return m_browser->source();
}

QUrl HelpWindow::topicUrl(int context)
{
    initHelpTopics();
    const QString topic = u":/help/topic%1.html"_s.arg(context);
    if (context > 0 && QFile::exists(topic))
        return QUrl(u"qrc"_s + topic);
    return QUrl(u"qrc:/help/index.html"_s);
}

int HelpWindow::contextOf(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        // The library's grids and notes editors keep a context of their own.
        if (const auto *grid = qobject_cast<const TQVDBGrid *>(w))
            return grid->helpContext();
        if (const auto *notes = qobject_cast<const TQVDBRichEdit *>(w))
            return notes->helpContext();
        const QVariant context = w->property(ContextProperty);
        if (context.isValid())
            return context.toInt();
        if (w->isWindow())
            break;
    }
    return 0;
}

void HelpWindow::setContext(QWidget *widget, int context)
{
    if (auto *grid = qobject_cast<TQVDBGrid *>(widget))
        grid->setHelpContext(context);
    else if (auto *notes = qobject_cast<TQVDBRichEdit *>(widget))
        notes->setHelpContext(context);
    else
        widget->setProperty(ContextProperty, context);
}

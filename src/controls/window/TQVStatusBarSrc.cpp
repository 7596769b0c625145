#include "TQVStatusBarSrc.h"

#include "controls/window/TQVFormSrc.h"

#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QStyleOption>
#include <QTime>
#include <QTimer>

using namespace Qt::StringLiterals;

TQVStatusBar::TQVStatusBar(QWidget *parent)
    : QStatusBar(parent)
    , m_timer(new QTimer(this))
{
    setSizeGripEnabled(false);
    for (int i = 0; i < PanelCount; ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(u"panel%1"_s.arg(i));
        label->setTextFormat(Qt::PlainText);
        m_panels[i] = label;
    }
    // The hint panel takes what the fixed panels leave, up to its computed width, and never asks
    // for more: a long hint must not widen the window.
    m_panels[HintPanel]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    addPermanentWidget(m_panels[HintPanel], 1);
    for (int i = CapsPanel; i < PanelCount; ++i)
        addPermanentWidget(m_panels[i]);
    m_panels[TimePanel]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    applyPanelWidths();

    connect(this, &QStatusBar::messageChanged, this, &TQVStatusBar::showHint);
    connect(m_timer, &QTimer::timeout, this, &TQVStatusBar::refreshPanels);
    m_timer->start(RefreshInterval);
    showHint(QString());
    refreshPanels();
}

QString TQVStatusBar::panelText(Panel panel) const
{
    return m_panels.at(panel)->text();
}

QString TQVStatusBar::longHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(u'|');
    return bar < 0 ? hint : hint.mid(bar + 1);
}

QList<int> TQVStatusBar::panelWidths(int barWidth)
{
    return { qMax(0, barWidth - 150), 40, 40, 60 };
}

void TQVStatusBar::setKeyboardLocks(const KeyboardLocks &locks)
{
    m_locks = locks;
    refreshPanels();
}

void TQVStatusBar::refreshPanels()
{
    // An unknown lock state shows as off: the panel stays empty.
    m_panels[CapsPanel]->setText(m_locks.capsLock().value_or(false) ? u"CAPS"_s : QString());
    m_panels[NumPanel]->setText(m_locks.numLock().value_or(false) ? u"NUM"_s : QString());
    m_panels[TimePanel]->setText(
        u' ' + QLocale().toString(QTime::currentTime(), QLocale::ShortFormat));
}

void TQVStatusBar::showHint(const QString &message)
{
    const QString hint = longHint(message);
    m_panels[HintPanel]->setText(hint.isEmpty() ? idleHint() : hint);
}

QString TQVStatusBar::idleHint() const
{
    if (const auto *form = dynamic_cast<const TQVForm *>(window()))
        return form->hint();
    return u"Ready."_s;
}

void TQVStatusBar::applyPanelWidths()
{
    const QWidget *owner = window();
    int barWidth = owner != this ? owner->width() : width();
    if (barWidth <= 0)
        barWidth = DefaultBarWidth;
    const QList<int> widths = panelWidths(barWidth);
    m_panels[HintPanel]->setMaximumWidth(widths.at(HintPanel));
    for (int i = CapsPanel; i < PanelCount; ++i)
        m_panels[i]->setFixedWidth(widths.at(i));
}

void TQVStatusBar::resizeEvent(QResizeEvent *event)
{
    applyPanelWidths();
    QStatusBar::resizeEvent(event);
}

void TQVStatusBar::showEvent(QShowEvent *event)
{
    showHint(currentMessage());
    QStatusBar::showEvent(event);
}

void TQVStatusBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_PanelStatusBar, &option, &painter, this);
    for (const QLabel *label : m_panels) {
        if (!label->isVisible())
            continue;
        option.rect = label->geometry().adjusted(-2, -1, 2, 1);
        style()->drawPrimitive(QStyle::PE_FrameStatusBarItem, &option, &painter, label);
    }
}

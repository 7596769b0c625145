#include "TQVPageControl.h"

#include "controls/window/SystemSound.h"

#include <QTabBar>

using namespace Qt::StringLiterals;

TQVPageControl::TQVPageControl(QWidget *parent)
    : QTabWidget(parent)
{
    tabBar()->setAttribute(Qt::WA_Hover);
    connect(this, &QTabWidget::currentChanged, this, &TQVPageControl::pageChanged);
}

int TQVPageControl::firstVisiblePage() const
{
    for (int i = 0; i < count(); ++i) {
        if (isTabVisible(i))
            return i;
    }
    return -1;
}

void TQVPageControl::loaded()
{
    m_loaded = true;
    const int first = firstVisiblePage();
    if (first < 0)
        return;
    // Opening on the first page is not a page change the user made: no sound.
    m_loading = true;
    setCurrentIndex(first);
    m_loading = false;
}

void TQVPageControl::showEvent(QShowEvent *event)
{
    if (!m_loaded)
        loaded();
    QTabWidget::showEvent(event);
}

void TQVPageControl::pageChanged()
{
    if (!m_loading)
        SystemSound::playEvent(u"MenuPopup"_s);
}

#include "DetailPane.h"

#include "reference/ClientPage.h"
#include "app/DetailsPage.h"
#include "controls/window/Glyphs.h"
#include "controls/window/Hints.h"
#include "app/LinesPage.h"
#include "app/SummaryPage.h"
#include "controls/window/TQVPageControl.h"

#include <QShortcut>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

DetailPane::DetailPane(const Links &links, QWidget *parent)
    : QWidget(parent)
    , m_pages(new TQVPageControl(this))
    , m_details(new DetailsPage(links.sales, m_pages))
    , m_client(new ClientPage(links.clients, m_pages))
    , m_materials(new LinesPage(LinesPage::materials(), links.materials, m_pages))
    , m_labour(new LinesPage(LinesPage::labour(), links.labour, m_pages))
    , m_summary(new SummaryPage(links.taxRates, m_pages))
    , m_strip(new SummaryStrip(links.jobs, this))
    , m_summaryToggle(new QToolButton(this))
{
    m_pages->setObjectName(u"pageDetails"_s);
    m_details->setObjectName(u"tsDetails"_s);
    m_client->setObjectName(u"tsClient"_s);
    m_materials->setObjectName(u"tsMaterials"_s);
    m_labour->setObjectName(u"tsLabour"_s);
    m_summary->setObjectName(u"tsSummary"_s);
    m_pages->addTab(m_details, u"Details"_s);
    m_pages->addTab(m_client, u"Client"_s);
    m_pages->addTab(m_materials, u"Materials"_s);
    m_pages->addTab(m_labour, u"Labour"_s);
    m_pages->addTab(m_summary, u"Summary"_s);
    // Alt+1 to Alt+5 open the pages, as their tips say, and put the focus on the page's first
    // control; Tab reaches the page tabs too, where the arrows change the page.
    m_pages->tabBar()->setFocusPolicy(Qt::TabFocus);
    for (int page = 0; page < m_pages->count(); ++page) {
        const QKeySequence key(Qt::ALT | Qt::Key(Qt::Key_1 + page));
        m_pages->setTabToolTip(page,
            m_pages->tabText(page) + u" ("_s + key.toString(QKeySequence::NativeText) + u")"_s);
        auto *shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, [this, page] {
            m_pages->setCurrentIndex(page);
            QWidget *shown = m_pages->currentWidget();
            for (QWidget *next = shown->nextInFocusChain(); next != shown;
                next = next->nextInFocusChain()) {
                if (shown->isAncestorOf(next) && (next->focusPolicy() & Qt::TabFocus)
                    && next->isVisibleTo(shown) && next->isEnabled()) {
                    next->setFocus(Qt::ShortcutFocusReason);
                    return;
                }
            }
        });
    }

    auto *tools = new QToolBar(this);
    tools->setObjectName(u"tbSummary"_s);
    tools->setIconSize(QSize(16, 16));
    m_summaryToggle->setObjectName(u"btnSummary"_s);
    m_summaryToggle->setCheckable(true);
    m_summaryToggle->setAutoRaise(true);
    m_summaryToggle->setIcon(Glyphs::icon(Glyphs::Glyph::Summary));
    Hints::setHint(m_summaryToggle, u"Display Sumary Information"_s);
    tools->addWidget(m_summaryToggle);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_pages, 1);
    layout->addWidget(m_strip);
    layout->addWidget(tools);
}

void DetailPane::bindHeader(TQVDataSource *header, bool job)
{
    m_details->bindHeader(header, job);
    m_summary->bindHeader(header, job);
    m_strip->bindHeader(header, job);
}

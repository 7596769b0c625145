#include "documents/PreviewPageView.h"

#include "report/ReportPainter.h"

#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace {

// The grey border around the paper, in pixels.
constexpr int border = 8;

} // namespace

// Paints the shown page at the view's scale on a grey desk.
class PreviewCanvas : public QWidget
{
public:
    explicit PreviewCanvas(QWidget *parent)
        : QWidget(parent)
    { }

    const ReportPage *page = nullptr;
    double scale = 1; // pixels per millimetre

    QSize paperPixels() const
    {
        const QSizeF paper = page ? page->paperSize : QSizeF(210, 297);
        return QSize(qRound(paper.width() * scale), qRound(paper.height() * scale));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Dark));
        if (!page)
            return;
        const QRect paper(QPoint(border, border), paperPixels());
        painter.fillRect(paper, Qt::white);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        ReportPainter::paint(painter, *page, QRectF(paper));
    }
};

PreviewPageView::PreviewPageView(QWidget *parent)
    : QScrollArea(parent)
    , m_canvas(new PreviewCanvas(this))
{
    setWidget(m_canvas);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    horizontalScrollBar()->setTracking(true);
    verticalScrollBar()->setTracking(true);
    applyZoom();
}

void PreviewPageView::setPages(const QList<ReportPage> &pages)
{
    const bool firstArrives = m_pages.isEmpty() && !pages.isEmpty();
    m_pages = pages;
    if (firstArrives) {
        m_current = 1;
        m_mode = ZoomMode::ToWidth;
    } else {
        m_current = std::clamp(m_current, pages.isEmpty() ? 0 : 1, int(pages.size()));
    }
    applyZoom();
}

void PreviewPageView::showPage(int page)
{
    if (page < 1 || page > pageCount())
        return;
    m_current = page;
    applyZoom();
    verticalScrollBar()->setValue(0);
}

void PreviewPageView::setZoomPercent(int percent)
{
    m_mode = ZoomMode::Percent;
    m_percent = std::max(1, percent);
    applyZoom();
}

void PreviewPageView::zoomToWidth()
{
    m_mode = ZoomMode::ToWidth;
    applyZoom();
}

void PreviewPageView::zoomFullPage()
{
    m_mode = ZoomMode::FullPage;
    applyZoom();
}

double PreviewPageView::pixelsPerMillimetre() const
{
    return m_canvas->scale;
}

void PreviewPageView::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    if (m_mode != ZoomMode::Percent)
        applyZoom();
}

void PreviewPageView::applyZoom()
{
    m_canvas->page = m_current > 0 ? &m_pages.at(m_current - 1) : nullptr;
    const QSizeF paper = m_canvas->page ? m_canvas->page->paperSize : QSizeF(210, 297);
    // Sized from the room without scroll bars, so that fitting never flips them on and off.
    const QSize room = maximumViewportSize() - QSize(2 * border, 2 * border);
    const int scrollBar = verticalScrollBar()->sizeHint().width();
    const double toWidth = std::max(1, room.width() - scrollBar) / paper.width();
    switch (m_mode) {
    case ZoomMode::Percent:
        m_canvas->scale = logicalDpiX() / 25.4 * m_percent / 100.0;
        break;
    case ZoomMode::ToWidth:
        m_canvas->scale = toWidth;
        break;
    case ZoomMode::FullPage:
        m_canvas->scale = std::min(
            std::max(1, room.width()) / paper.width(), std::max(1, room.height()) / paper.height());
        break;
    }
    m_canvas->resize(m_canvas->paperPixels() + QSize(2 * border, 2 * border));
    m_canvas->update();
}

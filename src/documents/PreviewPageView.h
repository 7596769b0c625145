#pragma once

#include "report/ReportPage.h"

#include <QScrollArea>

class PreviewCanvas;

// The preview's page view: one rendered page at a time, zoomed by a percentage or fitted to the
// view's width or to the whole view, scrolling as the scroll bars move.
class PreviewPageView : public QScrollArea
{
    Q_OBJECT

public:
    enum class ZoomMode
    {
        Percent,
        ToWidth,
        FullPage
    };

    explicit PreviewPageView(QWidget *parent = nullptr);

    // The pages rendered so far; the first page to arrive is fitted to the width.
    void setPages(const QList<ReportPage> &pages);
    const QList<ReportPage> &pages() const { return m_pages; }
    int pageCount() const { return int(m_pages.size()); }

    // The page shown, from 1; 0 while there is none.
    int currentPage() const { return m_current; }
    // Shows page; a page below 1 or beyond the last rendered one is ignored.
    void showPage(int page);

    void setZoomPercent(int percent);
    void zoomToWidth();
    void zoomFullPage();
    ZoomMode zoomMode() const { return m_mode; }
    // Screen pixels per millimetre of paper at the present zoom.
    double pixelsPerMillimetre() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void applyZoom();

    PreviewCanvas *m_canvas;
    QList<ReportPage> m_pages;
    int m_current = 0;
    ZoomMode m_mode = ZoomMode::ToWidth;
    int m_percent = 100;
};

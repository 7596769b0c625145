#pragma once

#include <QWidget>

class ClientPage;
class DetailsPage;
class LinesPage;
class QToolButton;
class SummaryPage;
class SummaryStrip;
class TQVDataSource;
class TQVPageControl;

// The right pane of the main window: the detail pages of the current quote or job over the
// summary strip and its toggle.
class DetailPane : public QWidget
{
    Q_OBJECT

public:
    struct Links
    {
        TQVDataSource *jobs;
        TQVDataSource *materials;
        TQVDataSource *labour;
        TQVDataSource *clients;
        TQVDataSource *taxRates;
        TQVDataSource *sales;
    };

    static constexpr int SummaryStripHeight = 60;

    DetailPane(const Links &links, QWidget *parent = nullptr);

    // Binds every detail control to the quote or the job header (BindHeaderControls).
    void bindHeader(TQVDataSource *header, bool job);

    TQVPageControl *pages() const { return m_pages; }
    DetailsPage *detailsPage() const { return m_details; }
    ClientPage *clientPage() const { return m_client; }
    LinesPage *materialsPage() const { return m_materials; }
    LinesPage *labourPage() const { return m_labour; }
    SummaryPage *summaryPage() const { return m_summary; }
    SummaryStrip *summaryStrip() const { return m_strip; }
    QToolButton *summaryToggle() const { return m_summaryToggle; }

private:
    TQVPageControl *m_pages;
    DetailsPage *m_details;
    ClientPage *m_client;
    LinesPage *m_materials;
    LinesPage *m_labour;
    SummaryPage *m_summary;
    SummaryStrip *m_strip;
    QToolButton *m_summaryToggle;
};

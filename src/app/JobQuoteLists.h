#pragma once

#include <QWidget>

class IncrementalSearchBox;
class QFrame;
class TDM;
class TQVDataSource;
class TQVDBGrid;
class TQVPageControl;
struct FieldCell;
struct GridColumn;

// The left pane of the main window: the quick-search panel over the page control that lists
// either the quotes or the jobs, with each row coloured by its status.
class JobQuoteLists : public QWidget
{
    Q_OBJECT

public:
    enum Page
    {
        QuotesPage,
        JobsPage
    };

    static constexpr int QuotesHelpContext = 14;
    static constexpr int JobsHelpContext = 19;
    static constexpr int JobSearchHelpContext = 20;
    static constexpr int SearchPanelHeight = 40;
    static constexpr int SearchDropDownWidth = 241;
    static constexpr int SearchDropDownRows = 12;

    JobQuoteLists(TDM *dm, TQVDataSource *quotes, TQVDataSource *jobs, QWidget *parent = nullptr);

    TQVPageControl *pages() const { return m_pages; }
    TQVDBGrid *quotesGrid() const { return m_quotesGrid; }
    TQVDBGrid *jobsGrid() const { return m_jobsGrid; }
    QFrame *searchPanel() const { return m_searchPanel; }
    IncrementalSearchBox *quoteSearch() const { return m_quoteSearch; }
    IncrementalSearchBox *jobSearch() const { return m_jobSearch; }

    // Shows the search box of the given list and hides the other.
    void showSearchFor(Page page);

    // The font colour of a row with this status: blue in progress, purple on hold, black completed,
    // red pending; invalid for anything else, which keeps the column's colour.
    static QColor statusColour(const QString &status);
    // Both lists colour their rows by the same rule, each from its own view's Status.
    static void grdQuotesDrawFieldCellEvent(TQVDBGrid &grid, FieldCell &cell);
    static void grdJobsDrawFieldCellEvent(TQVDBGrid &grid, FieldCell &cell);

private:
    TQVDBGrid *makeGrid(QWidget *page, const QString &name, TQVDataSource *source);
    // The date and total columns widened, where the font needs it, to show their values whole.
    static QList<GridColumn> wholeDatesAndTotals(const QWidget *grid, QList<GridColumn> columns);

    QFrame *m_searchPanel;
    IncrementalSearchBox *m_quoteSearch;
    IncrementalSearchBox *m_jobSearch;
    TQVPageControl *m_pages;
    TQVDBGrid *m_quotesGrid;
    TQVDBGrid *m_jobsGrid;
};

#pragma once

#include <QTabWidget>

// The page control of every window: it opens on its first visible page whatever page its layout
// left current, its tabs highlight under the mouse, and each page change plays the user's
// "MenuPopup" sound when one is set.
class TQVPageControl : public QTabWidget
{
    Q_OBJECT

public:
    explicit TQVPageControl(QWidget *parent = nullptr);

    // The window's definition is applied: show the first visible page. TQVForm::formLoaded() calls
    // this; a page control outside such a window does it when it is first shown.
    void loaded();

    // The index of the first page whose tab is visible, or -1.
    int firstVisiblePage() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void pageChanged();

    bool m_loaded = false;
    bool m_loading = false;
};

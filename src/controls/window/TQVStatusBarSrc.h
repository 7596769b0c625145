#pragma once

#include "controls/window/KeyboardLocks.h"

#include <QList>
#include <QStatusBar>

#include <array>

class QLabel;
class QTimer;

// The main window's status bar with its four panels: the long part of the current hint, "CAPS",
// "NUM" and the time. Lock lights and time are refreshed every two seconds; the hint panel follows
// every status message, showing the window's default text ("Ready.") while there is none.
class TQVStatusBar : public QStatusBar
{
    Q_OBJECT

public:
    enum Panel
    {
        HintPanel,
        CapsPanel,
        NumPanel,
        TimePanel,
        PanelCount
    };

    static constexpr int RefreshInterval = 2000;
    // The width assumed when the window's width cannot be read.
    static constexpr int DefaultBarWidth = 640;

    explicit TQVStatusBar(QWidget *parent = nullptr);

    QString panelText(Panel panel) const;
    QLabel *panel(Panel panel) const { return m_panels.at(panel); }

    // The part of a hint after "|", or the whole hint when it has none.
    static QString longHint(const QString &hint);
    // Hint panel: the bar's width less 150 pixels (never negative); then 40, 40 and 60.
    static QList<int> panelWidths(int barWidth);

    // Where the lock state comes from; the panels are refreshed at once.
    void setKeyboardLocks(const KeyboardLocks &locks);
    // What the timer does: the lock panels and the time.
    void refreshPanels();

protected:
    void resizeEvent(QResizeEvent *event) override;
    // The window's default text may have been set after the bar was made.
    void showEvent(QShowEvent *event) override;
    // Messages are shown in the hint panel, so the base class must not paint them over the panels.
    void paintEvent(QPaintEvent *event) override;

private:
    void showHint(const QString &message);
    QString idleHint() const;
    void applyPanelWidths();

    std::array<QLabel *, PanelCount> m_panels {};
    KeyboardLocks m_locks;
    QTimer *m_timer;
};

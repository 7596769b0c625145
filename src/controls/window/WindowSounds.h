#pragma once

#include <QObject>

class QWidget;

// Plays the scheme's "Minimize" sound when its window is minimised and "RestoreUp" when it comes
// back from the minimised state.
class WindowSounds : public QObject
{
    Q_OBJECT

public:
    explicit WindowSounds(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
};

#pragma once

#include "controls/window/HelpRequest.h"

#include <QWidget>

class QTextBrowser;

// The program's help: HTML topics shipped with the program, one per help context number, shown in
// one window that F1 brings up on the topic of the region that has the focus.
class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    // The name under which a widget carries its help context when it has no property of its own.
    static constexpr const char *ContextProperty = HelpRequest::ContextProperty;

    explicit HelpWindow(QWidget *parent = nullptr);

    // Shows the topic of a context number; a number without a topic shows the contents.
    void showTopic(int context);
    QUrl currentTopic() const;

    // The topic file of a context number, or the contents page when there is none.
    static QUrl topicUrl(int context);
    // The context of the nearest widget, from this one outwards, that names one; 0 for none.
    static int contextOf(const QWidget *widget);
    static void setContext(QWidget *widget, int context);

private:
    // Sized and placed to lie wholly on the screen of the window that asked.
    void fitOnScreen();

    QTextBrowser *m_browser;
};

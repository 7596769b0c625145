#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>

// The answers that message boxes give without being shown, and a record of the boxes asked for,
// so that tests drive commands that ask or warn without ever waiting on a modal box.
class MessageAnswers
{
public:
    struct Shown
    {
        QMessageBox::Icon icon;
        QString title;
        QString text;
        QString details; // the technical output under "Show Details..."
    };

    // The next box is answered with this button instead of being shown; answers queue up.
    static void setNextAnswer(QMessageBox::StandardButton answer);
    // Every box without a queued answer is answered with this; NoButton shows boxes again.
    static void setDefaultAnswer(QMessageBox::StandardButton answer);
    // Forgets the queued answers, the default answer and the record.
    static void clear();

    // The most recent boxes, oldest first (only the last few are kept).
    static QList<Shown> shown();
    static QString lastText();
    static int pendingAnswers();

    // For the message helpers: records the box and takes its answer, if one is waiting.
    static bool takeAnswer(const Shown &box, QMessageBox::StandardButton *answer);
};

#include "MessageAnswers.h"

#include <QQueue>

namespace {

constexpr qsizetype RecordLimit = 50;

struct AnswerState
{
    QQueue<QMessageBox::StandardButton> queued;
    QMessageBox::StandardButton fallback = QMessageBox::NoButton;
    QList<MessageAnswers::Shown> record;
};

AnswerState &state()
{
    static AnswerState answers;
    return answers;
}

} // namespace

void MessageAnswers::setNextAnswer(QMessageBox::StandardButton answer)
{
    state().queued.enqueue(answer);
}

void MessageAnswers::setDefaultAnswer(QMessageBox::StandardButton answer)
{
    state().fallback = answer;
}

void MessageAnswers::clear()
{
    state() = AnswerState();
}

QList<MessageAnswers::Shown> MessageAnswers::shown()
{
    return state().record;
}

QString MessageAnswers::lastText()
{
    return state().record.isEmpty() ? QString() : state().record.constLast().text;
}

int MessageAnswers::pendingAnswers()
{
    return int(state().queued.size());
}

bool MessageAnswers::takeAnswer(const Shown &box, QMessageBox::StandardButton *answer)
{
    AnswerState &answers = state();
    answers.record.append(box);
    if (answers.record.size() > RecordLimit)
        answers.record.removeFirst();
    if (!answers.queued.isEmpty()) {
        *answer = answers.queued.dequeue();
        return true;
    }
    if (answers.fallback != QMessageBox::NoButton) {
        *answer = answers.fallback;
        return true;
    }
    return false;
}

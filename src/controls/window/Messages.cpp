#include "Messages.h"

#include "controls/window/MessageAnswers.h"
#include "controls/window/OverrideCursor.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QString &titleOfApplication()
{
    static QString title;
    return title;
}

QMessageBox::StandardButton showBox(QWidget *parent,
    QMessageBox::Icon icon,
    const QString &text,
    QMessageBox::StandardButtons buttons,
    QMessageBox::StandardButton defaultButton,
    const QString &details = {})
{
    QApplication::beep();
    const QString title = applicationTitle();
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
    if (MessageAnswers::takeAnswer({ icon, title, text, details }, &answer))
        return answer;

    if (!parent)
        parent = QApplication::activeModalWidget() ? QApplication::activeModalWidget()
                                                   : QApplication::activeWindow();
    // A command may have shown the hourglass; the user must see that the box waits for them.
    const OverrideCursor arrow(Qt::ArrowCursor);
    QMessageBox box(icon, title, text, buttons, parent);
    // Error texts can carry user data; never let them be taken for markup.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(defaultButton);
    if (!details.isEmpty())
        box.setDetailedText(details);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

void setApplicationTitle(const QString &title)
{
    titleOfApplication() = title;
}

QString applicationTitle()
{
    const QString &title = titleOfApplication();
    return title.isEmpty() ? QGuiApplication::applicationDisplayName() : title;
}

void ShowWarningMessage(const QString &text, QWidget *parent)
{
    showBox(parent, QMessageBox::Warning, text, QMessageBox::Ok, QMessageBox::Ok);
}

void ShowInfoMessage(const QString &text, QWidget *parent)
{
    showBox(parent, QMessageBox::Information, text, QMessageBox::Ok, QMessageBox::Ok);
}

void ShowInfoMessage(const QString &text, const QString &details, QWidget *parent)
{
    showBox(parent, QMessageBox::Information, text, QMessageBox::Ok, QMessageBox::Ok, details);
}

bool ConfirmYesNo(const QString &text, QWidget *parent)
{
    return showBox(parent, QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No,
               QMessageBox::Yes)
        == QMessageBox::Yes;
}

UnsavedAnswer AskSaveDiscardStay(const QString &text, QWidget *parent)
{
    switch (showBox(parent, QMessageBox::Question, text,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes)) {
    case QMessageBox::Yes:
        return UnsavedAnswer::Save;
    case QMessageBox::No:
        return UnsavedAnswer::Discard;
    default:
        return UnsavedAnswer::Stay;
    }
}

void ShowErrorBox(const QString &text, QWidget *parent)
{
    showBox(parent, QMessageBox::Critical, text, QMessageBox::Ok, QMessageBox::Ok);
}

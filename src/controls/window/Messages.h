#pragma once

#include <QString>

class QWidget;

// Every message box of the program goes through these helpers: each sounds the beep, then shows
// its box modally with the application title, plain text and the normal arrow cursor. A test
// answers them in advance through MessageAnswers. Without a parent the active window owns the box.

// A warning box with one OK button.
void ShowWarningMessage(const QString &text, QWidget *parent = nullptr);
// An information box with one OK button.
void ShowInfoMessage(const QString &text, QWidget *parent = nullptr);
// The same with technical output that the box keeps under its details, out of the text.
void ShowInfoMessage(const QString &text, const QString &details, QWidget *parent = nullptr);
// A confirmation box with Yes and No; true for Yes.
bool ConfirmYesNo(const QString &text, QWidget *parent = nullptr);
// What to do with unsaved changes: Yes saves, No gives them up, Cancel stays (Esc too).
enum class UnsavedAnswer
{
    Save,
    Discard,
    Stay
};
UnsavedAnswer AskSaveDiscardStay(const QString &text, QWidget *parent = nullptr);
// The application's standard error box: an error icon, the error's text and one OK button.
void ShowErrorBox(const QString &text, QWidget *parent = nullptr);

// The title every box carries: the application's title, as set at start (until then the
// application's display name).
void setApplicationTitle(const QString &title);
QString applicationTitle();

#pragma once

#include "controls/dataaware/TypedFieldControl.h"

#include <QDate>
#include <QTextEdit>

#include <functional>

class Field;
class QTextCharFormat;
class QTextDocument;

// The notes and footer editor: a rich-text edit bound to a memo field that stores HTML once the
// text carries formatting and keeps plain text plain, with the keyboard commands for bold (Ctrl+B),
// underline (Ctrl+U), font (Ctrl+F), today's date (Ctrl+D) and printing (Ctrl+Shift+P).
class TQVDBRichEdit : public QTextEdit, public TypedFieldControl
{
    Q_OBJECT

public:
    // Prints a document under a job title; the default prints on the current printer.
    using PrintHandler = std::function<void(QTextDocument &document, const QString &jobTitle)>;

    explicit TQVDBRichEdit(QWidget *parent = nullptr);

    int helpContext() const { return m_helpContext; }
    void setHelpContext(int topic) { m_helpContext = topic; }

    // Asks for a font and a text colour, starting from the given ones; false when cancelled.
    using FontChooser = std::function<bool(QFont &font, QColor &colour, QWidget *parent)>;

    // Tests and special printers replace these.
    PrintHandler printHandler;
    FontChooser fontChooser;
    std::function<QDate()> today = [] { return QDate::currentDate(); };

    // Whether the text is kept as HTML.
    bool isRichText() const { return m_rich; }
    // What the field receives for the text as it is now.
    QString storedText() const;
    void toggleBold();
    void toggleUnderline();
    void chooseFont();
    void insertDate();
    void printText();

    static void printOnCurrentPrinter(
        QTextDocument &document, const QString &jobTitle, QWidget *parent);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    bool prepareFormatChange();
    void applyFormat(const QTextCharFormat &format);
    void userEdited();
    QString pendingText() override;
    void showField() override;

    int m_helpContext = 1003;
    bool m_loading = false;
    bool m_rich = false;
    QString m_loadedText;
};

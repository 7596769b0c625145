#include "TQVDBRichEdit.h"

#include "controls/dataaware/FieldDataLink.h"
#include "controls/dataaware/FontColourDialog.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "controls/window/Messages.h"
#include "engine/Field.h"

#include <QKeyEvent>
#include <QLocale>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextCursor>

TQVDBRichEdit::TQVDBRichEdit(QWidget *parent)
    : QTextEdit(parent)
    , TypedFieldControl(new FieldDataLink(this))
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(m_link, &FieldDataLink::changed, this, [this](Field *f) { linkChanged(f); });
    connect(m_link, &FieldDataLink::updateRecord, this, [this] { applyChanges(); });
    connect(this, &QTextEdit::textChanged, this, &TQVDBRichEdit::userEdited);
    showField();
}

QString TQVDBRichEdit::storedText() const
{
    const QString plain = toPlainText();
    // Plain text that would read back as markup is kept as HTML so that it reads back as typed.
    if (!m_rich && !Qt::mightBeRichText(plain))
        return plain;
    return toHtml();
}

QString TQVDBRichEdit::pendingText()
{
    return storedText();
}

bool TQVDBRichEdit::prepareFormatChange()
{
    return !isReadOnly() && m_link->edit();
}

void TQVDBRichEdit::applyFormat(const QTextCharFormat &format)
{
    // With nothing selected the format applies to what is typed next.
    mergeCurrentCharFormat(format);
    m_rich = true;
    m_modified = true;
}

void TQVDBRichEdit::toggleBold()
{
    if (!prepareFormatChange())
        return;
    const int weight =
        textCursor().hasSelection() ? textCursor().charFormat().fontWeight() : fontWeight();
    QTextCharFormat format;
    format.setFontWeight(weight > QFont::Normal ? QFont::Normal : QFont::Bold);
    applyFormat(format);
}

void TQVDBRichEdit::toggleUnderline()
{
    if (!prepareFormatChange())
        return;
    QTextCharFormat format;
    format.setFontUnderline(!(
        textCursor().hasSelection() ? textCursor().charFormat().fontUnderline() : fontUnderline()));
    applyFormat(format);
}

void TQVDBRichEdit::chooseFont()
{
    if (!prepareFormatChange())
        return;
    QFont font = currentFont();
    QColor colour = textColor();
    const bool chosen = fontChooser ? fontChooser(font, colour, this)
                                    : FontColourDialog::getFontAndColour(&font, &colour, this);
    if (!chosen)
        return;
    QTextCharFormat format;
    format.setFont(font);
    format.setForeground(colour);
    applyFormat(format);
}

void TQVDBRichEdit::insertDate()
{
    if (isReadOnly() || !m_link->edit())
        return;
    insertPlainText(QLocale().toString(today(), QStringLiteral("dd-MMM-yyyy ")));
}

void TQVDBRichEdit::printText()
{
    if (!ConfirmYesNo(tr("Print This Notepad To The Current Printer?"), this))
        return;
    if (printHandler)
        printHandler(*document(), applicationTitle());
    else
        printOnCurrentPrinter(*document(), applicationTitle(), this);
}

void TQVDBRichEdit::printOnCurrentPrinter(
    QTextDocument &document, const QString &jobTitle, QWidget *parent)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(jobTitle);
    // Without any printer the user picks a destination (a file) rather than printing nowhere.
    if (QPrinterInfo::defaultPrinter().isNull()) {
        QPrintDialog dialog(&printer, parent);
        if (dialog.exec() != QDialog::Accepted)
            return;
    }
    document.print(&printer);
}

void TQVDBRichEdit::keyPressEvent(QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    if (modifiers == Qt::ControlModifier) {
        switch (event->key()) {
        case Qt::Key_B:
            toggleBold();
            return;
        case Qt::Key_U:
            toggleUnderline();
            return;
        case Qt::Key_F:
            chooseFont();
            return;
        case Qt::Key_D:
            insertDate();
            return;
        default:
            break;
        }
    } else if (modifiers == (Qt::ControlModifier | Qt::ShiftModifier)
        && event->key() == Qt::Key_P) {
        printText();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void TQVDBRichEdit::focusOutEvent(QFocusEvent *event)
{
    applyChanges();
    QTextEdit::focusOutEvent(event);
}

void TQVDBRichEdit::insertFromMimeData(const QMimeData *source)
{
    if (source && source->hasHtml() && acceptRichText())
        m_rich = true;
    QTextEdit::insertFromMimeData(source);
}

void TQVDBRichEdit::userEdited()
{
    if (m_loading || startChange())
        return;
    // The record cannot take the change: the document is loaded again, as for any changed text.
    m_modified = true;
    showField();
}

void TQVDBRichEdit::showField()
{
    const Field *f = m_link->field();
    const QString text = f ? f->asString() : QString();
    const bool wasModified = m_modified;
    m_modified = false;
    setReadOnly(!m_link->canModify());
    // Reloading the same text would lose the caret and the scroll position.
    if (!wasModified && text == m_loadedText)
        return;
    m_loadedText = text;
    m_loading = true;
    m_rich = Qt::mightBeRichText(text);
    if (m_rich)
        setHtml(text);
    else
        setPlainText(text);
    m_loading = false;
}

#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>

class QFontDialog;
class QPushButton;

// The font dialog of the rich-text editors: name, size and style as the platform's font dialog
// offers them, and a text colour beside them.
class FontColourDialog : public QDialog
{
    Q_OBJECT

public:
    FontColourDialog(const QFont &font, const QColor &colour, QWidget *parent = nullptr);

    QFont selectedFont() const;
    QColor selectedColour() const { return m_colour; }
    void setSelectedColour(const QColor &colour);

    // The font with the name of its family's style that has its weight and slant.
    static QFont withMatchingStyle(const QFont &font);

    // Asks for a font and a colour; false when the user cancels.
    static bool getFontAndColour(QFont *font, QColor *colour, QWidget *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void chooseColour();

    QFontDialog *m_fonts;
    QPushButton *m_colourButton;
    QColor m_colour;
};

#include "FontColourDialog.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// How well a style name suits a plain font of its weight and slant: lower is better.
int styleRank(const QString &style, const QString &plainName)
{
    if (style.compare(plainName, Qt::CaseInsensitive) == 0)
        return 0;
    static const QStringList regular { u"Regular"_s, u"Book"_s, u"Roman"_s, u"Plain"_s };
    if (regular.contains(style, Qt::CaseInsensitive))
        return 1;
    static const QStringList widths { u"Condensed"_s, u"Expanded"_s, u"Narrow"_s, u"Wide"_s };
    for (const QString &width : widths) {
        if (style.contains(width, Qt::CaseInsensitive))
            return 3;
    }
    return 2;
}

} // namespace

QFont FontColourDialog::withMatchingStyle(const QFont &font)
{
    // A font without a style name would open the chooser on the family's first style, which is
    // often an oblique one; name the style that has the font's weight and slant instead.
    if (!font.styleName().isEmpty())
        return font;
    const QString plainName = QFontDatabase::styleString(font);
    QString best;
    int bestRank = 4;
    const QStringList styles = QFontDatabase::styles(font.family());
    for (const QString &style : styles) {
        const QFont candidate = QFontDatabase::font(font.family(), style, 12);
        if (candidate.weight() != font.weight() || candidate.italic() != font.italic())
            continue;
        const int rank = styleRank(style, plainName);
        if (rank < bestRank) {
            best = style;
            bestRank = rank;
        }
    }
    QFont result = font;
    if (!best.isEmpty())
        result.setStyleName(best);
    return result;
}

FontColourDialog::FontColourDialog(const QFont &font, const QColor &colour, QWidget *parent)
    : QDialog(parent)
    , m_fonts(new QFontDialog(withMatchingStyle(font), this))
    , m_colourButton(new QPushButton(tr("&Colour..."), this))
{
    setObjectName(u"FontColourDialog"_s);
    setWindowTitle(tr("Font"));
    // The platform's font chooser without its own buttons, shown inside this dialog.
    m_fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    m_fonts->setWindowFlags(Qt::Widget);
    // As a dialog of its own it would take Enter and Escape for itself (Escape would hide it and
    // leave this dialog empty); they answer this dialog instead.
    m_fonts->installEventFilter(this);
    m_colourButton->setObjectName(u"btnColour"_s);
    connect(m_colourButton, &QPushButton::clicked, this, &FontColourDialog::chooseColour);
    setSelectedColour(colour.isValid() ? colour : palette().color(QPalette::Text));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *colourRow = new QHBoxLayout;
    colourRow->addWidget(new QLabel(tr("Colour:"), this));
    colourRow->addWidget(m_colourButton);
    colourRow->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_fonts, 1);
    layout->addLayout(colourRow);
    layout->addWidget(buttons);
}

bool FontColourDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_fonts && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Cancel)) {
            reject();
            return true;
        }
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QFont FontColourDialog::selectedFont() const
{
    return m_fonts->currentFont();
}

void FontColourDialog::setSelectedColour(const QColor &colour)
{
    m_colour = colour;
    QPixmap swatch(16, 16);
    swatch.fill(colour);
    m_colourButton->setIcon(swatch);
}

void FontColourDialog::chooseColour()
{
    const QColor chosen = QColorDialog::getColor(m_colour, this, tr("Colour"));
    if (chosen.isValid())
        setSelectedColour(chosen);
}

bool FontColourDialog::getFontAndColour(QFont *font, QColor *colour, QWidget *parent)
{
    FontColourDialog dialog(*font, *colour, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *font = dialog.selectedFont();
    *colour = dialog.selectedColour();
    return true;
}

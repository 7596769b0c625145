#include "FormSplash.h"

#include "controls/window/Glyphs.h"
#include "app/Version.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QLabel *versionLabel(QWidget *parent,
    const QString &objectName,
    const QString &text,
    const QString &family,
    int pixelSize,
    const QColor &colour)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

TfrmSplash::TfrmSplash(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(u"SplashForm"_s);
    setFixedSize(DesignSize);
    m_name = versionLabel(this, u"lblInternalName"_s, Version::labelText({}, u"InternalName"_s),
        u"Verdana"_s, 48, Qt::yellow);
    m_version = versionLabel(this, u"lblVersion"_s,
        Version::labelText(u"Version:"_s, u"ProductVersion"_s), u"Times New Roman"_s, 16, Qt::red);
    auto *layout = new QVBoxLayout(this);
    layout->addStretch(2);
    layout->addWidget(m_name);
    layout->addWidget(m_version);
    layout->addStretch(3);
}

void TfrmSplash::showNow()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->geometry().center());
        move(frame.topLeft());
    }
    show();
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TfrmSplash::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(rect(), Glyphs::brandPicture(size()));
}

#include "FormAbout.h"

#include "controls/window/Glyphs.h"
#include "app/Version.h"
#include "controls/window/CommandGuard.h"
#include "controls/window/SystemSound.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QLabel *label(QWidget *parent, const QString &objectName, const QString &text)
{
    auto *result = new QLabel(text, parent);
    result->setObjectName(objectName);
    result->setTextFormat(Qt::PlainText);
    return result;
}

} // namespace

TfrmAbout::TfrmAbout(QWidget *parent)
    : QDialog(parent)
    , TQVForm(this)
{
    const WaitCursor busy;
    setObjectName(u"AboutBox"_s);
    setWindowTitle(u"About Velbric Software"_s);

    auto *picture = new QLabel(this);
    picture->setObjectName(u"ProgramIcon"_s);
    picture->setPixmap(Glyphs::brandPicture(QSize(96, 96)));
    picture->setFrameShape(QFrame::Panel);
    picture->setFrameShadow(QFrame::Sunken);

    auto *product = label(this, u"ProductName"_s, Version::labelText({}, u"ProductName"_s));
    QFont bold = product->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.4);
    product->setFont(bold);
    auto *version =
        label(this, u"Version"_s, Version::labelText(u"File Version:"_s, u"FileVersion"_s));
    auto *compiled = label(this, u"CompileDate"_s, Version::CompileDate);

    auto *link = new QLabel(this);
    link->setObjectName(u"lblHomePage"_s);
    link->setTextFormat(Qt::RichText);
    link->setText(u"<a href=\"%1\">Velbric's Home Page On The Internet</a>"_s.arg(
        Version::HomePage.toHtmlEscaped()));
    link->setOpenExternalLinks(true);

    const std::optional<Memory> memory = systemMemory();
    auto *load =
        label(this, u"lblMemoryInUse"_s, memory ? memoryLoadText(memory->loadPercent) : QString());
    auto *physical = label(
        this, u"lblPhysicalMemory"_s, memory ? physicalMemoryText(memory->totalKB) : QString());

    auto *texts = new QVBoxLayout;
    texts->addWidget(product);
    texts->addWidget(version);
    texts->addWidget(compiled);
    texts->addWidget(link);
    texts->addStretch();
    auto *top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addLayout(texts, 1);

    auto *memoryBox = new QFrame(this);
    memoryBox->setFrameShape(QFrame::StyledPanel);
    auto *memoryLayout = new QFormLayout(memoryBox);
    memoryLayout->addRow(u"Memory in Use:"_s, load);
    memoryLayout->addRow(u"Physical Memory Available to Windows:"_s, physical);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(u"OKButton"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(memoryBox);
    layout->addWidget(buttons);
    setSizeGripEnabled(false);
    formLoaded();

    SystemSound::playEvent(u"SystemStart"_s);
}

std::optional<TfrmAbout::Memory> TfrmAbout::parseMemInfo(const QByteArray &memInfo)
{
    qint64 total = -1;
    qint64 available = -1;
    for (const QByteArray &line : memInfo.split('\n')) {
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() < 2)
            continue;
        bool ok = false;
        const qint64 value = parts.at(1).toLongLong(&ok);
        if (!ok)
            continue;
        if (parts.at(0) == "MemTotal:")
            total = value;
        else if (parts.at(0) == "MemAvailable:")
            available = value;
    }
    if (total <= 0 || available < 0 || available > total)
        return std::nullopt;
    const int load = int((total - available) * 100 / total);
    return Memory { load, total };
}

std::optional<TfrmAbout::Memory> TfrmAbout::systemMemory()
{
    QFile file(u"/proc/meminfo"_s);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return parseMemInfo(file.readAll());
}

QString TfrmAbout::memoryLoadText(int percent)
{
    return u"%1 %"_s.arg(percent);
}

QString TfrmAbout::physicalMemoryText(qint64 kilobytes)
{
    // Thousands are always grouped, even where the locale leaves them out by default (C).
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(kilobytes) + u" KB"_s;
}

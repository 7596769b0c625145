#include "LogoChooser.h"

#include "controls/dataaware/TQVDataSourceSrc.h"
#include "controls/window/CommandGuard.h"
#include "controls/window/Hints.h"
#include "controls/window/LogoPicture.h"
#include "controls/window/Messages.h"
#include "engine/Field.h"
#include "engine/TableView.h"
#include "reference/SetupWidgets.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;
using SetupWidgets::named;

// The dialog opens on the first filter: every kind of picture, so no logo file is hidden.
const QString LogoChooser::FileFilter =
    u"All pictures (*.bmp *.png *.jpg *.jpeg);;Bitmaps (*.bmp);;Pictures (*.png *.jpg *.jpeg)"_s;

LogoChooser::LogoChooser(TQVDataSource *business, QWidget *parent)
    : QWidget(parent)
    , m_business(business)
    , m_path(named(new QLabel(this), u"lblLogoPath"_s))
    , m_preview(named(new QLabel(this), u"imgLogo"_s))
{
    chooseFile = [](QWidget *owner) {
        return QFileDialog::getOpenFileName(owner, u"Select Logo"_s, QString(), FileFilter);
    };
    m_path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_path->setWordWrap(true);
    m_preview->setFrameShape(QFrame::Box);
    m_preview->setFrameShadow(QFrame::Sunken);
    m_preview->setScaledContents(true);
    m_preview->setFixedSize(240, 160);

    auto *select = named(new QPushButton(u"&Select Logo"_s, this), u"btnSelectLogo"_s);
    Hints::setHint(select, u"Select the logo that you would like displayed on your Job/Quotes"_s);
    auto *clear = named(new QPushButton(u"&Clear"_s, this), u"btnClear"_s);
    Hints::setHint(clear, u"This will Clear the current selected logo"_s);
    connect(select, &QPushButton::clicked, this, &LogoChooser::btnSelectLogoClick);
    connect(clear, &QPushButton::clicked, this, &LogoChooser::btnClearClick);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(m_path, 0, 0, 1, 2);
    grid->addWidget(m_preview, 1, 0, 3, 1);
    grid->addWidget(select, 1, 1);
    grid->addWidget(clear, 2, 1);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(2, 1);

    for (auto signal : { &DataSource::currentChanged, &DataSource::dataChanged,
             &DataSource::stateChanged, &DataSource::dataSetChanged })
        connect(business, signal, this, &LogoChooser::showLogo);
    showLogo();
}

void LogoChooser::btnSelectLogoClick()
{
    runGuarded(this, [this] {
        const QString chosen = chooseFile ? chooseFile(this) : QString();
        if (chosen.isEmpty())
            return;
        const QString path = QFileInfo(chosen).absoluteFilePath();
        const QImage picture = LogoPicture::fromFile(path);
        if (picture.isNull()) {
            ShowWarningMessage(
                u"The file \"%1\" is not a picture that can be used as a logo, or "
                "it is too large. Please choose a picture file (BMP, PNG or JPEG)."_s.arg(path),
                this);
            return;
        }
        m_business->edit();
        TableView *record = m_business->dataSet();
        record->fieldByName(u"LogoPath"_s)->setAsString(path);
        record->fieldByName(u"Logo"_s)->setValue(LogoPicture::storedBytes(picture));
        m_path->setText(path);
        m_preview->setPixmap(QPixmap::fromImage(picture));
    });
}

void LogoChooser::btnClearClick()
{
    runGuarded(this, [this] {
        m_business->edit();
        TableView *record = m_business->dataSet();
        record->fieldByName(u"LogoPath"_s)->setAsString(QString());
        record->fieldByName(u"Logo"_s)->clear();
        m_path->clear();
        m_preview->clear();
    });
}

void LogoChooser::showLogo()
{
    QString path;
    QImage picture;
    try {
        TableView *record = m_business->dataSet();
        if (record && record->active() && !(record->isEmpty() && !record->isEditing())) {
            path = record->fieldByName(u"LogoPath"_s)->asString();
            picture = LogoPicture::fromFile(path);
        }
    } catch (const std::exception &) {
        // A logo that cannot be read leaves the preview empty, without a message.
    }
    m_path->setText(path);
    if (picture.isNull())
        m_preview->clear();
    else
        m_preview->setPixmap(QPixmap::fromImage(picture));
}

bool LogoChooser::hasPreview() const
{
    return !m_preview->pixmap().isNull();
}

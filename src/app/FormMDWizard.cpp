#include "FormMDWizard.h"

#include "controls/window/Glyphs.h"
#include "app/HelpWindow.h"
#include "controls/window/CommandGuard.h"
#include "controls/window/TQVPageControl.h"
#include "engine/Field.h"
#include "engine/TableView.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTabBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// Enter presses the button that has the focus; elsewhere it presses the default one.
QPushButton *wizardButton(QWidget *parent, const QString &name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(true);
    return button;
}

} // namespace

TfrmWiz::TfrmWiz(QWidget *parent)
    : QDialog(parent)
    , TQVForm(this)
    , m_pages(new TQVPageControl(this))
    , m_cancel(wizardButton(this, u"btnCancel"_s, u"&Cancel"_s))
    , m_previous(wizardButton(this, u"btnPrevious"_s, u"&Previous"_s))
    , m_next(wizardButton(this, u"btnNext"_s, u"&Next"_s))
    , m_finish(wizardButton(this, u"btnFinish"_s, u"&Finish"_s))
{
    m_pages->setObjectName(u"pageWizard"_s);
    m_next->setDefault(true);
    m_finish->setEnabled(false);

    auto *picture = new QLabel(this);
    picture->setObjectName(u"imgWizard"_s);
    picture->setFixedWidth(PicturePanelWidth);
    picture->setFrameShape(QFrame::Panel);
    picture->setFrameShadow(QFrame::Sunken);
    picture->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    picture->setPixmap(Glyphs::brandPicture(QSize(PicturePanelWidth - 8, PicturePanelWidth - 8)));
    picture->setStyleSheet(u"background: palette(dark);"_s);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *button : { m_cancel, m_previous, m_next, m_finish })
        buttons->addWidget(button);

    auto *right = new QVBoxLayout;
    right->addWidget(m_pages, 1);
    right->addLayout(buttons);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(picture);
    layout->addLayout(right, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_pages->setMinimumSize(400, 270);

    // F1 shows the topic of the field that has the focus, or the wizard's own.
    auto *help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] {
        if (!m_help)
            m_help = new HelpWindow(this);
        m_help->showTopic(HelpWindow::contextOf(focusWidget() ? focusWidget() : this));
    });
    connect(m_cancel, &QPushButton::clicked, this, &TfrmWiz::btnCancelClick);
    connect(m_previous, &QPushButton::clicked, this, &TfrmWiz::btnPreviousClick);
    connect(m_next, &QPushButton::clicked, this, &TfrmWiz::btnNextClick);
    connect(m_finish, &QPushButton::clicked, this, &TfrmWiz::btnFinishClick);
}

TfrmWiz::~TfrmWiz() = default;

void TfrmWiz::openWizard(TableView *header)
{
    // The pages show without tabs; the wizard's buttons move between them.
    m_pages->tabBar()->hide();
    formLoaded();
    m_previous->setEnabled(false);
    runGuarded(this, [header] { header->fieldByName(u"Status"_s)->setAsString(u"I"_s); });
}

void TfrmWiz::btnNextClick()
{
    // Whatever is being typed is stored before the page moves on.
    m_next->setFocus();
    m_previous->setEnabled(true);
    const int page = m_pages->currentIndex();
    if (page + 1 < m_pages->count())
        m_pages->setCurrentIndex(page + 1);
    if (m_pages->currentIndex() == m_pages->count() - 1) {
        m_next->setEnabled(false);
        m_finish->setEnabled(true);
        // On the last page Enter finishes.
        m_finish->setDefault(true);
        m_finish->setFocus();
    }
    runGuarded(this, [this] { afterNext(); });
}

void TfrmWiz::btnPreviousClick()
{
    m_previous->setFocus();
    m_next->setEnabled(true);
    m_next->setDefault(true);
    const int page = m_pages->currentIndex();
    if (page > 0)
        m_pages->setCurrentIndex(page - 1);
    if (m_pages->currentIndex() == 0) {
        m_previous->setEnabled(false);
        m_next->setFocus();
    }
}

void TfrmWiz::btnFinishClick()
{
    m_finish->setFocus();
    // A refused record keeps the wizard open with what the user entered.
    if (runGuarded(this, [this] { finishRecord(); }))
        accept();
}

void TfrmWiz::btnCancelClick()
{
    runGuarded(this, [this] { cancelRecord(); });
    QDialog::reject();
}

void TfrmWiz::reject()
{
    // The close box only closes: the record stays as it is for the main window to save.
    if (m_closing)
        QDialog::reject();
    else
        btnCancelClick();
}

void TfrmWiz::closeEvent(QCloseEvent *event)
{
    m_closing = true;
    QDialog::closeEvent(event);
    m_closing = false;
}

void TfrmWiz::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    // Enter at the start steps on, whatever control comes first in the Tab order.
    m_next->setFocus();
    if (const QScreen *shown = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(shown->availableGeometry().center());
        move(frame.topLeft());
    }
}

#include "reference/FormHeadings.h"

#include "controls/window/CommandGuard.h"
#include "controls/window/HelpRequest.h"
#include "controls/dataaware/FieldLineEdit.h"
#include "data/DataModuleMain.h"
#include "reference/ReferenceWidgets.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using namespace ReferenceWidgets;

namespace {

QPushButton *button(QWidget *parent, const QString &name, const QString &caption)
{
    auto *result = new QPushButton(caption, parent);
    result->setObjectName(name);
    result->setAutoDefault(false);
    return result;
}

} // namespace

TfrmHeadings::TfrmHeadings(TDM *dm, QWidget *parent)
    : QDialog(parent)
    , TQVForm(this)
    , m_dm(dm)
    , m_headings(link(this, u"dsHeadings"_s, dm->tblHeadings))
{
    setObjectName(u"frmHeadings"_s);
    setWindowTitle(u"Group Headings"_s);

    m_grid = grid(this, u"grdHeadings"_s, m_headings, { { u"Description"_s, {}, 280 } }, true);
    m_grid->setShowHorizontalScrollBar(false);
    m_description = boundEdit(this, m_headings, u"feDescription"_s, u"Description"_s);
    auto *fields = new QFormLayout;
    fields->addRow(u"Description:"_s, m_description);

    auto *close = button(this, u"btnClose"_s, u"&Close"_s);
    close->setDefault(true);
    auto *add = button(this, u"btnNew"_s, u"&New"_s);
    auto *remove = button(this, u"btnDelete"_s, u"&Delete"_s);
    m_cancel = button(this, u"btnCancel"_s, u"&Cancel"_s);
    m_save = button(this, u"btnSave"_s, u"&Save"_s);
    QPushButton *save = m_save;
    connect(close, &QPushButton::clicked, this, &TfrmHeadings::btnCloseClick);
    connect(add, &QPushButton::clicked, this, &TfrmHeadings::btnNewClick);
    connect(remove, &QPushButton::clicked, this, &TfrmHeadings::btnDeleteClick);
    connect(m_cancel, &QPushButton::clicked, this, &TfrmHeadings::btnCancelClick);
    connect(save, &QPushButton::clicked, this, &TfrmHeadings::btnSaveClick);
    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : { close, add, remove, m_cancel, save })
        buttons->addWidget(b);
    buttons->addStretch(1);

    auto *left = new QVBoxLayout;
    left->addWidget(m_grid, 1);
    left->addLayout(fields);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    resize(420, 300);
    setFixedSize(size());

    HelpRequest::install(this, HelpContext);
    formLoaded();
}

TfrmHeadings::~TfrmHeadings() = default;

void TfrmHeadings::keyPressEvent(QKeyEvent *event)
{
    // Escape is the Cancel button's key here: it gives up the change, the window stays.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_cancel->click();
        event->accept();
        return;
    }
    // Enter stores a heading being typed; with nothing pending it presses Close, the default.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier && m_dm->tblHeadings->isEditing()) {
        m_save->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmHeadings::btnCloseClick()
{
    reject();
}

void TfrmHeadings::btnNewClick()
{
    runGuarded(this, [this] {
        m_dm->tblHeadings->insert();
        m_description->setFocus();
    });
}

void TfrmHeadings::btnDeleteClick()
{
    runGuarded(this, [this] { deleteAsked(m_dm->tblHeadings, this); });
}

void TfrmHeadings::btnCancelClick()
{
    runGuarded(this, [this] { m_dm->tblHeadings->cancel(); });
}

void TfrmHeadings::btnSaveClick()
{
    runGuarded(this, [this] { m_dm->tblHeadings->post(); });
}

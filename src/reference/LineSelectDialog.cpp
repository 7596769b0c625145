#include "reference/LineSelectDialog.h"

#include "controls/dataaware/FieldLineEdit.h"
#include "controls/dataaware/FieldLookupComboBox.h"
#include "controls/dataaware/FieldPlainTextEdit.h"
#include "controls/dataaware/FieldSpinBox.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "controls/window/CommandGuard.h"
#include "controls/window/HelpRequest.h"
#include "controls/window/Hints.h"
#include "controls/window/TQVPageControl.h"
#include "data/DataModuleMain.h"
#include "engine/Field.h"
#include "reference/ReferenceWidgets.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using namespace ReferenceWidgets;

LineSelectDialog::LineSelectDialog(TDM *dm,
    TQVTable *line,
    TQVTable *list,
    const QString &listKey,
    const QString &codeField,
    QWidget *parent)
    : QDialog(parent)
    , TQVForm(this)
    , m_dm(dm)
    , m_line(link(this, u"LocalDataSource"_s, line))
    , m_priceList(list)
    , m_listKey(listKey)
{
    // The command has put the line into edit or insert; the dialog never starts an edit itself.
    m_line->setAutoEdit(false);

    const auto lookup = [this](const QString &name, const QString &shown) {
        auto *combo = new FieldLookupComboBox(this);
        combo->setObjectName(name);
        // The layout gives the width: a long price list is not measured item by item.
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(8);
        combo->setKeyField(m_listKey);
        combo->setListField(shown);
        combo->setDataSource(m_line);
        combo->setDataField(m_listKey);
        combo->setSearchedTable(m_priceList->database(), m_priceList->tableName());
        // Runs after the lookup has stored the key in the line.
        connect(combo, &FieldLookupComboBox::keyChosen, this, &LineSelectDialog::picked);
        return combo;
    };
    m_code = lookup(u"cboCode"_s, codeField);
    m_description = lookup(u"cboDescription"_s, u"Description"_s);
}

LineSelectDialog::~LineSelectDialog() = default;

TableView *LineSelectDialog::lineTable() const
{
    return m_line->dataSet();
}

QGroupBox *LineSelectDialog::selectGroup(const QString &codeLabel,
    const QString &descriptionLabel,
    const QString &browseName,
    const QString &browseHint)
{
    auto *group = new QGroupBox(u"Select Material "_s, this);
    group->setObjectName(u"grpSelect"_s);
    auto *browse = new QToolButton(group);
    browse->setObjectName(browseName);
    browse->setAutoRaise(true);
    browse->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    Hints::setHint(browse, browseHint);
    connect(browse, &QToolButton::clicked, this, [this] { browsePriceList(); });
    m_code->setParent(group);
    m_description->setParent(group);
    auto *codeCaption = new QLabel(codeLabel, group);
    codeCaption->setBuddy(m_code);
    auto *descriptionCaption = new QLabel(descriptionLabel, group);
    descriptionCaption->setBuddy(m_description);
    auto *grid = new QGridLayout(group);
    grid->addWidget(codeCaption, 0, 0);
    grid->addWidget(descriptionCaption, 0, 1);
    grid->addWidget(m_code, 1, 0);
    grid->addWidget(m_description, 1, 1);
    grid->addWidget(browse, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 2);
    return group;
}

QGroupBox *LineSelectDialog::descriptionGroup(const QString &field, const QString &hint)
{
    auto *group = new QGroupBox(u"Change Material Description "_s, this);
    group->setObjectName(u"grpDescription"_s);
    FieldLineEdit *edit = boundEdit(group, m_line, u"feDescription"_s, field);
    m_typed << edit;
    if (!hint.isEmpty()) {
        Hints::setHint(edit, hint);
    }
    auto *caption = new QLabel(u"Description:"_s, group);
    caption->setBuddy(edit);
    auto *row = new QHBoxLayout(group);
    row->addWidget(caption);
    row->addWidget(edit, 1);
    return group;
}

QGroupBox *LineSelectDialog::notesGroup(const QString &caption)
{
    auto *group = new QGroupBox(caption, this);
    group->setObjectName(u"grpFurtherInformation"_s);
    auto *pages = new TQVPageControl(group);
    pages->setObjectName(u"pgcFurtherInformation"_s);
    auto *page = new QWidget(pages);
    page->setObjectName(u"tsNotes"_s);
    auto *notes = new FieldPlainTextEdit(page);
    notes->setObjectName(u"feNotes"_s);
    notes->setDataSource(m_line);
    notes->setDataField(u"Notes"_s);
    // Tab leaves the notes rather than typing a tab into them.
    notes->setTabChangesFocus(true);
    m_typed << notes;
    auto *fill = new QVBoxLayout(page);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(notes);
    pages->addTab(page, u"Notes"_s);
    auto *layout = new QVBoxLayout(group);
    layout->addWidget(pages);
    return group;
}

FieldLineEdit *LineSelectDialog::numberEdit(
    QWidget *parent, const QString &name, const QString &field)
{
    FieldLineEdit *edit = boundEdit(parent, m_line, name, field);
    edit->setAlignment(Qt::AlignRight);
    m_typed << edit;
    return edit;
}

FieldSpinBox *LineSelectDialog::spinEdit(QWidget *parent, const QString &name, const QString &field)
{
    auto *spin = new FieldSpinBox(parent);
    spin->setObjectName(name);
    spin->setDecimals(2);
    spin->setSingleStep(1); // PageUp and PageDown step by ten
    spin->setMaximum(99999);
    spin->setAlignment(Qt::AlignRight);
    spin->setDataSource(m_line);
    spin->setDataField(field);
    m_typed << spin;
    return spin;
}

void LineSelectDialog::finishLayout(const QList<QWidget *> &rows, int helpContext)
{
    QToolBar *bar = toolBar(this, u"tbLine"_s);
    // The commands have keys of their own, which their tips show, and Tab reaches them too.
    QAction *save = command(bar, u"btnSave"_s, u"Save and Close"_s, QStyle::SP_DialogSaveButton,
        u"Save and Close (Alt+S, Ctrl+S)"_s);
    save->setShortcuts({ QKeySequence(Qt::ALT | Qt::Key_S), QKeySequence::Save,
        QKeySequence(Qt::CTRL | Qt::Key_Return) });
    connect(save, &QAction::triggered, this, &LineSelectDialog::btnSaveClick);
    bar->addSeparator();
    QAction *cancel = command(bar, u"btnCancel"_s, u"Cancel"_s, QStyle::SP_DialogCancelButton,
        u"Cancel (Alt+C, Esc)"_s);
    cancel->setShortcut(QKeySequence(Qt::ALT | Qt::Key_C));
    connect(cancel, &QAction::triggered, this, &LineSelectDialog::btnCancelClick);
    for (QAction *action : { save, cancel }) {
        if (QWidget *button = bar->widgetForAction(action))
            button->setFocusPolicy(Qt::TabFocus);
    }

    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    for (QWidget *row : rows)
        layout->addWidget(row, row == rows.last() ? 1 : 0);
    resize(440, 500);
    setFixedSize(size());
    HelpRequest::install(this, helpContext);
    formLoaded();
}

void LineSelectDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_centred)
        return;
    m_centred = true;
    if (const QScreen *screen = this->screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void LineSelectDialog::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    auto *button = qobject_cast<QToolButton *>(focusWidget());
    if (enter && button && button->parentWidget() == findChild<QToolBar *>(u"tbLine"_s)) {
        button->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void LineSelectDialog::picked(const QVariant &key)
{
    runGuarded(this, [&] {
        TableView *line = lineTable();
        if (!line || !line->isEditing() || key.isNull())
            return;
        // The entry is found by its key, so one removed meanwhile is not copied.
        if (m_priceList->locate(m_listKey, key))
            fillLine();
    });
}

bool LineSelectDialog::storeTyping()
{
    for (TypedFieldControl *control : std::as_const(m_typed)) {
        if (!control->applyChanges())
            return false;
    }
    return true;
}

bool LineSelectDialog::settleLine(bool save)
{
    TableView *line = lineTable();
    if (!line || !line->isEditing())
        return true;
    if (save && !storeTyping())
        return false;
    return runGuarded(this, [&] {
        if (save)
            line->post();
        else
            line->cancel();
    });
}

void LineSelectDialog::btnSaveClick()
{
    if (settleLine(true))
        finish();
}

void LineSelectDialog::btnCancelClick()
{
    if (settleLine(false))
        finish();
}

void LineSelectDialog::reject()
{
    btnCancelClick();
}

void LineSelectDialog::finish()
{
    close();
}

void LineSelectDialog::closeEvent(QCloseEvent *event)
{
    // The close check may show boxes whose own closing must not start it again.
    if (m_closing) {
        event->ignore();
        return;
    }
    m_closing = true;
    const bool mayClose = closeCheck();
    m_closing = false;
    if (mayClose) {
        setResult(QDialog::Accepted);
        event->accept();
    } else {
        event->ignore();
    }
}

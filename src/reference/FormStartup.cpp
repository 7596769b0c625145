#include "FormStartup.h"

#include "controls/window/CommandGuard.h"
#include "controls/window/HelpRequest.h"
#include "controls/dataaware/TQVDBGridSrc.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "data/DataModuleMain.h"
#include "reference/BusinessDetails.h"
#include "reference/LogoChooser.h"
#include "reference/RecordGridPage.h"
#include "reference/SetupWidgets.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using SetupWidgets::named;

namespace {

// The sales people and the units share one stored layout; each finds its own field in it.
const QString SharedLayoutKey = u"Velbric/UnitDesc"_s;

} // namespace

TfrmWizStartup::TfrmWizStartup(TDM *dm, QWidget *parent)
    : QDialog(parent)
    , TQVForm(this)
    , m_dm(dm)
    , m_business(named(new TQVDataSource(this), u"dsBusiness"_s))
    , m_pages(named(new QStackedWidget(this), u"pgWizard"_s))
    , m_previous(named(new QPushButton(u"&Previous"_s, this), u"btnPrevious"_s))
    , m_next(named(new QPushButton(u"&Next"_s, this), u"btnNext"_s))
    , m_finish(named(new QPushButton(u"&Finish"_s, this), u"btnFinish"_s))
{
    HelpRequest::install(this, HelpContext);
    setObjectName(u"frmWizStartup"_s);
    setWindowTitle(u"Welcome to Velbric Tessorin"_s);
    setModal(true);
    m_business->setDataSet(dm->tblBusiness);
    runGuarded(this, [dm] { dm->tblBusiness->first(); });

    makePage(u"tsWelcome"_s, u"Welcome to Tessorin"_s,
        { u"This wizard will guide you through adding the basic information needed to allow "
          "Tessorin to run correctly."_s,
            u"Click Next to progress though the next Step."_s });
    makePage(u"tsBusiness"_s, u"Setup Company or Business Details"_s, {},
        new BusinessDetails(m_business, this));
    m_logo = new LogoChooser(m_business, this);
    makePage(u"tsLogo"_s, u"Select Logo"_s,
        { u"This is the logo that will appear on the Quote and Job sheets."_s }, m_logo);
    m_sales = new RecordGridPage(
        dm->tblSales, u"Sales"_s, { { u"Salesman"_s, u"Sales Person"_s, 200, true } }, this);
    m_sales->grid()->setRegistryKeyName(SharedLayoutKey);
    makePage(u"tsSales"_s, u"Staff  / Sales People"_s,
        { u"Add your staff or sales people who will prepare the Quotes or do the Jobs."_s },
        m_sales);
    m_headings = new RecordGridPage(
        dm->tblHeadings, u"Headings"_s, { { u"Description"_s, {}, 260, true } }, this);
    makePage(u"tsHeadings"_s, u"Material and Labour Group Headings"_s,
        { u"These describe what Group the Material or Labour belongs to."_s,
            u"They are displayed on the Job or Quote as a group heading."_s },
        m_headings);
    m_units = new RecordGridPage(
        dm->tblUnit, u"Units"_s, { { u"Unit_Description"_s, u"Description"_s, 260, true } }, this);
    m_units->grid()->setRegistryKeyName(SharedLayoutKey);
    makePage(u"tsUnits"_s, u"Unit Descriptions"_s,
        { u"These describe the Unit measure or description of each Material or Labour"_s },
        m_units);
    makePage(u"tsFinished"_s, u"Finished"_s,
        { u"You are now ready to add new Quotes and Jobs."_s,
            u"Click Finish to start Working."_s });

    auto *picture = named(new QLabel(this), u"imgSide"_s);
    picture->setPixmap(SetupWidgets::sidePicture(QSize(120, 330)));
    picture->setScaledContents(true);
    picture->setFixedWidth(120);

    auto *cancel = named(new QPushButton(u"&Cancel"_s, this), u"btnCancel"_s);
    m_next->setDefault(true);
    connect(m_previous, &QPushButton::clicked, this, &TfrmWizStartup::btnPreviousClick);
    connect(m_next, &QPushButton::clicked, this, &TfrmWizStartup::btnNextClick);
    connect(m_finish, &QPushButton::clicked, this, &TfrmWizStartup::btnFinishClick);
    connect(cancel, &QPushButton::clicked, this, &TfrmWizStartup::btnCancelClick);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *button : { m_previous, m_next, m_finish, cancel })
        buttons->addWidget(button);
    auto *body = new QHBoxLayout;
    body->addWidget(picture);
    body->addWidget(m_pages, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);

    formLoaded();
    m_finish->setEnabled(false);
    showPage(0);
    resize(600, 400);
}

QWidget *TfrmWizStartup::makePage(
    const QString &name, const QString &heading, const QStringList &texts, QWidget *content)
{
    auto *page = named(new QWidget(m_pages), name);
    auto *layout = new QVBoxLayout(page);
    auto *title = new QLabel(heading, page);
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.4);
    title->setFont(bold);
    layout->addWidget(title);
    for (const QString &text : texts) {
        auto *label = new QLabel(text, page);
        label->setWordWrap(true);
        layout->addWidget(label);
    }
    if (content) {
        content->setParent(page);
        layout->addWidget(content, 1);
    } else {
        layout->addStretch();
    }
    m_pages->addWidget(page);
    return page;
}

int TfrmWizStartup::page() const
{
    return m_pages->currentIndex();
}

void TfrmWizStartup::showPage(int page)
{
    m_pages->setCurrentIndex(page);
    m_previous->setEnabled(page > 0);
    m_next->setEnabled(page < PageCount - 1);
    // Finish becomes available once the last page has been reached, and stays so; there Enter
    // finishes.
    if (page == PageCount - 1) {
        m_finish->setEnabled(true);
        m_finish->setDefault(true);
    } else {
        m_next->setDefault(true);
    }
}

// A list page keeps the user on it while its record cannot be stored; with allPages, every
// list's pending row is stored, as Finish may come from any page once the last was reached.
bool TfrmWizStartup::leavePage(bool allPages)
{
    return runGuarded(this, [this, allPages] {
        for (RecordGridPage *list : { m_sales, m_headings, m_units }) {
            const bool shown = m_pages->currentWidget()->isAncestorOf(list);
            if (shown)
                list->grid()->setFocus(); // a cell being typed into stores its text first
            if (!shown && !allPages)
                continue;
            try {
                SetupWidgets::postIfEditing(list->source());
            } catch (...) {
                showPage(m_pages->indexOf(list->parentWidget())); // where the refused row is
                throw;
            }
        }
    });
}

void TfrmWizStartup::btnPreviousClick()
{
    if (page() > 0 && leavePage())
        showPage(page() - 1);
}

void TfrmWizStartup::btnNextClick()
{
    if (page() < PageCount - 1 && leavePage())
        showPage(page() + 1);
}

void TfrmWizStartup::btnFinishClick()
{
    if (!leavePage(true))
        return;
    const bool done = runGuarded(this, [this] {
        SetupWidgets::postIfEditing(m_business);
        m_dm->WriteSettingFlag(u"Startup"_s, u"StartWiz"_s, true);
    });
    if (done)
        accept();
}

void TfrmWizStartup::btnCancelClick()
{
    reject();
}

void TfrmWizStartup::reject()
{
    runGuarded(this, [this] {
        SetupWidgets::cancelIfEditing(m_business);
        // A list row typed but not saved goes with the wizard rather than staying half-entered.
        for (RecordGridPage *list : { m_sales, m_headings, m_units })
            SetupWidgets::cancelIfEditing(list->source());
    });
    QDialog::reject();
}

void TfrmWizStartup::keyPressEvent(QKeyEvent *event)
{
    // Escape does not cancel this wizard: a new user would lose what was typed by accident.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

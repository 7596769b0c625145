#include "reference/FormClients.h"

#include "controls/window/CommandGuard.h"
#include "controls/window/HelpRequest.h"
#include "data/DataModuleMain.h"
#include "engine/Exception.h"
#include "engine/Field.h"
#include "reference/FormClientMoreInfo.h"
#include "reference/PrefixSearch.h"
#include "reference/ReferenceWidgets.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using namespace ReferenceWidgets;

TfrmClientDetails::TfrmClientDetails(TDM *dm, QWidget *parent)
    : QDialog(parent)
    , TQVForm(this)
    , m_dm(dm)
    , m_clients(link(this, u"dsClients"_s, dm->tblClients))
    , m_search(new QLineEdit(this))
    , m_searchBy(new QComboBox(this))
{
    setObjectName(u"frmClientDetails"_s);
    setWindowTitle(u"Client Details"_s);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(true);

    QToolBar *bar = toolBar(this, u"tbClients"_s);
    connect(command(bar, u"btnSelectClient"_s, u"Select Client"_s, QStyle::SP_DialogApplyButton),
        &QAction::triggered, this, &TfrmClientDetails::btnSelectClientClick);
    connect(command(bar, u"btnNewClient"_s, u"New Client"_s, QStyle::SP_FileIcon),
        &QAction::triggered, this, &TfrmClientDetails::btnNewClientClick);
    connect(command(bar, u"btnEdit"_s, u"Edit"_s, QStyle::SP_FileDialogDetailedView),
        &QAction::triggered, this, &TfrmClientDetails::btnEditClick);
    bar->addSeparator();
    connect(command(bar, u"btnDelete"_s, u"Delete"_s, QStyle::SP_TrashIcon), &QAction::triggered,
        this, &TfrmClientDetails::btnDeleteClick);
    connect(command(bar, u"btnClose"_s, u"Close"_s, QStyle::SP_DialogCloseButton),
        &QAction::triggered, this, &TfrmClientDetails::btnCloseClick);

    m_search->setObjectName(u"edtSearch"_s);
    m_search->setMaxLength(SearchLength);
    m_searchBy->setObjectName(u"cboSearchBy"_s);
    m_searchBy->addItems({ u"Contact"_s, u"Company Name"_s });
    auto *searchPanel = new QWidget(this);
    searchPanel->setObjectName(u"panSearch"_s);
    auto *search = new QHBoxLayout(searchPanel);
    search->setContentsMargins(4, 2, 4, 2);
    auto *searchLabel = new QLabel(u"Search String"_s, searchPanel);
    searchLabel->setBuddy(m_search);
    search->addWidget(searchLabel);
    search->addWidget(m_search, 1);
    search->addWidget(new QLabel(u"Search by"_s, searchPanel));
    search->addWidget(m_searchBy);

    m_grid = grid(this, u"grdClients"_s, m_clients,
        { { u"Contact"_s, {}, 150 }, { u"Company_Name"_s, u"Company Name"_s, 150 },
            { u"Email1"_s, u"Email 1"_s, 130 }, { u"Web_Page"_s, u"Web Page"_s, 120 },
            { u"Phone_Bus"_s, u"Ph. Business"_s, 90 }, { u"Phone_BusFax"_s, u"Business Fax"_s, 90 },
            { u"Phone_Home1"_s, u"Ph. Home"_s, 90 }, { u"Phone_Mobile"_s, u"Mobile"_s, 90 } },
        true);
    m_grid->setRegistryKeyName(u"Tessorin\\ClientGrid"_s);
    setHelpContext(m_grid, HelpContext);
    connect(
        m_grid, &QAbstractItemView::doubleClicked, this, &TfrmClientDetails::btnSelectClientClick);

    auto *status = new QStatusBar(this);
    status->setObjectName(u"StatusBar1"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(bar);
    layout->addWidget(searchPanel);
    layout->addWidget(m_grid, 1);
    layout->addWidget(status);
    resize(760, 420);

    connect(m_search, &QLineEdit::textEdited, this, &TfrmClientDetails::edtSearchChange);
    connect(
        m_searchBy, &QComboBox::currentIndexChanged, this, &TfrmClientDetails::cboSearchByChange);

    HelpRequest::install(this, HelpContext);
    formLoaded();
    m_searchBy->setCurrentIndex(0);
    cboSearchByChange();
}

TfrmClientDetails::~TfrmClientDetails()
{
    try {
        if (!m_dm->tblClients->indexName().isEmpty())
            m_dm->tblClients->setIndexFieldNames(u"Contact"_s);
    } catch (const Exception &) {
        // The order comes back with the next opening of the list at the latest.
    }
}

QString TfrmClientDetails::searchField() const
{
    return m_searchBy->currentIndex() == 1 ? u"Company_Name"_s : u"Contact"_s;
}

void TfrmClientDetails::cboSearchByChange()
{
    runGuarded(this, [this] {
        // The list is ordered by the field searched, through its index; the data module's own
        // order by contact is the same as the contact index.
        TQVTable *clients = m_dm->tblClients;
        if (m_searchBy->currentIndex() == 1)
            clients->setIndexName(u"Company"_s);
        else if (clients->indexFieldNames() != u"Contact"_s)
            clients->setIndexName(u"ContactField"_s);
        if (!m_search->text().isEmpty())
            PrefixSearch::moveTo(*m_dm->tblClients, searchField(), m_search->text());
    });
}

void TfrmClientDetails::edtSearchChange(const QString &text)
{
    runGuarded(this, [&] { PrefixSearch::moveTo(*m_dm->tblClients, searchField(), text); });
}

void TfrmClientDetails::btnSelectClientClick()
{
    const bool chosen = runGuarded(this, [this] {
        TQVTable *clients = m_dm->tblClients;
        // A client still pending (a new one from the client dialog) is stored and keyed first.
        clients->post();
        if (clients->isEmpty())
            return;
        const double id = clients->fieldByName(u"Client_ID"_s)->asFloat();
        const QList<TQVTable *> headers = m_header
            ? QList<TQVTable *> { m_header }
            : QList<TQVTable *> { m_dm->tblJobs, m_dm->tblQuotes };
        for (TQVTable *header : headers) {
            if (header->isEditing()) {
                header->fieldByName(u"Client_ID"_s)->setAsFloat(id);
                header->post();
            }
        }
        m_chosen = id;
    });
    if (!chosen)
        return;
    if (!m_chosen.isNull())
        emit clientChosen(m_chosen.toDouble());
    accept();
}

void TfrmClientDetails::btnNewClientClick()
{
    runGuarded(this, [this] {
        TfrmClient client(m_dm, TfrmClient::Mode::NewClient, this);
        client.exec();
    });
}

void TfrmClientDetails::btnEditClick()
{
    runGuarded(this, [this] {
        TfrmClient client(m_dm, TfrmClient::Mode::Edit, this);
        client.exec();
    });
}

void TfrmClientDetails::btnDeleteClick()
{
    runGuarded(this, [this] { deleteAsked(m_dm->tblClients, this); });
}

void TfrmClientDetails::btnCloseClick()
{
    if (runGuarded(this, [this] { m_dm->tblClients->cancel(); }))
        reject();
}

#include "FormFinder.h"

#include "controls/window/CommandGuard.h"
#include "controls/window/HelpRequest.h"
#include "controls/dataaware/TQVDBGridSrc.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "controls/window/TQVPageControl.h"
#include "data/DataModuleMain.h"
#include "engine/Field.h"
#include "reference/ClientSearch.h"
#include "reference/SetupWidgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using SetupWidgets::named;

const QList<TfrmFinder::SearchField> &TfrmFinder::searchFields()
{
    static const QList<SearchField> fields {
        { u"Contact"_s, u"Contact"_s, u"ContactField"_s },
        { u"Company Name"_s, u"Company_Name"_s, u"Company"_s },
        { u"First Name"_s, u"First"_s, u"FirstNane"_s },
        { u"Last Name"_s, u"Last"_s, u"LastName"_s },
        { u"Email Address 1"_s, u"Email1"_s, u"EmailOne"_s },
        { u"Email Address 2"_s, u"Email2"_s, u"EmailTwo"_s },
        { u"Email Address 3"_s, u"Email3"_s, u"EmailThree"_s },
        { u"Phone Business"_s, u"Phone_Bus"_s, u"BusPh"_s },
        { u"Phone Home"_s, u"Phone_Home1"_s, u"HomePh"_s },
        { u"Buiness Fax"_s, u"Phone_BusFax"_s, u"BusFax"_s },
        { u"Mobile"_s, u"Phone_Mobile"_s, u"Mobile"_s },
        { u"Car Phone"_s, u"Phone_Car"_s, u"Car"_s },
        // Clients are often known by where they are. The client window keeps the business
        // address as one text, so the suburb is a word of it, wherever it stands.
        { u"Suburb"_s, u"Bus_Address"_s, u"ContactField"_s, true },
    };
    return fields;
}

TfrmFinder::TfrmFinder(TDM *dm, QWidget *parent)
    : QDialog(parent)
    , TQVForm(this)
    , m_dm(dm)
    , m_clients(named(new TQVDataSource(this), u"dsClients"_s))
    , m_quotes(named(new TQVDataSource(this), u"dsCriteriaQuotes"_s))
    , m_jobs(named(new TQVDataSource(this), u"dsCriteriaJobs"_s))
    , m_select(nullptr)
    , m_search(named(new QLineEdit(this), u"edtSearch"_s))
    , m_searchBy(named(new QComboBox(this), u"cboSearchBy"_s))
    , m_clientGrid(named(new TQVDBGrid(this), u"grdFinderClient"_s))
    , m_pages(named(new TQVPageControl(this), u"pgFinder"_s))
{
    HelpRequest::install(this, HelpContext);
    setObjectName(u"frmFinder"_s);
    setWindowTitle(u"Job and Quote Finder"_s);
    setModal(true);
    setSizeGripEnabled(true);
    m_clients->setDataSet(dm->tblClients);
    m_quotes->setDataSet(dm->tblCriteriaQuotes);
    m_jobs->setDataSet(dm->tblCriteriaJobs);

    auto *bar = named(new QToolBar(this), u"tbFinder"_s);
    m_select = SetupWidgets::toolButton(bar, u"btnSelect"_s, u"Select Quote"_s);
    auto *editClientButton = SetupWidgets::toolButton(bar, u"btnEditClient"_s, u"Edit Client"_s);
    bar->addSeparator();
    auto *closeButton = SetupWidgets::toolButton(bar, u"btnClose"_s, u"Close"_s);
    connect(m_select, &QToolButton::clicked, this, &TfrmFinder::btnSelectClick);
    connect(editClientButton, &QToolButton::clicked, this, &TfrmFinder::btnEditClientClick);
    connect(closeButton, &QToolButton::clicked, this, &TfrmFinder::btnCloseClick);

    m_search->setMaxLength(100);
    for (const SearchField &field : searchFields())
        m_searchBy->addItem(field.item);
    m_searchBy->setCurrentIndex(0);
    auto *searchPanel = named(new QWidget(this), u"panSearch"_s);
    auto *searchLayout = new QGridLayout(searchPanel);
    searchLayout->addWidget(new QLabel(u"Search String"_s, searchPanel), 0, 0);
    searchLayout->addWidget(new QLabel(u"Search by"_s, searchPanel), 0, 1);
    searchLayout->addWidget(m_search, 1, 0);
    searchLayout->addWidget(m_searchBy, 1, 1);
    searchLayout->setColumnStretch(0, 1);

    m_clientGrid->setDataSource(m_clients);
    m_clientGrid->setRowSelect(true);
    m_clientGrid->setColumns({ { u"Company_Name"_s, u"Company Name"_s, 120, true },
        { u"Contact"_s, {}, 120, true }, { u"First"_s, u"First Name"_s, 80, true },
        { u"Last"_s, u"Last Name"_s, 80, true }, { u"Email1"_s, u"Email 1"_s, 100, true },
        { u"Email2"_s, u"Email 2"_s, 100, true }, { u"Email3"_s, u"Email 3"_s, 100, true },
        { u"Phone_Bus"_s, u"Business Phone"_s, 90, true },
        { u"Phone_Home1"_s, u"Home Phone"_s, 90, true },
        { u"Phone_BusFax"_s, u"Fax Business"_s, 90, true },
        { u"Phone_Mobile"_s, u"Phone Mobile"_s, 90, true },
        { u"Phone_Car"_s, u"Phone Car"_s, 90, true },
        // Shown as well, since the list can be searched by its suburb.
        { u"Bus_Address"_s, u"Business Address"_s, 150, true } });
    m_clientGrid->setRegistryKeyName(u"Tessorin\\FinderClient"_s);

    auto *quotes = named(new TQVDBGrid(this), u"grdCriteriaQuotes"_s);
    quotes->setDataSource(m_quotes);
    quotes->setRowSelect(true);
    quotes->setColumns({ { u"Quote_No"_s, u"Quote No"_s, 70, true },
        { u"QuoteDescription"_s, u"Description"_s, 150, true }, { u"Date"_s, {}, 75, true },
        { u"DueDate"_s, u"Due Date"_s, 75, true }, { u"QuoteTotal"_s, u"Total"_s, 80, true } });
    auto *jobs = named(new TQVDBGrid(this), u"grdCriteriaJobs"_s);
    jobs->setDataSource(m_jobs);
    jobs->setRowSelect(true);
    jobs->setColumns({ { u"Job_No"_s, u"Job No"_s, 70, true },
        { u"JobDescription"_s, u"Description"_s, 150, true }, { u"Date"_s, {}, 75, true },
        { u"DueDate"_s, u"Due Date"_s, 75, true }, { u"JobTotal"_s, u"Total"_s, 80, true },
        { u"PercentComplete"_s, u"% Complete"_s, 70, true } });
    m_pages->addTab(quotes, u"Quotes"_s);
    m_pages->addTab(jobs, u"Jobs"_s);

    auto *split = named(new QSplitter(Qt::Horizontal, this), u"splFinder"_s);
    split->addWidget(m_clientGrid);
    split->addWidget(m_pages);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    auto *status = named(new QStatusBar(this), u"sbFinder"_s);
    status->setSizeGripEnabled(false);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(bar);
    layout->addWidget(searchPanel);
    layout->addWidget(split, 1);
    layout->addWidget(status);

    connect(m_pages, &QTabWidget::currentChanged, this, &TfrmFinder::pgFinderChange);
    connect(m_searchBy, &QComboBox::currentIndexChanged, this, &TfrmFinder::cboSearchByChange);
    connect(m_search, &QLineEdit::textEdited, this, &TfrmFinder::edtSearchChange);
    for (auto signal : { &DataSource::currentChanged, &DataSource::dataChanged })
        connect(m_clients, signal, this, &TfrmFinder::clientChanged);

    formLoaded();
    cboSearchByChange(0);
    m_pages->setCurrentIndex(0);
    pgFinderChange();
    clientChanged();
    resize(820, 420);
}

TfrmFinder::~TfrmFinder()
{
    if (!m_closed)
        done(QDialog::Rejected);
}

void TfrmFinder::clientChanged()
{
    if (m_closed)
        return;
    runGuarded(this, [this] { m_dm->FilterCriteriaByClient(); });
}

void TfrmFinder::pgFinderChange()
{
    m_select->setText(m_pages->currentIndex() == 0 ? u"Select Quote"_s : u"Select Job"_s);
}

void TfrmFinder::cboSearchByChange(int index)
{
    if (index < 0 || index >= searchFields().size())
        return;
    const SearchField &chosen = searchFields().at(index);
    m_searchField = chosen.field;
    m_searchAnyWord = chosen.anyWord;
    runGuarded(this, [&] {
        if (chosen.index.isEmpty())
            m_dm->tblClients->setIndexFieldNames(chosen.field);
        else
            m_dm->tblClients->setIndexName(chosen.index);
        // What is already typed is looked for in the new order.
        if (!m_search->text().isEmpty())
            searchClients(m_search->text());
    });
}

void TfrmFinder::edtSearchChange(const QString &text)
{
    runGuarded(this, [&] { searchClients(text); });
}

void TfrmFinder::searchClients(const QString &text)
{
    if (m_searchAnyWord)
        ClientSearch::moveToFirstWordMatch(*m_dm->tblClients, m_searchField, text);
    else
        ClientSearch::moveToFirstMatch(*m_dm->tblClients, m_searchField, text);
}

void TfrmFinder::btnSelectClick()
{
    runGuarded(this, [this] {
        const bool quotes = m_pages->currentIndex() == 0;
        TQVDataSource *list = quotes ? m_quotes : m_jobs;
        TableView *view = list->dataSet();
        m_kind = quotes ? u"Quotes"_s : u"Jobs"_s;
        m_id = view->isEmpty() ? 0
                               : view->fieldByName(quotes ? u"Quote_ID"_s : u"Job_ID"_s)->asFloat();
    });
    accept();
}

void TfrmFinder::btnEditClientClick()
{
    runGuarded(this, [this] {
        if (editClient && !m_dm->tblClients->isEmpty())
            editClient(this);
    });
}

void TfrmFinder::btnCloseClick()
{
    m_kind.clear();
    m_id = 0;
    reject();
}

void TfrmFinder::done(int result)
{
    if (!m_closed) {
        m_closed = true;
        runGuarded(this, [this] {
            m_dm->ClearCriteriaFilter();
            // The client list goes back to its usual order for the windows that follow.
            m_dm->tblClients->setIndexFieldNames(u"Contact"_s);
        });
    }
    QDialog::done(result);
}

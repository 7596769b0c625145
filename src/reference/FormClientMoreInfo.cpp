#include "reference/FormClientMoreInfo.h"

#include "controls/window/CommandGuard.h"
#include "controls/window/HelpRequest.h"
#include "controls/dataaware/FieldLineEdit.h"
#include "controls/dataaware/FieldPlainTextEdit.h"
#include "controls/window/TQVPageControl.h"
#include "data/DataModuleMain.h"
#include "engine/Field.h"
#include "reference/ContactName.h"
#include "reference/FormFullName.h"
#include "reference/ReferenceWidgets.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using namespace ReferenceWidgets;

namespace {

QComboBox *selector(QWidget *parent, const QString &name, const QStringList &items)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItems(items);
    return box;
}

void bindTo(const QStringList &fields, int index, auto *control)
{
    if (index >= 0 && index < fields.size())
        control->setDataField(fields.at(index));
}

} // namespace

QStringList TfrmClient::addressItems()
{
    return { u"Business"_s, u"Home"_s, u"Other"_s };
}

QStringList TfrmClient::addressFields()
{
    return { u"Bus_Address"_s, u"Hm_Address"_s, u"Other_Address"_s };
}

QStringList TfrmClient::phoneItems(bool firstRow)
{
    return { u"Business"_s, u"Business 2"_s, u"Business Fax"_s, u"Home Fax "_s,
        firstRow ? u"Home "_s : u"Home"_s, u"Home 2"_s, u"Mobile"_s, u"Car"_s, u"Company"_s,
        u"Pager"_s };
}

QStringList TfrmClient::phoneFields()
{
    return { u"Phone_Bus"_s, u"Phone_Bus2"_s, u"Phone_BusFax"_s, u"Phone_HmFax"_s, u"Phone_Home1"_s,
        u"Phone_Home2"_s, u"Phone_Mobile"_s, u"Phone_Car"_s, u"Phone_Company"_s, u"Phone_Pager"_s };
}

QStringList TfrmClient::emailItems()
{
    return { u"Email"_s, u"Email 2"_s, u"Email 3"_s };
}

QStringList TfrmClient::emailFields()
{
    return { u"Email1"_s, u"Email2"_s, u"Email3"_s };
}

TfrmClient::TfrmClient(TDM *dm, Mode mode, QWidget *parent)
    : QDialog(parent)
    , TQVForm(this)
    , m_dm(dm)
    , m_clients(link(this, u"dsClients"_s, dm->tblClients))
{
    setObjectName(u"frmClient"_s);
    setWindowTitle(u"Client Details"_s);

    QToolBar *bar = toolBar(this, u"tbClient"_s);
    connect(command(bar, u"btnSaveClose"_s, u"Save and Close"_s, QStyle::SP_DialogSaveButton),
        &QAction::triggered, this, &TfrmClient::btnSaveCloseClick);
    connect(command(bar, u"btnNewClient"_s, u"New Client"_s, QStyle::SP_FileIcon),
        &QAction::triggered, this, &TfrmClient::btnNewClientClick);
    bar->addSeparator();
    connect(command(bar, u"btnCancel"_s, u"Cancel"_s, QStyle::SP_DialogCancelButton),
        &QAction::triggered, this, &TfrmClient::btnCancelClick);

    auto *pages = new TQVPageControl(this);
    pages->setObjectName(u"pgcClient"_s);
    pages->addTab(buildAddressPage(), u"Address Details"_s);

    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(bar);
    layout->addWidget(pages);
    resize(560, 460);
    setFixedSize(size());

    HelpRequest::install(this, HelpContext);
    formLoaded();
    FormShow(mode);
}

TfrmClient::~TfrmClient() = default;

QWidget *TfrmClient::buildAddressPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(u"tsAddressDetails"_s);
    auto *grid = new QGridLayout(page);

    auto *fullName = new QPushButton(u"&Full Name..."_s, page);
    fullName->setObjectName(u"btnFullName"_s);
    fullName->setAutoDefault(false);
    connect(fullName, &QPushButton::clicked, this, &TfrmClient::btnFullNameClick);
    m_contact = boundEdit(page, m_clients, u"feContact"_s, u"Contact"_s);
    grid->addWidget(fullName, 0, 0);
    grid->addWidget(m_contact, 0, 1, 1, 3);

    auto *company = boundEdit(page, m_clients, u"feCompany"_s, u"Company_Name"_s);
    auto *companyLabel = new QLabel(u"Compan&y:"_s, page);
    companyLabel->setBuddy(company);
    grid->addWidget(companyLabel, 1, 0);
    grid->addWidget(company, 1, 1, 1, 3);
    grid->addWidget(new QLabel(u"Job title:"_s, page), 2, 0);
    grid->addWidget(boundEdit(page, m_clients, u"feJobTitle"_s, u"Job_Title"_s), 2, 1, 1, 3);

    grid->addWidget(new QLabel(u"Address:"_s, page), 3, 0);
    m_address = selector(page, u"cboAddress"_s, addressItems());
    m_addressMemo = new FieldPlainTextEdit(page);
    m_addressMemo->setObjectName(u"feAddress"_s);
    m_addressMemo->setDataSource(m_clients);
    m_addressMemo->setMaximumHeight(80);
    grid->addWidget(m_address, 4, 0, Qt::AlignTop);
    grid->addWidget(m_addressMemo, 3, 1, 2, 1);

    grid->addWidget(new QLabel(u"Phone:"_s, page), 3, 2);
    auto *phones = new QGridLayout;
    for (int row = 0; row < int(m_phones.size()); ++row) {
        m_phoneKinds[row] = selector(page, u"cboPhone%1"_s.arg(row + 1), phoneItems(row == 0));
        m_phones[row] = boundEdit(page, m_clients, u"fePhone%1"_s.arg(row + 1), QString());
        phones->addWidget(m_phoneKinds[row], row, 0);
        phones->addWidget(m_phones[row], row, 1);
        connect(m_phoneKinds[row], &QComboBox::currentIndexChanged, this,
            [this, row] { cboPhoneChange(row); });
    }
    grid->addLayout(phones, 4, 2, 1, 2);

    m_email = selector(page, u"cboEmail"_s, emailItems());
    m_emailEdit = boundEdit(page, m_clients, u"feEmail"_s, QString());
    grid->addWidget(m_email, 5, 0);
    grid->addWidget(m_emailEdit, 5, 1);
    grid->addWidget(new QLabel(u"Web page:"_s, page), 5, 2);
    grid->addWidget(boundEdit(page, m_clients, u"feWebPage"_s, u"Web_Page"_s), 5, 3);

    auto *notes = new FieldPlainTextEdit(page);
    notes->setObjectName(u"feNotes"_s);
    notes->setDataSource(m_clients);
    notes->setDataField(u"Notes"_s);
    notes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grid->addWidget(notes, 6, 0, 1, 4);
    grid->setRowStretch(6, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    connect(m_address, &QComboBox::currentIndexChanged, this, &TfrmClient::cboAddressChange);
    connect(m_email, &QComboBox::currentIndexChanged, this, &TfrmClient::cboEmailChange);
    return page;
}

void TfrmClient::FormShow(Mode mode)
{
    runGuarded(this, [&] {
        // A client with name parts but no contact gets a contact composed from them.
        TQVTable *clients = m_dm->tblClients;
        if (!clients->isEmpty() || clients->isEditing()) {
            ContactName parts;
            parts.title = clients->fieldByName(u"Title"_s)->asString();
            parts.first = clients->fieldByName(u"First"_s)->asString();
            parts.middle = clients->fieldByName(u"Middle"_s)->asString();
            parts.last = clients->fieldByName(u"Last"_s)->asString();
            const QString composed = parts.compose();
            if (!composed.isEmpty()
                && clients->fieldByName(u"Contact"_s)->asString().trimmed().isEmpty()) {
                clients->edit();
                clients->fieldByName(u"Contact"_s)->setAsString(composed);
            }
        }
        if (mode == Mode::NewClient)
            clients->insert();
    });
    m_email->setCurrentIndex(0);
    const int kinds[] = { 0, 2, 4, 6 };
    for (int row = 0; row < int(m_phoneKinds.size()); ++row)
        m_phoneKinds[row]->setCurrentIndex(kinds[row]);
    m_address->setCurrentIndex(0);
    cboAddressChange();
    cboEmailChange();
    for (int row = 0; row < int(m_phoneKinds.size()); ++row)
        cboPhoneChange(row);
}

void TfrmClient::btnSaveCloseClick()
{
    if (runGuarded(this, [this] { m_dm->tblClients->post(); }))
        accept();
}

void TfrmClient::btnNewClientClick()
{
    runGuarded(this, [this] {
        m_contact->setFocus();
        // Inserting ends the pending record first: posted when changed, dropped when not.
        m_dm->tblClients->insert();
    });
}

void TfrmClient::btnCancelClick()
{
    if (runGuarded(this, [this] { m_dm->tblClients->cancel(); }))
        reject();
}

void TfrmClient::btnFullNameClick()
{
    runGuarded(this, [this] {
        TfrmFullName name(m_dm, this);
        name.exec();
    });
}

void TfrmClient::cboAddressChange()
{
    bindTo(addressFields(), m_address->currentIndex(), m_addressMemo);
}

void TfrmClient::cboPhoneChange(int row)
{
    bindTo(phoneFields(), m_phoneKinds[row]->currentIndex(), m_phones[row]);
}

void TfrmClient::cboEmailChange()
{
    bindTo(emailFields(), m_email->currentIndex(), m_emailEdit);
}

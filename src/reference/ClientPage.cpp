#include "ClientPage.h"

#include "controls/window/Glyphs.h"
#include "controls/window/Hints.h"
#include "controls/dataaware/FieldLineEdit.h"
#include "controls/dataaware/FieldPlainTextEdit.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "controls/window/TQVPageControl.h"
#include "engine/TableView.h"
#include "reference/FormClientMoreInfo.h"
#include "reference/ReferenceWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using ReferenceWidgets::boundEdit;

namespace {

QToolButton *flatButton(QWidget *parent,
    const QString &name,
    const QString &caption,
    const QString &hint,
    Glyphs::Glyph glyph)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setIcon(Glyphs::icon(glyph));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    Hints::setHint(button, hint);
    return button;
}

// A selector of what its edit field shows; Tab reaches it like the field, so that the keyboard
// alone can choose, say, the mobile number to type.
QComboBox *selector(QWidget *parent, const QString &name, const QStringList &items)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(name);
    box->addItems(items);
    box->setFocusPolicy(Qt::StrongFocus);
    return box;
}

void showField(const QStringList &fields, int index, auto *control)
{
    // Any other index leaves the binding as it was.
    if (index >= 0 && index < fields.size())
        control->setDataField(fields.at(index));
}

} // namespace

ClientPage::ClientPage(TQVDataSource *clients, QWidget *parent)
    : QWidget(parent)
    , m_clients(clients)
    , m_select(flatButton(
          this, u"btnSelectClient"_s, u"Select"_s, u"Select Client"_s, Glyphs::Glyph::Select))
    , m_new(flatButton(this, u"btnNewClient"_s, u"New"_s, u"New Client"_s, Glyphs::Glyph::Person))
    , m_edit(
          flatButton(this, u"btnEditClient"_s, u"Edit"_s, u"Edit Clients"_s, Glyphs::Glyph::Edit))
    , m_address(selector(this, u"cboAddress"_s, TfrmClient::addressItems()))
    , m_addressMemo(new FieldPlainTextEdit(this))
    , m_email(selector(this, u"cboEmail"_s, TfrmClient::emailItems()))
    , m_emailEdit(boundEdit(this, clients, u"feEmail"_s, QString()))
{
    auto *tools = new QToolBar(this);
    tools->setObjectName(u"tbClient"_s);
    tools->setOrientation(Qt::Vertical);
    tools->addWidget(m_select);
    tools->addSeparator();
    tools->addWidget(m_new);
    tools->addSeparator();
    tools->addWidget(m_edit);

    auto *names = new QFormLayout;
    names->addRow(u"Contact:"_s, boundEdit(this, clients, u"feContact"_s, u"Contact"_s));
    auto *company = boundEdit(this, clients, u"feCompany"_s, u"Company_Name"_s);
    auto *companyLabel = new QLabel(u"Compan&y:"_s, this);
    companyLabel->setBuddy(company);
    names->addRow(companyLabel, company);
    names->addRow(u"Job title:"_s, boundEdit(this, clients, u"feJobTitle"_s, u"Job_Title"_s));

    auto *rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    m_addressMemo->setObjectName(u"feAddress"_s);
    m_addressMemo->setDataSource(clients);
    m_addressMemo->setMaximumHeight(70);
    auto *address = new QHBoxLayout;
    address->addWidget(m_address, 0, Qt::AlignTop);
    address->addWidget(m_addressMemo, 1);

    auto *pages = new TQVPageControl(this);
    pages->setObjectName(u"pageClientInfo"_s);
    pages->addTab(buildPhonePage(), u"Phone"_s);
    pages->addTab(buildInternetPage(), u"Internet"_s);
    auto *notes = new FieldPlainTextEdit(this);
    notes->setObjectName(u"feClientNotes"_s);
    notes->setDataSource(clients);
    notes->setDataField(u"Notes"_s);
    notes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    pages->addTab(notes, u"Client Notes"_s);

    // Present on the page but bound to nothing and never shown.
    for (const auto &[name, caption] : { std::pair { u"chkDefaultAddress"_s, u"Default Address"_s },
             std::pair { u"chkDefaultEmail"_s, u"Default Email Address"_s } }) {
        auto *check = new QCheckBox(caption, this);
        check->setObjectName(name);
        check->hide();
    }

    auto *fields = new QVBoxLayout;
    fields->addLayout(names);
    fields->addWidget(rule);
    fields->addLayout(address);
    fields->addWidget(pages, 1);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(tools);
    layout->addLayout(fields, 1);

    // A quote or job without a client shows no client to type into: typing there would make a
    // client that nothing points to. Select (or New, then Select) gives it one.
    for (auto signal : { &DataSource::currentChanged, &DataSource::dataChanged,
             &DataSource::stateChanged, &DataSource::dataSetChanged })
        connect(clients, signal, this, &ClientPage::followClient);
    followClient();

    connect(m_address, &QComboBox::currentIndexChanged, this, &ClientPage::cboAddressChange);
    connect(m_email, &QComboBox::currentIndexChanged, this, &ClientPage::cboEmailChange);
    for (int row = 0; row < int(m_phoneKinds.size()); ++row)
        connect(m_phoneKinds[row], &QComboBox::currentIndexChanged, this,
            [this, row] { cboPhoneChange(row); });
}

QWidget *ClientPage::buildPhonePage()
{
    auto *page = new QWidget(this);
    auto *grid = new QGridLayout(page);
    for (int row = 0; row < int(m_phones.size()); ++row) {
        m_phoneKinds[row] =
            selector(page, u"cboPhone%1"_s.arg(row + 1), TfrmClient::phoneItems(row == 0));
        m_phones[row] = boundEdit(page, m_clients, u"fePhone%1"_s.arg(row + 1), QString());
        grid->addWidget(m_phoneKinds[row], row, 0);
        grid->addWidget(m_phones[row], row, 1);
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(int(m_phones.size()), 1);
    return page;
}

QWidget *ClientPage::buildInternetPage()
{
    auto *page = new QWidget(this);
    auto *grid = new QGridLayout(page);
    m_email->setParent(page);
    m_emailEdit->setParent(page);
    grid->addWidget(m_email, 0, 0);
    grid->addWidget(m_emailEdit, 0, 1);
    grid->addWidget(new QLabel(u"Web page:"_s, page), 1, 0);
    grid->addWidget(boundEdit(page, m_clients, u"feWebPage"_s, u"Web_Page"_s), 1, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);
    return page;
}

void ClientPage::followClient()
{
    TableView *view = m_clients->dataSet();
    const bool shown = view && view->active() && (view->isEditing() || !view->isEmpty());
    for (QWidget *field : findChildren<FieldLineEdit *>())
        field->setEnabled(shown);
    for (QWidget *field : findChildren<FieldPlainTextEdit *>())
        field->setEnabled(shown);
}

void ClientPage::setInitialSelectors()
{
    m_address->setCurrentIndex(0);
    cboAddressChange();
    m_email->setCurrentIndex(0);
    cboEmailChange();
    const int kinds[] = { 0, 2, 4, 6 };
    for (int row = 0; row < int(m_phoneKinds.size()); ++row) {
        m_phoneKinds[row]->setCurrentIndex(kinds[row]);
        cboPhoneChange(row);
    }
}

void ClientPage::cboAddressChange()
{
    showField(TfrmClient::addressFields(), m_address->currentIndex(), m_addressMemo);
}

void ClientPage::cboPhoneChange(int row)
{
    showField(TfrmClient::phoneFields(), m_phoneKinds[row]->currentIndex(), m_phones[row]);
}

void ClientPage::cboEmailChange()
{
    showField(TfrmClient::emailFields(), m_email->currentIndex(), m_emailEdit);
}

#include "reference/FormFullName.h"

#include "controls/dataaware/FieldLineEdit.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "controls/window/CommandGuard.h"
#include "data/DataModuleMain.h"
#include "data/Errors.h"
#include "engine/Field.h"
#include "reference/ContactName.h"
#include "reference/ReferenceWidgets.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using namespace ReferenceWidgets;

TfrmFullName::TfrmFullName(TDM *dm, QWidget *parent)
    : QDialog(parent, Qt::Tool)
    , m_dm(dm)
    , m_clients(link(this, u"dsClients"_s, dm->tblClients))
    , m_title(new QComboBox(this))
{
    setObjectName(u"frmFullName"_s);
    setWindowTitle(u"Full Name"_s);

    auto *group = new QGroupBox(u"Name Details "_s, this);
    group->setObjectName(u"grpNameDetails"_s);
    m_title->setParent(group);
    m_title->setObjectName(u"cboTitle"_s);
    m_title->setEditable(true);
    m_title->setInsertPolicy(QComboBox::NoInsert);
    m_title->addItems(titles());
    m_title->setCurrentIndex(-1);
    connect(m_title, &QComboBox::editTextChanged, this, &TfrmFullName::cboTitleChange);
    auto *fields = new QFormLayout(group);
    fields->addRow(u"Title:"_s, m_title);
    fields->addRow(u"First:"_s, boundEdit(group, m_clients, u"feFirst"_s, u"First"_s));
    fields->addRow(u"Middle:"_s, boundEdit(group, m_clients, u"feMiddle"_s, u"Middle"_s));
    fields->addRow(u"Last:"_s, boundEdit(group, m_clients, u"feLast"_s, u"Last"_s));

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QDialogButtonBox::Ok);
    ok->setObjectName(u"btnOK"_s);
    ok->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel)->setObjectName(u"btnCancel"_s);
    connect(ok, &QPushButton::clicked, this, &TfrmFullName::btnOKClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
    resize(300, 200);

    FormShow();
}

TfrmFullName::~TfrmFullName() = default;

QStringList TfrmFullName::titles()
{
    return { u"Dr."_s, u"Miss."_s, u"Mr."_s, u"Ms."_s, u"Mrs."_s, u"Prof."_s };
}

void TfrmFullName::FormShow()
{
    runGuarded(this, [this] {
        TQVTable *clients = m_dm->tblClients;
        clients->edit();
        m_split = ContactName::split(clients->fieldByName(u"Contact"_s)->asString());
        clients->fieldByName(u"Title"_s)->setAsString(m_split.title);
        clients->fieldByName(u"First"_s)->setAsString(m_split.first);
        clients->fieldByName(u"Middle"_s)->setAsString(m_split.middle);
        clients->fieldByName(u"Last"_s)->setAsString(m_split.last);
        m_shown.title = clients->fieldByName(u"Title"_s)->asString();
        m_shown.first = clients->fieldByName(u"First"_s)->asString();
        m_shown.middle = clients->fieldByName(u"Middle"_s)->asString();
        m_shown.last = clients->fieldByName(u"Last"_s)->asString();
        m_loading = true;
        m_title->setEditText(m_split.title);
        m_loading = false;
    });
}

void TfrmFullName::cboTitleChange(const QString &text)
{
    if (m_loading)
        return;
    runGuarded(this, [&] {
        if (m_dm->tblClients->isEditing())
            m_dm->tblClients->fieldByName(u"Title"_s)->setAsString(text.trimmed());
    });
}

void TfrmFullName::btnOKClick()
{
    const bool done = runGuarded(this, [this] {
        TQVTable *clients = m_dm->tblClients;
        // The edits store what is still being typed before the name is composed from them.
        emit clients->updateRecord();
        const auto part = [&](const QString &field, QString ContactName::*member) {
            const QString now = clients->fieldByName(field)->asString();
            return now == m_shown.*member ? m_split.*member : now;
        };
        ContactName name;
        name.title = m_title->currentText().trimmed();
        if (name.title == m_shown.title)
            name.title = m_split.title;
        name.first = part(u"First"_s, &ContactName::first);
        name.middle = part(u"Middle"_s, &ContactName::middle);
        name.last = part(u"Last"_s, &ContactName::last);
        const Field *contact = clients->fieldByName(u"Contact"_s);
        if (name.compose().size() > contact->size()) {
            throw EQuorvane(u"The full name is longer than the %1 characters a contact can "
                            "hold. Please shorten it."_s.arg(contact->size()));
        }
        if (clients->isEditing()) {
            clients->fieldByName(u"Title"_s)->setAsString(name.title);
            clients->fieldByName(u"Contact"_s)->setAsString(name.compose());
        }
    });
    if (done)
        accept();
}

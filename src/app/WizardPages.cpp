// The pages the wizards have in common.
#include "FormMDWizard.h"
#include "app/DetailsPage.h"
#include "controls/window/Glyphs.h"
#include "app/HelpWindow.h"
#include "controls/window/Hints.h"
#include "controls/dataaware/FieldComboBox.h"
#include "controls/dataaware/FieldDateEdit.h"
#include "controls/dataaware/FieldLineEdit.h"
#include "controls/dataaware/FieldLookupComboBox.h"
#include "controls/window/TQVPageControl.h"
#include "controls/window/CommandGuard.h"
#include "reference/FormClientMoreInfo.h"

#include <QFormLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString DateHint = u"|Enter a date in the format d/MM/yy"_s;
constexpr int DateContext = 1001;

QLabel *text(QWidget *parent, const QString &caption)
{
    auto *label = new QLabel(caption, parent);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

// A bold title on a raised panel.
QLabel *raisedTitle(QWidget *parent, const QString &caption)
{
    QLabel *label = text(parent, caption);
    QFont bold = label->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    label->setFont(bold);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Raised);
    label->setMargin(6);
    return label;
}

template <typename Control>
Control *bound(Control *control, const QString &name, TQVDataSource *source, const QString &field)
{
    control->setObjectName(name);
    control->setDataSource(source);
    control->setDataField(field);
    return control;
}

} // namespace

QWidget *TfrmWiz::newPage(const QString &name)
{
    auto *page = new QWidget(m_pages);
    page->setObjectName(name);
    m_pages->addTab(page, name);
    return page;
}

QWidget *TfrmWiz::addIntroPage(
    const QString &title, const QString &lead, const QStringList &steps, const QString &name)
{
    QWidget *page = newPage(name);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(raisedTitle(page, title));
    layout->addSpacing(10);
    layout->addWidget(text(page, lead));
    for (const QString &step : steps)
        layout->addWidget(text(page, step));
    layout->addStretch();
    return page;
}

QWidget *TfrmWiz::addFinishPage(const QStringList &texts, const QString &name)
{
    QWidget *page = newPage(name);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(raisedTitle(page, u"Finished!"_s));
    layout->addSpacing(10);
    for (const QString &caption : texts) {
        layout->addWidget(text(page, caption));
        layout->addSpacing(6);
    }
    layout->addStretch();
    return page;
}

QWidget *TfrmWiz::addDetailsPage(TQVDataSource *header,
    const QString &numberCaption,
    const QString &numberField,
    const QString &descriptionField,
    const QString &name)
{
    QWidget *page = newPage(name);
    auto *form = new QFormLayout(page);
    form->addRow(numberCaption, bound(new FieldLineEdit(page), u"edtNumber"_s, header, numberField));
    form->addRow(u"Description"_s,
        bound(new FieldLineEdit(page), u"edtDescription"_s, header, descriptionField));
    for (const auto &[caption, field, objectName] :
        { std::tuple { u"Date"_s, u"Date"_s, u"dtDate"_s },
            std::tuple { u"Due Date"_s, u"DueDate"_s, u"dtDueDate"_s } }) {
        auto *date = bound(new FieldDateEdit(page), objectName, header, field);
        Hints::setHint(date, DateHint);
        HelpWindow::setContext(date, DateContext);
        date->setMaximumWidth(120);
        form->addRow(caption, date);
    }
    auto *priority = new FieldComboBox(page);
    priority->setItems(
        DetailsPage::priorityTexts().mid(0, 9), DetailsPage::priorityValues().mid(0, 9));
    form->addRow(u"Priority"_s, bound(priority, u"cboPriority"_s, header, u"Priority"_s));
    auto *status = new FieldComboBox(page);
    status->setItems({ u"Completed"_s, u"Hold"_s, u"In Progress"_s, u"Pending"_s },
        { u"C"_s, u"H"_s, u"I"_s, u"P"_s });
    form->addRow(u"Status"_s, bound(status, u"cboStatus"_s, header, u"Status"_s));
    return page;
}

QWidget *TfrmWiz::addClientPage(TDM *dm,
    TQVDataSource *header,
    TQVDataSource *clients,
    const QString &buttonCaption,
    const QString &name)
{
    QWidget *page = newPage(name);
    auto *layout = new QVBoxLayout(page);
    QLabel *select = text(page, u"Select Client:"_s);
    QFont bold = select->font();
    bold.setBold(true);
    select->setFont(bold);
    layout->addWidget(select);
    for (const auto &[caption, listField, objectName] :
        { std::tuple { u"Contact:"_s, u"Contact"_s, u"lkpContact"_s },
            std::tuple { u"Company Name:"_s, u"Company_Name"_s, u"lkpCompany"_s } }) {
        layout->addWidget(text(page, caption));
        auto *lookup = new FieldLookupComboBox(page);
        lookup->setListSource(clients);
        lookup->setKeyField(u"Client_ID"_s);
        lookup->setListField(listField);
        lookup->setDropDownRows(10);
        layout->addWidget(bound(lookup, objectName, header, u"Client_ID"_s));
    }
    auto *add = new QToolButton(page);
    add->setObjectName(u"btnAddClient"_s);
    add->setText(buttonCaption);
    add->setIcon(Glyphs::icon(Glyphs::Glyph::Person));
    add->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    add->setAutoRaise(true);
    Hints::setHint(add, u"New Client"_s);
    // The new client is not the header's client by itself; the user picks it in the lookups.
    connect(add, &QToolButton::clicked, this, [this, dm] {
        runGuarded(this, [this, dm] {
            TfrmClient client(dm, TfrmClient::Mode::NewClient, this);
            client.exec();
        });
    });
    layout->addSpacing(8);
    layout->addWidget(add, 0, Qt::AlignLeft);
    layout->addStretch();
    return page;
}

#include "DetailsPage.h"

#include "controls/window/Glyphs.h"
#include "app/HeaderBinding.h"
#include "app/HelpWindow.h"
#include "controls/window/Hints.h"
#include "controls/dataaware/FieldComboBox.h"
#include "controls/dataaware/FieldDateEdit.h"
#include "controls/dataaware/FieldLineEdit.h"
#include "controls/dataaware/FieldLookupComboBox.h"
#include "controls/dataaware/FieldSpinBox.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

const QString DateHint = u"|Enter a date in the format d/MM/yy"_s;
constexpr int DateContext = 1001;

template <typename Widget> Widget *named(Widget *widget, const QString &objectName)
{
    widget->setObjectName(objectName);
    return widget;
}

} // namespace

QStringList DetailsPage::priorityTexts()
{
    return { u"Life & Death"_s, u"Super Urgent"_s, u"Urgent"_s, u"Please Hurry"_s, u"Normal"_s,
        u"Inquiry"_s, u"Not Urgent"_s, u"When Free"_s, u"Whenever"_s, QString() };
}

QVariantList DetailsPage::priorityValues()
{
    // The tenth, empty entry stores nothing.
    return { 1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0, QVariant() };
}

DetailsPage::DetailsPage(TQVDataSource *salesSource, QWidget *parent)
    : QWidget(parent)
    , m_number(named(new FieldLineEdit(this), u"eNo"_s))
    , m_description(named(new FieldLineEdit(this), u"feDescription"_s))
    , m_date(named(new FieldDateEdit(this), u"feDate"_s))
    , m_dueDate(named(new FieldDateEdit(this), u"feDueDate"_s))
    , m_priority(named(new FieldComboBox(this), u"fePriority"_s))
    , m_status(named(new FieldComboBox(this), u"feStatus"_s))
    , m_salesPerson(named(new FieldLookupComboBox(this), u"DBSalesPerson"_s))
    , m_addSalesPerson(named(new QToolButton(this), u"btnAddSalesPerson"_s))
    , m_percentLabel(named(new QLabel(u"Percent Complete"_s, this), u"lblPercent"_s))
    , m_percent(named(new FieldSpinBox(this), u"fePercent"_s))
    , m_percentSign(named(new QLabel(u"%"_s, this), u"lblPercentSign"_s))
{
    // The number is given by the system: shown grey and never typed into.
    m_number->setFieldReadOnly(true);
    m_number->setFocusPolicy(Qt::NoFocus);
    QPalette grey = m_number->palette();
    grey.setColor(QPalette::Base, palette().color(QPalette::Window));
    m_number->setPalette(grey);
    m_number->setMaximumWidth(160);

    for (FieldDateEdit *date : { m_date, m_dueDate }) {
        Hints::setHint(date, DateHint);
        HelpWindow::setContext(date, DateContext);
        date->setMaximumWidth(120);
    }
    m_priority->setItems(priorityTexts(), priorityValues());
    m_status->setItems({ u"Completed"_s, u"Hold"_s, u"In Progress"_s, u"Pending"_s },
        { u"C"_s, u"H"_s, u"I"_s, u"P"_s });
    m_priority->setMinimumWidth(140);
    m_status->setMinimumWidth(140);

    m_salesPerson->setListSource(salesSource);
    m_salesPerson->setKeyField(u"Salesman"_s);
    m_salesPerson->setListField(u"Salesman"_s);
    m_salesPerson->setDropDownWidth(121);
    m_salesPerson->setMinimumWidth(140);
    m_addSalesPerson->setIcon(Glyphs::icon(Glyphs::Glyph::Person));
    m_addSalesPerson->setAutoRaise(true);
    Hints::setHint(m_addSalesPerson, u"Add New Sales Person"_s);

    m_percent->setDecimals(0);
    m_percent->setRange(0, 99999);
    m_percent->setSingleStep(1);
    m_percent->setMaximumWidth(90);

    auto *grid = new QGridLayout(this);
    int row = 0;
    const auto addRow = [&](const QString &caption, QWidget *field, QWidget *extra = nullptr) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
        if (extra) {
            auto *pair = new QHBoxLayout;
            pair->addWidget(field);
            pair->addWidget(extra);
            pair->addStretch();
            grid->addLayout(pair, row, 1);
        } else if (field == m_description) {
            grid->addWidget(field, row, 1);
        } else {
            grid->addWidget(field, row, 1, Qt::AlignLeft);
        }
        ++row;
        return label;
    };
    addRow(u"Number"_s, m_number);
    addRow(u"Description"_s, m_description);
    addRow(u"Date"_s, m_date);
    addRow(u"Due Date"_s, m_dueDate);
    addRow(u"Priority"_s, m_priority);
    addRow(u"Status"_s, m_status);
    addRow(u"Prepared by:"_s, m_salesPerson, m_addSalesPerson);
    grid->addWidget(m_percentLabel, row, 0);
    auto *percent = new QHBoxLayout;
    percent->addWidget(m_percent);
    percent->addWidget(m_percentSign);
    percent->addStretch();
    grid->addLayout(percent, row, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row + 1, 1);
}

void DetailsPage::bindHeader(TQVDataSource *header, bool job)
{
    const HeaderFields fields = job ? HeaderFields::job() : HeaderFields::quote();
    rebindField(m_number, header, fields.number);
    rebindField(m_description, header, fields.description);
    rebindField(m_date, header, u"Date"_s);
    rebindField(m_dueDate, header, u"DueDate"_s);
    rebindField(m_priority, header, u"Priority"_s);
    rebindField(m_status, header, u"Status"_s);
    rebindField(m_salesPerson, header, u"SalesPerson"_s);
    if (job) {
        rebindField(m_percent, header, u"PercentComplete"_s);
    } else {
        m_percent->setDataField(QString());
        m_percent->setDataSource(nullptr);
    }
    m_percentLabel->setVisible(job);
    m_percent->setVisible(job);
    m_percentSign->setVisible(job);
}

#include "BusinessDetails.h"

#include "controls/dataaware/FieldLineEdit.h"
#include "controls/dataaware/FieldPlainTextEdit.h"
#include "reference/SetupWidgets.h"

#include <QFormLayout>
#include <QLabel>

using namespace Qt::StringLiterals;
using SetupWidgets::named;

BusinessDetails::BusinessDetails(TQVDataSource *business, QWidget *parent)
    : QWidget(parent)
{
    auto *form = new QFormLayout(this);
    form->setContentsMargins(0, 0, 0, 0);
    // Each edit takes at most what its field holds, from the field's declared width.
    const auto edit = [&](const QString &name, const QString &field, const QString &caption) {
        auto *editor = named(new FieldLineEdit(this), name);
        editor->setDataSource(business);
        editor->setDataField(field);
        form->addRow(caption, editor);
    };
    edit(u"feCompanyName"_s, u"Company_Name"_s, u"Company Name"_s);
    auto *address = named(new FieldPlainTextEdit(this), u"feAddress"_s);
    address->setDataSource(business);
    address->setDataField(u"Address"_s);
    address->setTabChangesFocus(true);
    address->setFixedHeight(70);
    form->addRow(u"Address"_s, address);
    edit(u"fePhone"_s, u"Phone_No"_s, u"Phone Number"_s);
    edit(u"feFax"_s, u"Phone_Fax"_s, u"Fax Number"_s);
    edit(u"feEmail"_s, u"Email_Address"_s, u"Email Address (optional)"_s);
    edit(u"feACN"_s, u"ACN"_s, u"ACN (optional)"_s);
}

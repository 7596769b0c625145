#include "FormOptions.h"

#include "controls/dataaware/FieldLineEdit.h"
#include "controls/dataaware/TQVDBGridSrc.h"
#include "controls/dataaware/TQVDBRichEdit.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "controls/window/CommandGuard.h"
#include "controls/window/HelpRequest.h"
#include "controls/window/Hints.h"
#include "controls/window/TQVPageControl.h"
#include "data/DataModuleMain.h"
#include "reference/SetupWidgets.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using SetupWidgets::named;

namespace {

constexpr int GeneralHelp = 22;
constexpr int TaxRatesHelp = 7;
constexpr int NumbersHelp = 8;

} // namespace

TfrmOptions::TfrmOptions(TDM *dm, QWidget *parent)
    : QDialog(parent)
    , TQVForm(this)
    , m_dm(dm)
    , m_taxRates(link(u"dsTaxRates"_s, dm->tblTaxRates))
    , m_nextQuote(link(u"dsNextQuote"_s, dm->tblNextQuote))
    , m_nextJob(link(u"dsNextJob"_s, dm->tblNextJob))
    , m_business(link(u"dsBusiness"_s, dm->tblBusiness))
    , m_pages(named(new TQVPageControl(this), u"pgOptions"_s))
{
    HelpRequest::install(this, GeneralHelp);
    setObjectName(u"frmOptions"_s);
    setWindowTitle(u"Options"_s);
    setModal(true);
    runGuarded(this, [dm] {
        for (TQVTable *single : { dm->tblNextQuote, dm->tblNextJob, dm->tblBusiness }) {
            if (!single->isEditing())
                single->first();
        }
    });

    m_pages->addTab(generalPage(), u"General"_s);
    m_pages->addTab(taxRatesPage(), u"Tax Rates"_s);
    m_pages->addTab(numberPage(false), u"Quote "_s);
    m_pages->addTab(numberPage(true), u"Jobs"_s);

    auto *ok = named(new QPushButton(u"OK"_s, this), u"btnOK"_s);
    m_ok = ok;
    auto *cancel = named(new QPushButton(u"&Cancel"_s, this), u"btnCancel"_s);
    // Enter stores what was typed into a field; it does not close the dialog.
    for (QPushButton *button : { ok, cancel })
        button->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &TfrmOptions::btnOKClick);
    connect(cancel, &QPushButton::clicked, this, &TfrmOptions::btnCancelClick);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addLayout(buttons);

    formLoaded();
    runGuarded(this, [this, dm] {
        // A setting that was never written counts as not set.
        m_hideQuotes->setChecked(dm->ReadSettingFlag(u"Options"_s, u"QuoteComplete"_s));
        m_hideJobs->setChecked(dm->ReadSettingFlag(u"Options"_s, u"JobComplete"_s));
    });
    setFixedSize(460, 380);
}

TQVDataSource *TfrmOptions::link(const QString &name, TQVTable *table)
{
    auto *source = named(new TQVDataSource(this), name);
    source->setDataSet(table);
    return source;
}

QWidget *TfrmOptions::generalPage()
{
    auto *page = named(new QWidget(this), u"tsGeneral"_s);
    SetupWidgets::setHelpContext(page, GeneralHelp);
    auto *group = named(new QGroupBox(u"Action when Completed  "_s, page), u"grpCompleted"_s);
    m_hideQuotes = named(new QCheckBox(u"Hide Quotes"_s, group), u"chkHideQuotes"_s);
    Hints::setHint(m_hideQuotes, u"This will stop completed Quotes show in the Quote List"_s);
    m_hideJobs = named(new QCheckBox(u"Hide Jobs"_s, group), u"chkHideJobs"_s);
    // The hint is the one the window has always shown.
    Hints::setHint(m_hideJobs, u"This will stop completed Quotes show in the Job List"_s);
    auto *inner = new QVBoxLayout(group);
    inner->addWidget(m_hideQuotes);
    inner->addWidget(m_hideJobs);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(group);
    layout->addStretch();
    return page;
}

QWidget *TfrmOptions::taxRatesPage()
{
    auto *page = named(new QWidget(this), u"tsTaxRates"_s);
    SetupWidgets::setHelpContext(page, TaxRatesHelp);
    auto *grid = named(new TQVDBGrid(page), u"grdTaxRates"_s);
    grid->setDataSource(m_taxRates);
    grid->setColumns(
        { { u"Tax_Rate"_s, u"Tax Rate (%)"_s, 90, true }, { u"Description"_s, {}, 220, true } });
    grid->setRegistryKeyName(u"Tessorin\\TaxRates"_s);
    grid->setHelpContext(TaxRatesHelp);
    new GridEditKeys(grid);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(u"Tax Table:"_s, page));
    layout->addWidget(grid, 1);
    return page;
}

QWidget *TfrmOptions::numberPage(bool jobs)
{
    const QString kind = jobs ? u"Job"_s : u"Quote"_s;
    TQVDataSource *counter = jobs ? m_nextJob : m_nextQuote;
    auto *page = named(new QWidget(this), jobs ? u"tsJobs"_s : u"tsQuote"_s);
    SetupWidgets::setHelpContext(page, NumbersHelp);

    auto *group = named(
        new QGroupBox(u"Next %1 Number "_s.arg(kind), page), u"grpNext"_s + kind + u"Number"_s);
    const auto edit = [&](const QString &part, const QString &field, int length) {
        auto *editor = named(new FieldLineEdit(group), u"ed"_s + kind + part);
        editor->setDataSource(counter);
        editor->setDataField(field);
        if (length > 0)
            editor->setMaxLength(length);
        return editor;
    };
    auto *row = new QHBoxLayout(group);
    row->addWidget(new QLabel(u"Prefix:"_s, group));
    row->addWidget(edit(u"Prefix"_s, u"Prefix"_s, 10));
    row->addWidget(new QLabel(u"No."_s, group));
    row->addWidget(edit(u"No"_s, jobs ? u"NextJob"_s : u"NextQuote"_s, 0));
    row->addWidget(new QLabel(u"Suffix:"_s, group));
    row->addWidget(edit(u"Suffix"_s, u"Suffix"_s, 10));

    auto *footerPages = named(new TQVPageControl(page), u"pg"_s + kind + u"Footer"_s);
    auto *footer = named(new TQVDBRichEdit(footerPages), u"re"_s + kind + u"Footer"_s);
    footer->setDataSource(m_business);
    footer->setDataField(jobs ? u"JobFooter"_s : u"QuoteFooter"_s);
    footer->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    footerPages->addTab(footer, u"%1 Footer"_s.arg(kind));

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(group);
    layout->addWidget(footerPages, 1);
    return page;
}

void TfrmOptions::addPage(QWidget *page, const QString &caption, std::function<void()> store)
{
    page->setParent(m_pages);
    m_pages->addTab(page, caption);
    m_stores << std::move(store);
    setFixedSize(size().expandedTo(sizeHint()));
}

void TfrmOptions::showPage(Page page)
{
    m_pages->setCurrentIndex(page);
}

void TfrmOptions::btnOKClick()
{
    const bool stored = runGuarded(this, [this] {
        // A cell or edit being typed into stores its text as the focus leaves it.
        m_ok->setFocus();
        for (TQVDataSource *source : { m_taxRates, m_nextJob, m_nextQuote, m_business })
            SetupWidgets::postIfEditing(source);
        m_dm->WriteSettingFlag(u"Options"_s, u"QuoteComplete"_s, m_hideQuotes->isChecked());
        m_dm->WriteSettingFlag(u"Options"_s, u"JobComplete"_s, m_hideJobs->isChecked());
        m_dm->tblQuotes->setFiltered(m_hideQuotes->isChecked());
        m_dm->tblJobs->setFiltered(m_hideJobs->isChecked());
        for (const std::function<void()> &store : std::as_const(m_stores))
            store();
    });
    if (stored)
        accept();
}

void TfrmOptions::btnCancelClick()
{
    // What was typed stays pending in the tables; a later OK stores it.
    reject();
}

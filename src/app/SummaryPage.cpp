#include "SummaryPage.h"

#include "controls/window/Glyphs.h"
#include "app/HeaderBinding.h"
#include "app/HelpWindow.h"
#include "controls/window/Hints.h"
#include "controls/dataaware/FieldLabel.h"
#include "controls/dataaware/FieldLineEdit.h"
#include "controls/dataaware/FieldLookupComboBox.h"
#include "controls/dataaware/FieldProgressBar.h"
#include "controls/dataaware/TQVDBRichEdit.h"
#include "controls/window/TQVPageControl.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

FieldLabel *total(QWidget *parent, const QString &name)
{
    auto *text = new FieldLabel(parent);
    text->setObjectName(name);
    text->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    text->setMinimumWidth(90);
    text->setFrameShape(QFrame::StyledPanel);
    text->setFrameShadow(QFrame::Sunken);
    return text;
}

} // namespace

SummaryPage::SummaryPage(TQVDataSource *taxRates, QWidget *parent)
    : QWidget(parent)
    , m_notes(new TQVDBRichEdit(this))
    , m_taxRate(new FieldLookupComboBox(this))
    , m_changeTaxRate(new QToolButton(this))
    , m_discount(new FieldLineEdit(this))
    , m_totalLabour(total(this, u"lblTotalLabour"_s))
    , m_totalMaterials(total(this, u"lblTotalMaterials"_s))
    , m_tax(total(this, u"lblTax"_s))
    , m_grandTotal(total(this, u"lblGrandTotal"_s))
{
    HelpWindow::setContext(this, HelpContext);
    m_notes->setObjectName(u"memNotes"_s);
    HelpWindow::setContext(m_notes, HelpContext);
    auto *notesPages = new TQVPageControl(this);
    notesPages->setObjectName(u"pageSummaryNotes"_s);
    notesPages->addTab(m_notes, u"Notes"_s);

    m_taxRate->setObjectName(u"feTaxRate"_s);
    m_taxRate->setListSource(taxRates);
    m_taxRate->setKeyField(u"Tax_Rate"_s);
    m_taxRate->setListField(u"Tax_Rate"_s);
    m_taxRate->setMinimumWidth(70);
    m_changeTaxRate->setObjectName(u"btnChangeTaxRate"_s);
    m_changeTaxRate->setIcon(Glyphs::icon(Glyphs::Glyph::Edit));
    m_changeTaxRate->setAutoRaise(true);
    Hints::setHint(m_changeTaxRate, u"Add Tax Rates"_s);
    m_discount->setObjectName(u"feDiscount"_s);
    m_discount->setAlignment(Qt::AlignRight);
    HelpWindow::setContext(m_discount, HelpContext);
    QFont large = m_grandTotal->font();
    large.setBold(true);
    large.setPointSizeF(large.pointSizeF() * 1.5);
    m_grandTotal->setFont(large);

    auto *figures = new QGridLayout;
    auto *taxRate = new QHBoxLayout;
    taxRate->addWidget(m_taxRate);
    taxRate->addWidget(new QLabel(u"%"_s, this));
    taxRate->addWidget(m_changeTaxRate);
    taxRate->addStretch();
    int row = 0;
    const auto addRow = [&](const QString &caption, QWidget *field) {
        figures->addWidget(new QLabel(caption, this), row, 0);
        figures->addWidget(field, row++, 1);
    };
    figures->addWidget(new QLabel(u"Tax Rate:"_s, this), row, 0);
    figures->addLayout(taxRate, row++, 1);
    addRow(u"Discount:"_s, m_discount);
    addRow(u"Total Labour:"_s, m_totalLabour);
    addRow(u"Total Materials:"_s, m_totalMaterials);
    addRow(u"less Tax"_s, m_tax);
    addRow(u"Total:"_s, m_grandTotal);
    figures->setRowStretch(row, 1);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(notesPages, 1);
    layout->addLayout(figures);
}

void SummaryPage::bindHeader(TQVDataSource *header, bool job)
{
    const HeaderFields fields = job ? HeaderFields::job() : HeaderFields::quote();
    rebindField(m_notes, header, u"Notes"_s);
    rebindField(m_taxRate, header, u"TaxRate"_s);
    rebindField(m_discount, header, u"Discount"_s);
    rebindField(m_totalLabour, header, u"TotalLabour"_s);
    rebindField(m_totalMaterials, header, u"TotalMaterials"_s);
    rebindField(m_tax, header, u"TotalSalesTax"_s);
    rebindField(m_grandTotal, header, fields.grandTotal);
}

SummaryStrip::SummaryStrip(TQVDataSource *jobs, QWidget *parent)
    : QWidget(parent)
    , m_totalLabour(total(this, u"lblTotalLabour2"_s))
    , m_totalMaterials(total(this, u"lblTotalMaterials2"_s))
    , m_grandTotal(total(this, u"lblGrandTotal2"_s))
    , m_progressLabel(new QLabel(u"Progress:"_s, this))
{
    setObjectName(u"panSummary"_s);
    m_progressLabel->setObjectName(u"lblProgress"_s);
    auto *progress = new FieldProgressBar(this);
    progress->setObjectName(u"progProgress"_s);
    progress->setDataSource(jobs);
    progress->setDataField(u"PercentComplete"_s);
    m_progress = progress;

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(4, 2, 4, 2);
    grid->addWidget(new QLabel(u"Total Labour:"_s, this), 0, 0);
    grid->addWidget(m_totalLabour, 0, 1);
    grid->addWidget(new QLabel(u"Total Materials:"_s, this), 1, 0);
    grid->addWidget(m_totalMaterials, 1, 1);
    grid->addWidget(new QLabel(u"Total:"_s, this), 0, 2);
    grid->addWidget(m_grandTotal, 0, 3);
    grid->addWidget(m_progressLabel, 1, 2);
    grid->addWidget(m_progress, 1, 3);
    grid->setColumnStretch(4, 1);
}

void SummaryStrip::bindHeader(TQVDataSource *header, bool job)
{
    const HeaderFields fields = job ? HeaderFields::job() : HeaderFields::quote();
    rebindField(m_totalLabour, header, u"TotalLabour"_s);
    rebindField(m_totalMaterials, header, u"TotalMaterials"_s);
    rebindField(m_grandTotal, header, fields.grandTotal);
    m_progressLabel->setVisible(job);
    m_progress->setVisible(job);
}

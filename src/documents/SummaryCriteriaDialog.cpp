#include "documents/SummaryCriteriaDialog.h"

#include "controls/window/CommandGuard.h"
#include "controls/window/HelpRequest.h"
#include "documents/FormPrintPreview.h"
#include "documents/PrintButtons.h"
#include "documents/SummaryReport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QCheckBox *statusBox(QWidget *parent, const QString &name, const QString &caption, bool checked)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    box->setChecked(checked);
    return box;
}

QString flag(const QCheckBox *box)
{
    return box->isChecked() ? u"TRUE"_s : u"FALSE"_s;
}

} // namespace

SummaryCriteriaDialog::SummaryCriteriaDialog(std::unique_ptr<SummaryReport> report,
    const QString &objectName,
    const QString &caption,
    const QString &statusCaption,
    QWidget *parent)
    : QDialog(parent)
    , TQVForm(this)
    , m_report(std::move(report))
{
    setObjectName(objectName);
    setWindowTitle(caption);
    HelpRequest::install(this, HelpContext);

    auto *statuses = new QGroupBox(statusCaption, this);
    statuses->setObjectName(u"grpStatus"_s);
    m_completed = statusBox(statuses, u"chkCompleted"_s, u"Completed"_s, false);
    m_pending = statusBox(statuses, u"chkPending"_s, u"Pending"_s, false);
    m_progress = statusBox(statuses, u"chkProgress"_s, u"In Progress"_s, true);
    m_hold = statusBox(statuses, u"chkHold"_s, u"Hold"_s, false);
    auto *statusLayout = new QVBoxLayout(statuses);
    for (QCheckBox *box : { m_completed, m_pending, m_progress, m_hold })
        statusLayout->addWidget(box);

    const PrintButtons controls(this);
    QGroupBox *type = controls.typeBox;
    m_reportType = controls.reportType;
    m_print = controls.print;
    QPushButton *close = controls.close;
    m_printerSetup = controls.printerSetup;
    connect(m_print, &QPushButton::clicked, this, &SummaryCriteriaDialog::btnPrintClick);
    connect(close, &QPushButton::clicked, this, &SummaryCriteriaDialog::btnCloseClick);
    connect(
        m_printerSetup, &QPushButton::clicked, this, &SummaryCriteriaDialog::btnPrinterSetupClick);

    auto *left = new QVBoxLayout;
    left->addWidget(statuses);
    left->addWidget(type);
    left->addStretch(1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_print);
    buttons->addWidget(close);
    buttons->addWidget(m_printerSetup);
    buttons->addStretch(1);
    auto *main = new QHBoxLayout(this);
    main->addLayout(left, 1);
    main->addLayout(buttons);
    resize(sizeHint().expandedTo(QSize(360, 220)));
    setFixedSize(size());

    formLoaded();
}

SummaryCriteriaDialog::~SummaryCriteriaDialog() = default;

void SummaryCriteriaDialog::setOutputDialogs(const OutputDialogs &dialogs)
{
    m_report->dialogs() = dialogs;
}

void SummaryCriteriaDialog::btnPrintClick()
{
    if (m_running)
        return; // one run at a time; its preview is still open
    runGuarded(this, [&] {
        SummaryReport &report = *m_report;
        report.Params.clear();
        report.Params << u"COMPLETE="_s + flag(m_completed) << u"PROGRESS="_s + flag(m_progress)
                      << u"PENDING="_s + flag(m_pending) << u"HOLD="_s + flag(m_hold);
        const PrintRunScope running(m_running, m_print, m_printerSetup);
        if (m_reportType->currentIndex() == 1)
            report.print();
        else
            report.preview(this);
    });
}

void SummaryCriteriaDialog::btnPrinterSetupClick()
{
    runGuarded(this, [&] { m_report->printerSetup(this); });
}

void SummaryCriteriaDialog::btnCloseClick()
{
    reject();
}

void SummaryCriteriaDialog::reject()
{
    if (TfrmPrintPreview *preview = m_report->previewWindow())
        preview->close();
    QDialog::reject();
}

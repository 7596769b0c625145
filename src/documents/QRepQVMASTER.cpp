#include "documents/QRepQVMASTER.h"

#include "controls/window/CommandGuard.h"
#include "documents/FormPrintPreview.h"
#include "documents/PrintProgress.h"
#include "engine/Exception.h"
#include "report/PrinterSetup.h"
#include "report/ReportOutput.h"
#include "report/ReportRunner.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPrinter>

using namespace Qt::StringLiterals;

namespace {

constexpr double footerTextHeight = 3.6;

} // namespace

TQrepMaster::TQrepMaster()
    : m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
    , m_dialogs(OutputDialogs::standard())
{
    m_layout.setPageSize(QPageSize(QPageSize::A4));
    m_layout.setOrientation(QPageLayout::Portrait);
    m_layout.setMargins(QMarginsF(10, 10, 10, 10));
    m_layout.setFont(QFont(u"Arial"_s, 10));
    PrinterSetup::applyDefaults(*m_printer);

    const double width = m_layout.bandWidth();
    m_pageHeader = &m_layout.addBand(ReportBand::PageHeader, 20);
    m_pageHeader->setFrame({ Qt::BottomEdge });
    m_title = &m_pageHeader->addSystemField({ 2.1, 3.2, 65.9, 7.9 }, ReportSystemField::Title);
    m_title->setName(u"title"_s);
    m_title->setFont(QFont(u"Arial"_s, 18, QFont::Bold));
    m_title->setColor(Qt::white);
    m_title->setBackground(QColor(0, 0, 128));
    m_title->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_printed = &m_pageHeader->addSystemField(
        { width - 70, 0, 70, 4.5 }, ReportSystemField::PrintDateTime, u"Printed : "_s);
    m_printed->setName(u"printed"_s);
    m_printed->setAlignment(Qt::AlignRight | Qt::AlignTop);

    m_pageFooter = &m_layout.addBand(ReportBand::PageFooter, 20);
    m_pageFooter->setFrame({ Qt::TopEdge });
    const QFont footerFont(u"Arial"_s, 8, QFont::Bold);
    m_credit = &m_pageFooter->addLabel(
        { 0, 0, 120, footerTextHeight }, u"Printed with Velbric Tessorin"_s);
    m_credit->setName(u"credit"_s);
    m_credit->setFont(footerFont);
    m_pageNumber = &m_pageFooter->addSystemField(
        { width - 40, 0, 40, footerTextHeight }, ReportSystemField::PageNumber, u"Page "_s);
    m_pageNumber->setName(u"pageNumber"_s);
    m_pageNumber->setFont(footerFont);
    m_pageNumber->setAlignment(Qt::AlignRight | Qt::AlignTop);
}

TQrepMaster::~TQrepMaster()
{
    // The report owns its preview: the window goes at the latest with the report.
    delete m_preview.data();
}

QString TQrepMaster::param(const QString &name) const
{
    const QString prefix = name + u'=';
    for (const QString &line : Params) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size());
    }
    return {};
}

void TQrepMaster::setFooterTextTop(double y)
{
    m_credit->setBox({ 0, y, 120, footerTextHeight });
    const double width = m_layout.bandWidth();
    m_pageNumber->setBox({ width - 40, y, 40, footerTextHeight });
}

RenderedReport TQrepMaster::run()
{
    m_printedPages = false;
    ReportRunner runner(m_layout);
    m_lastPages = runner.run(dataSource());
    m_printedPages = true;
    return m_lastPages;
}

void TQrepMaster::print(QWidget *parent)
{
    PrintProgress progress(parent);
    m_printedPages = false;
    ReportRunner runner(m_layout);
    runner.setPageHook(progress.pageHook());
    m_lastPages = runner.run(dataSource());
    m_printedPages = !runner.wasCancelled();
    if (progress.wasCancelled() || m_lastPages.pages.isEmpty())
        return; // an empty query prints nothing
    QString error;
    if (!ReportOutput::print(m_lastPages, *m_printer, &error, progress.progressHook())
        && !progress.wasCancelled())
        throw Exception(error);
}

bool TQrepMaster::printerSetup(QWidget *parent)
{
    const int pageCount = m_printedPages ? int(m_lastPages.pages.size()) : 0;
    return m_dialogs.printerSetup && m_dialogs.printerSetup(*m_printer, parent, pageCount);
}

ReportMailing TQrepMaster::mailing() const
{
    ReportMailing mailing;
    const QString title = m_layout.title().trimmed();
    if (!title.isEmpty()) {
        mailing.report = title;
        mailing.attachmentName = title;
    }
    return mailing;
}

void TQrepMaster::preview(QWidget *parent)
{
    auto *window = new TfrmPrintPreview(parent);
    m_preview = window;
    window->setDialogs(m_dialogs);
    window->attachReport(
        [this, window] { print(window); }, [this](QWidget *owner) { printerSetup(owner); });
    window->setRenderState(ReportRunner::State::Busy);
    window->showMaximized();

    // The run goes on only while the window still shows it: closing the window or opening a
    // report file in it ends the run.
    const auto stillShown = [this] {
        return m_preview && m_preview->isVisible() && m_preview->isAttached();
    };
    m_printedPages = false;
    ReportRunner runner(m_layout);
    runner.setPageHook([this, &stillShown](const QList<ReportPage> &pages) {
        if (!stillShown())
            return false;
        m_preview->pagesRendered(pages);
        // Everything runs on this one thread: the window paints the page and answers the user
        // between pages.
        QCoreApplication::processEvents();
        return stillShown();
    });
    try {
        m_lastPages = runner.run(dataSource());
    } catch (...) {
        delete m_preview.data();
        throw;
    }
    m_printedPages = !runner.wasCancelled();
    if (!m_preview)
        return;
    if (m_preview->isAttached()) {
        m_preview->setMailing(mailing());
        m_preview->setReport(m_lastPages);
        m_preview->setRenderState(ReportRunner::State::Finished);
    }

    // The command waits here, handling every window's events, until the preview is gone.
    QEventLoop loop;
    QObject::connect(m_preview.data(), &QObject::destroyed, &loop, &QEventLoop::quit);
    loop.exec();
}

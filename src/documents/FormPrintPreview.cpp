#include "documents/FormPrintPreview.h"

#include "controls/window/CommandGuard.h"
#include "controls/window/HelpRequest.h"
#include "controls/window/Hints.h"
#include "controls/window/Messages.h"
#include "documents/FormMAPISend.h"
#include "documents/PreviewGlyphs.h"
#include "documents/PreviewPageView.h"
#include "documents/PrintProgress.h"
#include "engine/Exception.h"
#include "report/PageFile.h"
#include "report/ReportOutput.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

const QString reportFilter = u"Report File (*.qrp)"_s;
const QString pdfFilter = u"PDF File (*.pdf)"_s;
const QString toWidth = u"To Width"_s;
const QString fullPage = u"Full Page"_s;

QIcon glyph(QWidget *widget, const QString &themeName, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(themeName, widget->style()->standardIcon(fallback));
}

// The style has no printer, mail or PDF icons: those buttons get drawn ones unless the theme has
// its own.
QIcon drawnGlyph(const QString &themeName, QIcon drawn)
{
    return QIcon::fromTheme(themeName, drawn);
}

} // namespace

TfrmPrintPreview::TfrmPrintPreview(QWidget *parent)
    : QMainWindow(parent,
        Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint
            | Qt::WindowCloseButtonHint)
    , m_dialogs(OutputDialogs::standard())
    , m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution))
    , m_attachmentFolder(QDir(QDir::tempPath()).filePath(u"velbric-tessorin"_s))
    , m_view(new PreviewPageView(this))
    , m_zoom(new QComboBox(this))
    , m_stateLabel(new QLabel(this))
    , m_pageLabel(new QLabel(this))
{
    setObjectName(u"frmPrintPreview"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(u"Velbric - Print Preview"_s);

    auto *bar = new QToolBar(this);
    bar->setObjectName(u"tbPreview"_s);
    bar->setMovable(false);
    bar->setFloatable(false);
    addToolBar(Qt::TopToolBarArea, bar);
    const struct
    {
        const char16_t *name, *hint, *theme;
        QStyle::StandardPixmap fallback;
        void (TfrmPrintPreview::*handler)();
    } buttons[] = {
        { u"btnSave", u"Save the report to disk", u"document-save", QStyle::SP_DialogSaveButton,
            &TfrmPrintPreview::btnSaveClick },
        { u"btnOpen", u"Open a report from disk", u"document-open", QStyle::SP_DialogOpenButton,
            &TfrmPrintPreview::btnOpenClick },
        { u"btnPrint", u"Print the report", u"document-print", QStyle::SP_FileIcon,
            &TfrmPrintPreview::btnPrintClick },
        { u"btnPrinterSetup", u"Printer setup", u"document-properties",
            QStyle::SP_FileDialogDetailedView, &TfrmPrintPreview::btnPrinterSetupClick },
        { u"btnEmail", u"Send Report Via Email", u"mail-send", QStyle::SP_CommandLink,
            &TfrmPrintPreview::btnEmailClick },
        { u"btnSavePdf", u"Save the report as PDF", u"application-pdf", QStyle::SP_DriveFDIcon,
            &TfrmPrintPreview::btnSavePdfClick },
        { u"btnFirst", u"First page", u"go-first", QStyle::SP_MediaSkipBackward,
            &TfrmPrintPreview::btnFirstClick },
        { u"btnPrior", u"Prior page", u"go-previous", QStyle::SP_ArrowLeft,
            &TfrmPrintPreview::btnPriorClick },
        { u"btnNext", u"Next page", u"go-next", QStyle::SP_ArrowRight,
            &TfrmPrintPreview::btnNextClick },
        { u"btnLast", u"Last page", u"go-last", QStyle::SP_MediaSkipForward,
            &TfrmPrintPreview::btnLastClick },
    };
    for (const auto &b : buttons) {
        auto *button = new QToolButton(bar);
        button->setObjectName(QString::fromUtf16(b.name));
        Hints::setHint(button, QString::fromUtf16(b.hint));
        button->setIcon(glyph(this, QString::fromUtf16(b.theme), b.fallback));
        button->setIconSize(QSize(16, 16));
        button->setFixedSize(20, 20);
        button->setAutoRaise(true);
        connect(button, &QToolButton::clicked, this, b.handler);
        bar->addWidget(button);
    }
    const std::pair<const char16_t *, QIcon> drawn[] = {
        { u"btnPrint", drawnGlyph(u"document-print"_s, PreviewGlyphs::printer()) },
        { u"btnPrinterSetup",
            drawnGlyph(u"document-print-preview"_s, PreviewGlyphs::printerSetup()) },
        { u"btnEmail", drawnGlyph(u"mail-send"_s, PreviewGlyphs::envelope()) },
        { u"btnSavePdf", drawnGlyph(u"application-pdf"_s, PreviewGlyphs::pdf()) },
    };
    for (const auto &[name, icon] : drawn)
        bar->findChild<QToolButton *>(QString::fromUtf16(name))->setIcon(icon);

    m_zoom->setObjectName(u"cboZoom"_s);
    m_zoom->setToolTip(u"Zoom"_s);
    m_zoom->setEditable(false);
    m_zoom->addItems({ u"200%"_s, u"175%"_s, u"150%"_s, u"125%"_s, u"100%"_s, u"75%"_s, u"50%"_s,
        u"25%"_s, toWidth, fullPage });
    m_zoom->setCurrentText(fullPage);
    // Only the user's choice zooms: setting the list from code leaves the zoom alone.
    connect(m_zoom, &QComboBox::activated, this, &TfrmPrintPreview::cboZoomChange);
    bar->addWidget(m_zoom);

    auto *close = new QPushButton(u"Close"_s, bar);
    close->setObjectName(u"btnClose"_s);
    close->setToolTip(u"Close preview window"_s);
    close->setFlat(true);
    close->setFixedWidth(75);
    connect(close, &QPushButton::clicked, this, &TfrmPrintPreview::btnCloseClick);
    bar->addWidget(close);

    m_view->setObjectName(u"pageView"_s);
    setCentralWidget(m_view);
    m_stateLabel->setObjectName(u"pnlState"_s);
    m_pageLabel->setObjectName(u"pnlPage"_s);
    statusBar()->addWidget(m_stateLabel, 1);
    statusBar()->addWidget(m_pageLabel);
    m_pageLabel->setFixedWidth(75);
    m_stateLabel->setText(u"Ready"_s);
    updateStatus();
    HelpRequest::install(this, HelpContext);
}

TfrmPrintPreview::~TfrmPrintPreview() = default;

void TfrmPrintPreview::attachReport(
    std::function<void()> print, std::function<void(QWidget *)> printerSetup)
{
    m_livePrint = std::move(print);
    m_liveSetup = std::move(printerSetup);
}

void TfrmPrintPreview::setRenderState(ReportRunner::State state)
{
    m_state = state;
    updateStatus();
}

void TfrmPrintPreview::pagesRendered(const QList<ReportPage> &pages)
{
    m_report.pages = pages;
    m_view->setPages(pages);
    updateStatus();
}

void TfrmPrintPreview::setReport(const RenderedReport &report)
{
    m_report = report;
    m_view->setPages(report.pages);
    updateStatus();
}

int TfrmPrintPreview::currentPage() const
{
    return m_view->currentPage();
}

int TfrmPrintPreview::pageCount() const
{
    return m_view->pageCount();
}

QString TfrmPrintPreview::stateText() const
{
    return m_stateLabel->text();
}

QString TfrmPrintPreview::pageText() const
{
    return m_pageLabel->text();
}

QString TfrmPrintPreview::reportFileName(const QString &chosen)
{
    if (chosen.right(4).toUpper() == u".QRP"_s)
        return chosen;
    return chosen + u".QRP"_s;
}

bool TfrmPrintPreview::saveReport(const QString &path)
{
    if (!finished())
        return false;
    QString error;
    if (!PageFile::save(path, m_report, &error))
        throw Exception(error);
    return true;
}

void TfrmPrintPreview::openReport(const QString &path)
{
    RenderedReport loaded;
    QString error;
    if (!PageFile::load(path, &loaded, &error))
        throw Exception(error);
    // From now on print and printer set-up act on the loaded pages alone.
    m_livePrint = nullptr;
    m_liveSetup = nullptr;
    m_mailing = ReportMailing();
    m_state = ReportRunner::State::Finished;
    m_report = RenderedReport();
    m_view->setPages({});
    setReport(loaded);
    goToPage(1);
    setWindowTitle(u"Velbric Print Preview : "_s + QFileInfo(path).fileName());
}

void TfrmPrintPreview::btnSaveClick()
{
    runGuarded(this, [&] {
        const QString chosen = m_dialogs.saveFileName(this, reportFilter);
        if (chosen.isEmpty())
            return;
        saveReport(reportFileName(chosen));
    });
}

void TfrmPrintPreview::btnOpenClick()
{
    runGuarded(this, [&] {
        const QString path = m_dialogs.openFileName(this, reportFilter);
        if (!path.isEmpty())
            openReport(path);
    });
}

void TfrmPrintPreview::btnPrintClick()
{
    runGuarded(this, [&] {
        // The run still rendering these pages uses the report's layout: no second run meanwhile.
        if (m_livePrint && !finished())
            return;
        if (m_livePrint) {
            m_livePrint();
            return;
        }
        if (m_report.pages.isEmpty())
            return;
        PrintProgress progress(this);
        QString error;
        if (!ReportOutput::print(m_report, *m_printer, &error, progress.progressHook())
            && !progress.wasCancelled())
            throw Exception(error);
    });
}

void TfrmPrintPreview::btnPrinterSetupClick()
{
    runGuarded(this, [&] {
        if (m_liveSetup)
            m_liveSetup(this);
        else if (m_dialogs.printerSetup) // loaded pages print on the window's own printer
            m_dialogs.printerSetup(*m_printer, this, finished() ? pageCount() : 0);
    });
}

void TfrmPrintPreview::btnEmailClick()
{
    emailReport(this, m_report, finished(), m_mailing);
}

void TfrmPrintPreview::btnSavePdfClick()
{
    runGuarded(this, [&] {
        if (!finished())
            return;
        QString path = m_dialogs.saveFileName(this, pdfFilter);
        if (path.isEmpty())
            return;
        if (!path.endsWith(u".pdf"_s, Qt::CaseInsensitive))
            path += u".pdf"_s;
        WaitCursor wait;
        QString error;
        if (!ReportOutput::writePdf(m_report, path, &error))
            throw Exception(error);
    });
}

void TfrmPrintPreview::btnFirstClick()
{
    goToPage(1);
}

void TfrmPrintPreview::btnPriorClick()
{
    goToPage(currentPage() - 1);
}

void TfrmPrintPreview::btnNextClick()
{
    goToPage(currentPage() + 1);
}

void TfrmPrintPreview::btnLastClick()
{
    goToPage(pageCount());
}

void TfrmPrintPreview::cboZoomChange()
{
    const QString choice = m_zoom->currentText();
    if (choice == toWidth)
        m_view->zoomToWidth();
    else if (choice == fullPage)
        m_view->zoomFullPage();
    else
        m_view->setZoomPercent(QStringView(choice).chopped(1).toInt());
}

void TfrmPrintPreview::btnCloseClick()
{
    close();
}

void TfrmPrintPreview::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    m_zoom->setCurrentText(toWidth);
    resizeStatusPanels();
}

void TfrmPrintPreview::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    resizeStatusPanels();
}

void TfrmPrintPreview::goToPage(int page)
{
    m_view->showPage(page);
    updateStatus();
}

void TfrmPrintPreview::updateStatus()
{
    m_pageLabel->setText(u"Page %1 of %2"_s.arg(currentPage()).arg(pageCount()));
    switch (m_state) {
    case ReportRunner::State::Ready:
        m_stateLabel->setText(u"Ready"_s);
        break;
    case ReportRunner::State::Busy:
        m_stateLabel->setText(u" Busy"_s);
        break;
    case ReportRunner::State::Finished:
        m_stateLabel->setText(u" Finshed"_s); // the program's own spelling
        break;
    }
}

void TfrmPrintPreview::resizeStatusPanels()
{
    // A maximum, not a fixed width, so that the window may still be made narrower.
    const int barWidth = width() > 0 ? width() : 640;
    m_stateLabel->setMaximumWidth(std::max(0, barWidth - 150));
}

#pragma once

#include "documents/OutputDialogs.h"
#include "documents/ReportMailing.h"
#include "report/ReportPage.h"
#include "report/ReportRunner.h"

#include <QMainWindow>

#include <functional>
#include <memory>

class PreviewPageView;
class QComboBox;
class QLabel;
class QPrinter;
class QToolButton;

// The print preview window: pages through and zooms the rendered pages of a run or of a report
// file, prints them, saves them as a report file or a PDF, opens a report file, and hands the
// report to e-mail. It closes and destroys itself; the run that opened it waits for that.
class TfrmPrintPreview : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int HelpContext = 1005;

    explicit TfrmPrintPreview(QWidget *parent = nullptr);
    ~TfrmPrintPreview() override;

    void setDialogs(const OutputDialogs &dialogs) { m_dialogs = dialogs; }
    OutputDialogs &dialogs() { return m_dialogs; }

    // Binds print and printer set-up to the live report that renders the pages; opening a report
    // file unbinds them, and from then on both act on the window's own printer.
    void attachReport(std::function<void()> print, std::function<void(QWidget *)> printerSetup);
    bool isAttached() const { return bool(m_livePrint); }

    void setRenderState(ReportRunner::State state);
    ReportRunner::State renderState() const { return m_state; }
    // Another page has been rendered: pages holds all of them so far.
    void pagesRendered(const QList<ReportPage> &pages);
    // The finished report.
    void setReport(const RenderedReport &report);
    const RenderedReport &report() const { return m_report; }

    int currentPage() const;
    int pageCount() const;
    PreviewPageView *pageView() const { return m_view; }
    QString stateText() const;
    QString pageText() const;

    // The printer loaded report files print on.
    QPrinter &printer() { return *m_printer; }

    // The name a report file is saved under: the chosen name, with ".QRP" added unless its last
    // four characters already read ".QRP" in any case.
    static QString reportFileName(const QString &chosen);
    // Saves the pages once rendering has finished; before that nothing is written (false).
    bool saveReport(const QString &path);
    // Loads a report file; a refused file is thrown as Exception and the pages stay.
    void openReport(const QString &path);

    // How "Send Report Via Email" addresses and names the report; a report file opened here goes
    // as any report does.
    void setMailing(const ReportMailing &mailing) { m_mailing = mailing; }
    const ReportMailing &mailing() const { return m_mailing; }

    // Where the e-mail attachment is written; created when missing.
    QString attachmentFolder() const { return m_attachmentFolder; }
    void setAttachmentFolder(const QString &folder) { m_attachmentFolder = folder; }
    static QString attachmentFileName() { return QStringLiteral("Velbric Report.QRP"); }

    void btnSaveClick();
    void btnOpenClick();
    void btnPrintClick();
    void btnPrinterSetupClick();
    void btnEmailClick();
    void btnSavePdfClick();
    void btnFirstClick();
    void btnPriorClick();
    void btnNextClick();
    void btnLastClick();
    void cboZoomChange();
    void btnCloseClick();

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QToolButton *addButton(const QString &name,
        const QString &hint,
        const QString &text,
        void (TfrmPrintPreview::*handler)());
    void goToPage(int page);
    void updateStatus();
    void resizeStatusPanels();
    bool finished() const { return m_state == ReportRunner::State::Finished; }

    OutputDialogs m_dialogs;
    std::unique_ptr<QPrinter> m_printer;
    RenderedReport m_report;
    ReportRunner::State m_state = ReportRunner::State::Ready;
    std::function<void()> m_livePrint;
    std::function<void(QWidget *)> m_liveSetup;
    QString m_attachmentFolder;
    ReportMailing m_mailing;
    PreviewPageView *m_view;
    QComboBox *m_zoom;
    QLabel *m_stateLabel;
    QLabel *m_pageLabel;
};

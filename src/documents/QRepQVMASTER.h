#pragma once

#include "documents/FormPrintPreview.h"
#include "documents/OutputDialogs.h"
#include "report/ReportLayout.h"
#include "report/ReportPage.h"

#include <QPointer>
#include <QStringList>

#include <memory>

class QPrinter;
class QWidget;
class ReportDataSource;

// The base of every report of the program: A4 page set-up, the title box, the page-footer rule and
// page number, the NAME=VALUE parameter list, the printer its runs print on, and the preview window
// a run to the screen opens.
class TQrepMaster
{
public:
    TQrepMaster();
    virtual ~TQrepMaster();
    TQrepMaster(const TQrepMaster &) = delete;
    TQrepMaster &operator=(const TQrepMaster &) = delete;

    // NAME=VALUE lines the caller fills before every run and the layouts read by name.
    QStringList Params;
    // The value of the first line named name, or an empty string.
    QString param(const QString &name) const;
    // Whether the parameter is exactly "TRUE": flags are compared case-sensitively.
    bool paramIsTrue(const QString &name) const { return param(name) == QStringLiteral("TRUE"); }

    ReportLayout &layout() { return m_layout; }
    // The printer every run to the printer uses; it keeps the choices of printerSetup.
    QPrinter &printer() { return *m_printer; }
    // The dialogs the report and its preview open; tests replace them.
    OutputDialogs &dialogs() { return m_dialogs; }

    // Renders the report's pages.
    RenderedReport run();
    // Renders the pages and prints them, showing the progress over parent, where the user may
    // cancel; an error of the printer is thrown as Exception.
    void print(QWidget *parent = nullptr);
    // Renders the pages into a new preview window shown without being modal, and returns when
    // that window has closed. parent keeps the window usable while a modal dialog is up. The
    // window shows each page as it is made and answers the user meanwhile; closing it, or opening
    // a report file in it, ends the run.
    void preview(QWidget *parent);
    // The printer dialog; its choices hold for every later run of this report object.
    bool printerSetup(QWidget *parent);

    // How the previewed report goes out by e-mail: by default as "A Report", its attachment named
    // after the report's title.
    virtual ReportMailing mailing() const;

    // The open preview window, or null.
    TfrmPrintPreview *previewWindow() const { return m_preview; }
    // The pages of the last run.
    const RenderedReport &lastPages() const { return m_lastPages; }

protected:
    // The rows of a run, read after the layout's before-run hook.
    virtual ReportDataSource &dataSource() = 0;

    ReportBand &pageHeader() { return *m_pageHeader; }
    ReportBand &pageFooter() { return *m_pageFooter; }
    ReportSystemField &titleBox() { return *m_title; }
    // The "Printed : " date and time at the header's right; the documents switch it off.
    ReportSystemField &printedField() { return *m_printed; }
    // Places the credit line and the page number at y in the page footer.
    void setFooterTextTop(double y);

private:
    ReportLayout m_layout;
    std::unique_ptr<QPrinter> m_printer;
    OutputDialogs m_dialogs;
    QPointer<TfrmPrintPreview> m_preview;
    RenderedReport m_lastPages;
    ReportBand *m_pageHeader;
    ReportBand *m_pageFooter;
    ReportSystemField *m_title;
    ReportSystemField *m_printed;
    ReportLabel *m_credit;
    ReportSystemField *m_pageNumber;
    bool m_printedPages = false; // whether the last run has finished
};

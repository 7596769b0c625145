#include "documents/PrintProgress.h"

#include <QCoreApplication>
#include <QProgressDialog>

using namespace Qt::StringLiterals;

PrintProgress::PrintProgress(QWidget *parent)
    : m_dialog(new QProgressDialog(parent))
{
    m_dialog->setObjectName(u"dlgPrintProgress"_s);
    m_dialog->setWindowTitle(u"Printing"_s);
    m_dialog->setCancelButtonText(u"Cancel"_s);
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    // A short job ends before the box would show.
    m_dialog->setMinimumDuration(500);
    m_dialog->setRange(0, 0);
    m_dialog->setLabelText(u"Preparing the pages"_s);
}

PrintProgress::~PrintProgress()
{
    delete m_dialog.data();
}

bool PrintProgress::wasCancelled() const
{
    return m_cancelled || (m_dialog && m_dialog->wasCanceled());
}

bool PrintProgress::pageRendered(int pages)
{
    if (m_dialog) {
        m_dialog->setLabelText(u"Preparing page %1"_s.arg(pages));
        m_dialog->setValue(0);
    }
    QCoreApplication::processEvents();
    m_cancelled = wasCancelled();
    return !m_cancelled;
}

bool PrintProgress::pageSent(int page, int pageCount)
{
    if (m_dialog) {
        m_dialog->setRange(0, pageCount);
        m_dialog->setLabelText(u"Printing page %1 of %2"_s.arg(page).arg(pageCount));
        m_dialog->setValue(page - 1);
    }
    QCoreApplication::processEvents();
    m_cancelled = wasCancelled();
    return !m_cancelled;
}

ReportRunner::PageHook PrintProgress::pageHook()
{
    return [this](const QList<ReportPage> &pages) { return pageRendered(int(pages.size())); };
}

ReportOutput::ProgressHook PrintProgress::progressHook()
{
    return [this](int page, int pageCount) { return pageSent(page, pageCount); };
}

#include "data/TblRfsh.h"

#include "engine/Exception.h"
#include "engine/TQVDatabase.h"

TRefreshTable::TRefreshTable(QObject *parent)
    : TableView(parent)
{
    m_checkTimer.setInterval(m_autoUpdateInterval);
    connect(&m_checkTimer, &QTimer::timeout, this, &TRefreshTable::checkForChanges);
    m_refreshTimer.setInterval(10);
    m_refreshTimer.setSingleShot(true);
    connect(&m_refreshTimer, &QTimer::timeout, this, &TRefreshTable::refreshNow);
}

TRefreshTable::~TRefreshTable()
{
    StopWatching();
}

void TRefreshTable::SetAutoUpdateInterval(quint16 milliseconds)
{
    if (milliseconds == m_autoUpdateInterval)
        return;
    m_autoUpdateInterval = milliseconds;
    m_checkTimer.setInterval(milliseconds);
}

void TRefreshTable::SetAutoUpdateEnabled(bool enabled)
{
    if (enabled == m_autoUpdateEnabled)
        return;
    m_autoUpdateEnabled = enabled;
    if (enabled)
        StartWatching();
    else
        StopWatching();
}

bool TRefreshTable::isOwnFormat() const
{
    return tableType() == TableType::Paradox
        || (tableType() == TableType::Default
            && tableName().toUpper().endsWith(QStringLiteral(".DB")));
}

void TRefreshTable::StartWatching()
{
    if (!m_autoUpdateEnabled || !active() || m_watching)
        return;
    // The engine stores every table in its own format unless the view asks for another.
    if (tableType() != TableType::Default && tableType() != TableType::Paradox)
        throw EDatabaseError(tr("Table change notifications only work with Paradox table types"));
    database()->setChangeNotice(this, [this] { m_refreshTimer.start(); });
    m_watching = true;
    m_checkTimer.start();
}

void TRefreshTable::StopWatching()
{
    if (!m_watching)
        return;
    m_checkTimer.stop();
    m_refreshTimer.stop();
    if (database())
        database()->setChangeNotice(this, {});
    m_watching = false;
}

void TRefreshTable::checkForChanges()
{
    try {
        database()->checkForChanges();
    } catch (const Exception &) {
        // A busy or vanished file is checked again on the next tick.
    }
}

void TRefreshTable::refreshNow()
{
    m_refreshTimer.stop();
    if (!active())
        return;
    try {
        switch (m_refreshMode) {
        case rmBrowseModeOnly:
            if (isEditing())
                return;
            break;
        case rmDoPost:
            if (isEditing())
                post();
            break;
        case rmDoCancel:
            if (isEditing())
                cancel();
            break;
        }
    } catch (const Exception &) {
        return; // a refused post or cancel keeps the edit; the refresh waits for the next notice
    }
    const ControlsDisabled quiet(this);
    try {
        DoBeforeRefresh();
        invalidate();
        DoAfterRefresh();
    } catch (const Exception &) {
        // The view shows what it had; the next notice tries again.
    }
}

void TRefreshTable::DoBeforeRefresh()
{
    if (BeforeRefresh)
        BeforeRefresh(*this);
}

void TRefreshTable::DoAfterRefresh()
{
    if (AfterRefresh)
        AfterRefresh(*this);
}

void TRefreshTable::doBeforeOpen()
{
    if (tableType() == TableType::Default && tableName().toUpper().endsWith(QStringLiteral(".DB")))
        setTableType(TableType::Paradox);
    TableView::doBeforeOpen();
}

void TRefreshTable::doAfterOpen()
{
    if (isOwnFormat())
        SetAutoUpdateEnabled(true);
    StartWatching();
    TableView::doAfterOpen();
}

void TRefreshTable::doBeforeClose()
{
    StopWatching();
    TableView::doBeforeClose();
}

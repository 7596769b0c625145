#pragma once

#include "engine/TableView.h"

#include <QTimer>

#include <functional>

enum TRefreshMode
{
    rmBrowseModeOnly,
    rmDoPost,
    rmDoCancel
};

// A table view that watches its file for changes made by other users of the data directory and
// then reads itself again, keeping its current record, so every copy sees the others' work within
// about one check period.
class TRefreshTable : public TableView
{
    Q_OBJECT

public:
    using RefreshEvent = std::function<void(TRefreshTable &)>;

    explicit TRefreshTable(QObject *parent = nullptr);
    ~TRefreshTable() override;

    quint16 AutoUpdateInterval() const { return m_autoUpdateInterval; }
    virtual void SetAutoUpdateInterval(quint16 milliseconds);
    bool AutoUpdateEnabled() const { return m_autoUpdateEnabled; }
    void SetAutoUpdateEnabled(bool enabled);
    TRefreshMode RefreshMode() const { return m_refreshMode; }
    void SetRefreshMode(TRefreshMode mode) { m_refreshMode = mode; }
    bool isWatching() const { return m_watching; }

    virtual void StopWatching();
    virtual void StartWatching();

    RefreshEvent BeforeRefresh;
    RefreshEvent AfterRefresh;

    // Whether the table is in the engine's own format: its type says so, or is left to the default
    // and its name ends in ".DB".
    bool isOwnFormat() const;

protected:
    virtual void DoBeforeRefresh();
    virtual void DoAfterRefresh();
    void doBeforeOpen() override;
    void doAfterOpen() override;
    void doBeforeClose() override;

private:
    void checkForChanges();
    void refreshNow();

    quint16 m_autoUpdateInterval = 1000;
    bool m_autoUpdateEnabled = false;
    TRefreshMode m_refreshMode = rmBrowseModeOnly;
    bool m_watching = false;
    QTimer m_checkTimer;
    QTimer m_refreshTimer;
};

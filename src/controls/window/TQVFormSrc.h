#pragma once

#include <QPoint>
#include <QPointer>
#include <QString>

class QWidget;

// The persisting form base of every window: it restores the window's placement from its registry
// key once the window's definition is applied and saves it when the window is destroyed, and it
// brings the application-wide idle cursor rule and the minimise and restore sounds.
//
// A window derives from its Qt window class first and from TQVForm second
// (class TfrmX : public QDialog, public TQVForm), so the window is still whole while this base
// saves its placement during destruction.
class TQVForm
{
public:
    // Where the window goes when its stored placement cannot be read.
    static constexpr QPoint FallbackPosition { 25, 25 };

    explicit TQVForm(QWidget *window);
    virtual ~TQVForm();

    TQVForm(const TQVForm &) = delete;
    TQVForm &operator=(const TQVForm &) = delete;

    // Full key path below the user's root; a leading backslash is added when it is missing.
    QString regKey() const { return m_regKey; }
    void setRegKey(const QString &key);
    bool savePosition() const { return m_savePosition; }
    void setSavePosition(bool save) { m_savePosition = save; }
    bool saveSize() const { return m_saveSize; }
    void setSaveSize(bool save) { m_saveSize = save; }
    // The window's default status text.
    QString hint() const { return m_hint; }
    void setHint(const QString &hint) { m_hint = hint; }

    // The window calls this once its definition (its widgets and the properties above) is applied,
    // before its own creation code: every page control opens on its first visible page, every grid
    // restores its column layout and, when SavePosition is set, the stored placement comes back.
    // Properties set later are only saved.
    void formLoaded();

protected:
    void restorePlacement();
    // Writes all five placement values, whatever SaveSize says; failures are ignored.
    void savePlacement() noexcept;

private:
    // Null once the window is gone, should a subclass have listed its bases the wrong way round.
    QPointer<QWidget> m_window;
    QString m_regKey;
    QString m_hint;
    bool m_savePosition = false;
    bool m_saveSize = false;
    bool m_loaded = false;
};

#pragma once

#include "controls/window/TQVFormSrc.h"

#include <QDialog>

class LogoChooser;
class QPushButton;
class QStackedWidget;
class RecordGridPage;
class TDM;
class TQVDataSource;

// The first-run wizard: walks a new user through the business's details and logo, the sales
// people, the group headings and the units. Finish stores the business record and marks the
// wizard as done, so it no longer opens by itself.
class TfrmWizStartup : public QDialog, public TQVForm
{
    Q_OBJECT

public:
    static constexpr int HelpContext = 3;
    static constexpr int PageCount = 7;

    explicit TfrmWizStartup(TDM *dm, QWidget *parent = nullptr);

    int page() const;
    LogoChooser *logoChooser() const { return m_logo; }
    RecordGridPage *salesPage() const { return m_sales; }
    RecordGridPage *headingsPage() const { return m_headings; }
    RecordGridPage *unitsPage() const { return m_units; }

    void btnPreviousClick();
    void btnNextClick();
    void btnFinishClick();
    void btnCancelClick();

    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    QWidget *makePage(const QString &name,
        const QString &heading,
        const QStringList &texts,
        QWidget *content = nullptr);
    bool leavePage(bool allPages = false);
    void showPage(int page);

    TDM *m_dm;
    TQVDataSource *m_business;
    QStackedWidget *m_pages;
    LogoChooser *m_logo = nullptr;
    RecordGridPage *m_sales = nullptr;
    RecordGridPage *m_headings = nullptr;
    RecordGridPage *m_units = nullptr;
    QPushButton *m_previous;
    QPushButton *m_next;
    QPushButton *m_finish;
};

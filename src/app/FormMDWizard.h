#pragma once

#include "controls/window/TQVFormSrc.h"

#include <QDialog>

class HelpWindow;
class QLabel;
class QPushButton;
class QToolButton;
class TDM;
class TableView;
class TQVDataSource;
class TQVPageControl;

// The base of the wizards: a fixed-size dialog with a picture at its left and pages without
// visible tabs above the buttons Cancel, Previous, Next and Finish. Next and Previous step through
// the pages; a wizard decides what Finish and Cancel do with its record.
class TfrmWiz : public QDialog, public TQVForm
{
    Q_OBJECT

public:
    static constexpr int PicturePanelWidth = 105;

    explicit TfrmWiz(QWidget *parent = nullptr);
    ~TfrmWiz() override;

    TQVPageControl *pageWizard() const { return m_pages; }

    void btnNextClick();
    void btnPreviousClick();
    void btnFinishClick();
    void btnCancelClick();

    // Esc cancels the wizard's record, as the Cancel button does.
    void reject() override;

protected:
    // Called after the page moved on; a wizard adds its own step here.
    virtual void afterNext() { }
    // Finishes the record; an error keeps the wizard open on its page.
    virtual void finishRecord() = 0;
    // Discards the record.
    virtual void cancelRecord() = 0;

    // The window's definition is complete: the tabs are reduced, "Previous" is off and the new
    // header's status is "In Progress".
    void openWizard(TableView *header);

    // Page builders. Each adds its page to the page control and returns it.
    QWidget *addIntroPage(
        const QString &title, const QString &lead, const QStringList &steps, const QString &name);
    QWidget *addFinishPage(const QStringList &texts, const QString &name);
    // Number, description, dates, priority and status of a header.
    QWidget *addDetailsPage(TQVDataSource *header,
        const QString &numberCaption,
        const QString &numberField,
        const QString &descriptionField,
        const QString &name);
    // The two client lookups and the new-client button, which opens the client window on a new
    // client of dm.
    QWidget *addClientPage(TDM *dm,
        TQVDataSource *header,
        TQVDataSource *clients,
        const QString &buttonCaption,
        const QString &name);
    QWidget *newPage(const QString &name);

    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    TQVPageControl *m_pages;
    QPushButton *m_cancel;
    QPushButton *m_previous;
    QPushButton *m_next;
    QPushButton *m_finish;
    HelpWindow *m_help = nullptr;
    bool m_closing = false;
    bool m_centred = false;
};

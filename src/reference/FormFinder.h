#pragma once

#include "controls/window/TQVFormSrc.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;
class QToolButton;
class TDM;
class TQVDataSource;
class TQVDBGrid;
class TQVPageControl;

// "Job and Quote Finder": finds a client by one of its fields as the user types, lists that
// client's quotes and jobs, and hands the chosen one back to the window that opened it.
class TfrmFinder : public QDialog, public TQVForm
{
    Q_OBJECT

public:
    static constexpr int HelpContext = 20;

    struct SearchField
    {
        QString item; // as the selector lists it
        QString field;
        QString index; // empty: ordered by the field itself
        bool anyWord = false; // finds a word anywhere in the field, in the index's order
    };
    static const QList<SearchField> &searchFields();

    explicit TfrmFinder(TDM *dm, QWidget *parent = nullptr);
    ~TfrmFinder() override;

    // What was chosen: "Quotes" or "Jobs" and the record's key; an empty kind and 0 when the
    // finder was closed without a choice.
    const QString &kind() const { return m_kind; }
    double id() const { return m_id; }

    // Opens the client dialog on the current client; set by the opener.
    std::function<void(QWidget *parent)> editClient;

    void btnSelectClick();
    void btnEditClientClick();
    void btnCloseClick();
    void pgFinderChange();
    void cboSearchByChange(int index);
    void edtSearchChange(const QString &text);

    void done(int result) override;

private:
    void clientChanged();
    void searchClients(const QString &text);

    TDM *m_dm;
    TQVDataSource *m_clients;
    TQVDataSource *m_quotes;
    TQVDataSource *m_jobs;
    QToolButton *m_select;
    QLineEdit *m_search;
    QComboBox *m_searchBy;
    TQVDBGrid *m_clientGrid;
    TQVPageControl *m_pages;
    QString m_searchField;
    bool m_searchAnyWord = false;
    QString m_kind;
    double m_id = 0;
    bool m_closed = false;
};

#pragma once

#include "controls/window/TQVFormSrc.h"

#include <QDialog>
#include <QVariant>

class QComboBox;
class QLineEdit;
class TDM;
class TQVDataSource;
class TQVDBGrid;
class TQVTable;

// The client list: searched by contact or company name as the user types, with commands that
// add, edit and delete clients and one that chooses the current client for the quote or job being
// edited (its client is written and the header posted). The caller reads the choice from
// chosenClientId() or hears of it through clientChosen.
class TfrmClientDetails : public QDialog, public TQVForm
{
    Q_OBJECT

public:
    static constexpr int HelpContext = 6;
    static constexpr int SearchLength = 100;

    explicit TfrmClientDetails(TDM *dm, QWidget *parent = nullptr);
    // The client table goes back to its order by contact.
    ~TfrmClientDetails() override;

    // The key of the client chosen by "Select Client"; null while none was.
    QVariant chosenClientId() const { return m_chosen; }
    // The one header that "Select Client" writes its choice into; without one, the job or quote
    // being edited.
    void setDocumentHeader(TQVTable *header) { m_header = header; }

    void btnSelectClientClick();
    void btnNewClientClick();
    void btnEditClick();
    void btnDeleteClick();
    void btnCloseClick();
    void cboSearchByChange();
    void edtSearchChange(const QString &text);
    // The field the search looks in: Contact or Company_Name.
    QString searchField() const;

signals:
    void clientChosen(double clientId);

private:
    TDM *m_dm;
    TQVDataSource *m_clients;
    QLineEdit *m_search;
    QComboBox *m_searchBy;
    TQVDBGrid *m_grid;
    QVariant m_chosen;
    TQVTable *m_header = nullptr;
};

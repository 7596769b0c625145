#pragma once

#include "controls/window/TQVFormSrc.h"

#include <QDialog>

#include <array>

class QComboBox;
class TDM;
class TQVDataSource;
class FieldLineEdit;
class FieldPlainTextEdit;

// One client's details: contact and company, an address, four phone numbers of chosen kinds, an
// e-mail address, the web page and notes. It edits the client table's current record, or a new
// client it inserts itself. Save and Close posts; Cancel gives the changes up; the close box
// does neither.
class TfrmClient : public QDialog, public TQVForm
{
    Q_OBJECT

public:
    enum class Mode
    {
        Edit, // the current record, as the caller left it
        NewClient // a new record inserted on opening
    };
    static constexpr int HelpContext = 6;

    TfrmClient(TDM *dm, Mode mode, QWidget *parent = nullptr);
    ~TfrmClient() override;

    static QStringList addressItems();
    static QStringList addressFields();
    // The phone kinds; the first row's list spells "Home " with a trailing blank.
    static QStringList phoneItems(bool firstRow);
    static QStringList phoneFields();
    static QStringList emailItems();
    static QStringList emailFields();

    void btnSaveCloseClick();
    void btnNewClientClick();
    void btnCancelClick();
    void btnFullNameClick();
    void cboAddressChange();
    void cboPhoneChange(int row);
    void cboEmailChange();

private:
    void FormShow(Mode mode);
    QWidget *buildAddressPage();

    TDM *m_dm;
    TQVDataSource *m_clients;
    FieldLineEdit *m_contact;
    QComboBox *m_address;
    FieldPlainTextEdit *m_addressMemo;
    std::array<QComboBox *, 4> m_phoneKinds {};
    std::array<FieldLineEdit *, 4> m_phones {};
    QComboBox *m_email;
    FieldLineEdit *m_emailEdit;
};

#pragma once

#include <QWidget>

#include <array>

class QComboBox;
class QToolButton;
class TQVDataSource;
class FieldLineEdit;
class FieldPlainTextEdit;

// The "Client" page: the client of the current quote or job, edited in place, with selectors that
// choose which of the client's addresses, phone numbers and e-mail addresses show (the same
// choices as the client window's, TfrmClient).
class ClientPage : public QWidget
{
    Q_OBJECT

public:
    ClientPage(TQVDataSource *clients, QWidget *parent = nullptr);

    // The choices the main window makes at its creation: business address, first e-mail, and the
    // business, business fax, home and mobile phones.
    void setInitialSelectors();

    QToolButton *selectButton() const { return m_select; }
    QToolButton *newButton() const { return m_new; }
    QToolButton *editButton() const { return m_edit; }

    void cboAddressChange();
    void cboPhoneChange(int row);
    void cboEmailChange();

private:
    // The fields can be typed into only while the header has a client.
    void followClient();
    QWidget *buildPhonePage();
    QWidget *buildInternetPage();

    TQVDataSource *m_clients;
    QToolButton *m_select;
    QToolButton *m_new;
    QToolButton *m_edit;
    QComboBox *m_address;
    FieldPlainTextEdit *m_addressMemo;
    std::array<QComboBox *, 4> m_phoneKinds {};
    std::array<FieldLineEdit *, 4> m_phones {};
    QComboBox *m_email;
    FieldLineEdit *m_emailEdit;
};

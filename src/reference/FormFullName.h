#pragma once

#include "reference/ContactName.h"

#include <QDialog>

class QComboBox;
class TDM;
class TQVDataSource;
class FieldLineEdit;

// The contact name of the current client in its parts: opening splits the contact into title,
// first, middle and last name (the client goes into edit); OK composes the contact again. Neither
// posts: the client dialog saves or cancels the client.
class TfrmFullName : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmFullName(TDM *dm, QWidget *parent = nullptr);
    ~TfrmFullName() override;

    static QStringList titles();

    void FormShow();
    void btnOKClick();

private:
    void cboTitleChange(const QString &text);

    TDM *m_dm;
    TQVDataSource *m_clients;
    QComboBox *m_title;
    // The parts as split, and as the fields took them (a part longer than its field is cut there,
    // so an unchanged part is composed from what was split, not from the cut field).
    ContactName m_split;
    ContactName m_shown;
    bool m_loading = false;
};

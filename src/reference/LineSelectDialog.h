#pragma once

#include "controls/window/TQVFormSrc.h"

#include <QDialog>
#include <QList>

class QAction;
class QGroupBox;
class QToolButton;
class QVBoxLayout;
class TDM;
class TableView;
class TQVDataSource;
class FieldLineEdit;
class FieldLookupComboBox;
class FieldPlainTextEdit;
class FieldSpinBox;
class TQVTable;
class TypedFieldControl;

// What the three line dialogs share: they edit the current record of one line view in place,
// which their command has put into edit or insert. The tool bar's "Save and Close" posts the line
// and "Cancel" gives it up; either, Escape and the close box then run the dialog's close check,
// and a refusal keeps the dialog open with the user's values in the line. Picking a price-list
// entry in either lookup makes it the list's current record and asks the data module to copy it
// into the line. The lookups search the price list's table as the user types and read a
// screenful at a time, so a long list costs nothing to open.
class LineSelectDialog : public QDialog, public TQVForm
{
    Q_OBJECT

public:
    ~LineSelectDialog() override;

    // The view the dialog edits.
    TableView *lineTable() const;

    void btnSaveClick();
    void btnCancelClick();
    // Escape: the Cancel path.
    void reject() override;

protected:
    // listKey is Material_ID or Labour_ID; codeField the list's code field.
    LineSelectDialog(TDM *dm,
        TQVTable *line,
        TQVTable *list,
        const QString &listKey,
        const QString &codeField,
        QWidget *parent);

    // The rows of the dialog, top to bottom; the subclass adds its own between them.
    QGroupBox *selectGroup(const QString &codeLabel,
        const QString &descriptionLabel,
        const QString &browseName,
        const QString &browseHint);
    QGroupBox *descriptionGroup(const QString &field, const QString &hint);
    QGroupBox *notesGroup(const QString &caption);
    void finishLayout(const QList<QWidget *> &rows, int helpContext);

    FieldLineEdit *numberEdit(QWidget *parent, const QString &name, const QString &field);
    FieldSpinBox *spinEdit(QWidget *parent, const QString &name, const QString &field);

    // Copies the list's current entry into the line (the data module's fill operation).
    virtual void fillLine() = 0;
    // Opens the price-list window.
    virtual void browsePriceList() = 0;
    // Settles what the dialog leaves behind before it goes; false keeps it open.
    virtual bool closeCheck() = 0;

    // Stores what the user is still typing; false when a text was refused (its message shown).
    bool storeTyping();
    // Posts or cancels the line after storing typing; false, with the message shown, when the
    // line refused.
    bool settleLine(bool save);

    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    // Enter presses the command button that has the focus.
    void keyPressEvent(QKeyEvent *event) override;

    TDM *m_dm;
    TQVDataSource *m_line;
    TQVTable *m_priceList; // the data module's price list, whose current entry a fill copies
    FieldLookupComboBox *m_code = nullptr;
    FieldLookupComboBox *m_description = nullptr;
    QList<TypedFieldControl *> m_typed;

private:
    void picked(const QVariant &key);
    void finish();

    QString m_listKey;
    bool m_closing = false;
    bool m_centred = false;
};

#pragma once

#include "controls/window/TQVFormSrc.h"

#include <QDialog>

class QLineEdit;
class TDM;
class TQVDataSource;
class FieldLineEdit;
class TQVDBGrid;
class FieldLookupComboBox;
class TQVPageControl;
class TQVTable;

// The price list one entry at a time: a page of materials and a page of labour rates, each with
// its fields, its heading (and for materials its unit) and a list; the tool bar acts on the page
// shown. Closing saves what is pending and stays open when that is refused.
class TfrmMaterials : public QDialog, public TQVForm
{
    Q_OBJECT

public:
    enum class Page
    {
        Materials,
        Labour
    };
    static constexpr int MaterialsHelpContext = 4;
    static constexpr int LabourHelpContext = 5;

    explicit TfrmMaterials(TDM *dm, QWidget *parent = nullptr);
    TfrmMaterials(TDM *dm, Page page, QWidget *parent = nullptr);
    ~TfrmMaterials() override;

    Page page() const;
    void showPage(Page page);
    TQVTable *pageTable() const;

    void btnNewClick();
    void btnSaveClick();
    void btnCancelClick();
    void btnDeleteClick();
    void btnCloseClick();
    void btnAddUnitClick();
    void btnAddHeadingClick();

    void reject() override;

private:
    QWidget *buildMaterialsPage();
    QWidget *buildLabourPage();

    TDM *m_dm;
    TQVDataSource *m_materials;
    TQVDataSource *m_labour;
    TQVDataSource *m_units;
    TQVDataSource *m_headings;
    TQVPageControl *m_pages;
    FieldLineEdit *m_materialCode = nullptr;
    FieldLineEdit *m_labourCode = nullptr;
};

#pragma once

#include "controls/window/TQVFormSrc.h"

#include <QDialog>

#include <functional>

class QStatusBar;
class TDM;
class TQVDataSource;
class TQVDBGrid;
class TQVPageControl;
class TQVTable;
struct PriceListPlan;

// The whole price list in two grids edited in place, materials and labour rates; the tool bar acts
// on the page shown, a double-click opens the entry in the materials window, and the list is
// exchanged with spreadsheet files. Closing saves what is pending and stays open when refused.
class TfrmPriceChange : public QDialog, public TQVForm
{
    Q_OBJECT

public:
    static constexpr int HelpContext = 1004;

    explicit TfrmPriceChange(TDM *dm, QWidget *parent = nullptr);
    ~TfrmPriceChange() override;

    bool labourPage() const;
    TQVTable *pageTable() const;
    TQVDBGrid *pageGrid() const;

    void btnNewClick();
    void btnSaveClick();
    void btnCancelClick();
    void btnDeleteClick();
    void btnCloseClick();
    void grdDblClick();
    void btnImportClick();
    void btnExportClick();

    // The import and export of a chosen file; what the file buttons do after asking for one.
    void importFile(const QString &path);
    void exportFile(const QString &path);

    // How the window asks for a file (a file dialog) and has an import confirmed (the preview);
    // tests answer them without a dialog.
    std::function<QString(QWidget *parent, bool forSaving)> chooseFile;
    std::function<bool(QWidget *parent, const PriceListPlan &plan)> confirmImport;

    void reject() override;

private:
    TDM *m_dm;
    TQVDataSource *m_materials;
    TQVDataSource *m_labour;
    TQVPageControl *m_pages;
    TQVDBGrid *m_materialGrid;
    TQVDBGrid *m_labourGrid;
    QStatusBar *m_status;
};

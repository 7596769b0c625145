// The main window's commands that add and change material and labour lines: each puts the header
// and the line into the state its dialog expects and shows the dialog.
#include "FormMain.h"
#include "app/DetailPane.h"
#include "app/LinesPage.h"
#include "controls/window/CommandGuard.h"
#include "controls/dataaware/TQVDBGridSrc.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "data/DataModuleMain.h"
#include "reference/FormJobMatSelect.h"
#include "reference/FormMaterialSelection.h"
#include "reference/LabourSelect.h"

#include <QKeyEvent>
#include <QToolButton>

namespace {

// Enter or Return pressed on a widget runs a command instead of reaching the widget.
class EnterKey : public QObject
{
public:
    EnterKey(QWidget *widget, std::function<void()> command)
        : QObject(widget)
        , m_command(std::move(command))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_command();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_command;
};

// Runs the dialog on the header and the line prepared by prepareLine. When the line cannot be
// prepared (another user holds it), a header edit this command started is given up again, so the
// header is not left held for nothing.
template <typename Dialog>
void openLineDialog(TfrmMain *window,
    TDM *dm,
    TQVDataSource *header,
    const std::function<void()> &prepareLine)
{
    runGuarded(window, [&] {
        const bool headerWasEditing = header->isEditing();
        if (!headerWasEditing)
            header->dataSet()->edit();
        try {
            prepareLine();
        } catch (...) {
            if (!headerWasEditing && !header->dataSet()->modified())
                header->dataSet()->cancel();
            throw;
        }
        Dialog dialog(dm, window);
        dialog.exec();
    });
}

} // namespace

void TfrmMain::connectLineCommands()
{
    const LinesPage *materials = m_details->materialsPage();
    const LinesPage *labour = m_details->labourPage();
    connect(materials->addButton(), &QToolButton::clicked, this, &TfrmMain::frmAddMaterialsClick);
    connect(
        materials->editButton(), &QToolButton::clicked, this, &TfrmMain::btnEditMaterialsClick);
    connect(labour->addButton(), &QToolButton::clicked, this, &TfrmMain::btnLabourAddClick);
    connect(labour->editButton(), &QToolButton::clicked, this, &TfrmMain::btnLabourEditClick);
    // A double-click, or Enter on a line, edits it.
    const auto editOn = [this](TQVDBGrid *grid, void (TfrmMain::*edit)()) {
        connect(grid, &QAbstractItemView::doubleClicked, this, edit);
        new EnterKey(grid, [this, edit] { (this->*edit)(); });
    };
    editOn(materials->grid(), &TfrmMain::btnEditMaterialsClick);
    editOn(labour->grid(), &TfrmMain::btnLabourEditClick);
}

void TfrmMain::frmAddMaterialsClick()
{
    // The dialog inserts the new line itself.
    if (jobsPageActive())
        openLineDialog<TfrmJobMatSelect>(this, m_dm, headerSource(), [] { });
    else
        openLineDialog<TfrmMaterialSelect>(this, m_dm, headerSource(), [] { });
}

void TfrmMain::btnEditMaterialsClick()
{
    // On an empty list the view's edit inserts a line, which the dialog then edits.
    if (jobsPageActive())
        openLineDialog<TfrmJobMatSelect>(
            this, m_dm, headerSource(), [this] { m_dm->tblJobMaterials->edit(); });
    else
        openLineDialog<TfrmMaterialSelect>(
            this, m_dm, headerSource(), [this] { m_materials->edit(); });
}

void TfrmMain::btnLabourAddClick()
{
    // A labour line already being inserted or edited is the one the dialog opens on.
    openLineDialog<TfrmLabourSelect>(this, m_dm, headerSource(), [this] {
        if (!m_labour->isEditing())
            m_labour->dataSet()->insert();
    });
}

void TfrmMain::btnLabourEditClick()
{
    openLineDialog<TfrmLabourSelect>(this, m_dm, headerSource(), [this] { m_labour->edit(); });
}

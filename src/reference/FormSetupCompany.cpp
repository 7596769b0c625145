#include "FormSetupCompany.h"

#include "controls/window/CommandGuard.h"
#include "controls/window/HelpRequest.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "data/DataModuleMain.h"
#include "reference/BusinessDetails.h"
#include "reference/LogoChooser.h"
#include "reference/SetupWidgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using SetupWidgets::named;

TfrmSetupCompany::TfrmSetupCompany(TDM *dm, QWidget *parent)
    : QDialog(parent)
    , TQVForm(this)
    , m_dm(dm)
    , m_business(named(new TQVDataSource(this), u"dsBusiness"_s))
    , m_steps(named(new QStackedWidget(this), u"pgSteps"_s))
    , m_logo(nullptr)
    , m_back(named(new QPushButton(u"< &Back"_s, this), u"btnBack"_s))
    , m_next(named(new QPushButton(u"&Next >"_s, this), u"btnNext"_s))
{
    HelpRequest::install(this, 0);
    setObjectName(u"frmSetupCompany"_s);
    setWindowTitle(u"Setup Company"_s);
    setModal(true);
    m_business->setDataSet(dm->tblBusiness);
    runGuarded(this, [dm] { dm->tblBusiness->first(); });

    auto *details = named(new BusinessDetails(m_business, m_steps), u"stepDetails"_s);
    m_logo = named(new LogoChooser(m_business, m_steps), u"stepLogo"_s);
    m_steps->addWidget(details);
    m_steps->addWidget(m_logo);

    auto *picture = named(new QLabel(this), u"imgSide"_s);
    picture->setPixmap(SetupWidgets::sidePicture(QSize(110, 260)));
    picture->setScaledContents(true);
    picture->setFixedWidth(110);

    auto *finish = named(new QPushButton(u"&Finish"_s, this), u"btnFinish"_s);
    auto *cancel = named(new QPushButton(u"&Cancel"_s, this), u"btnCancel"_s);
    m_next->setDefault(true);
    connect(m_back, &QPushButton::clicked, this, &TfrmSetupCompany::btnBackClick);
    connect(m_next, &QPushButton::clicked, this, &TfrmSetupCompany::btnNextClick);
    connect(finish, &QPushButton::clicked, this, &TfrmSetupCompany::btnFinishClick);
    connect(cancel, &QPushButton::clicked, this, &TfrmSetupCompany::btnCancelClick);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *button : { m_back, m_next, finish, cancel })
        buttons->addWidget(button);
    auto *body = new QHBoxLayout;
    body->addWidget(picture);
    body->addWidget(m_steps, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);

    formLoaded();
    showStep(0);
    setFixedSize(560, 320);
}

int TfrmSetupCompany::step() const
{
    return m_steps->currentIndex();
}

void TfrmSetupCompany::showStep(int step)
{
    m_steps->setCurrentIndex(step);
    m_back->setEnabled(step > 0);
    m_next->setEnabled(step < m_steps->count() - 1);
}

void TfrmSetupCompany::btnBackClick()
{
    showStep(0);
}

void TfrmSetupCompany::btnNextClick()
{
    showStep(1);
}

void TfrmSetupCompany::btnFinishClick()
{
    const bool stored = runGuarded(this, [this] { SetupWidgets::postIfEditing(m_business); });
    if (stored)
        accept();
}

void TfrmSetupCompany::btnCancelClick()
{
    reject();
}

void TfrmSetupCompany::reject()
{
    runGuarded(this, [this] { SetupWidgets::cancelIfEditing(m_business); });
    QDialog::reject();
}

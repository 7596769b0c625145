#include "ReferenceFixture.h"

#include "RecordValues.h"
#include "controls/MessageAnswers.h"
#include "controls/TQVDBEdit.h"
#include "controls/TQVRegistry.h"
#include "engine/Field.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

ReferenceFixture::ReferenceFixture()
{
    TQVRegistry::setRootPath(registryFolder.path());
    MessageAnswers::clear();
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
    dm = data.start();
    if (!dm->isConnected())
        qFatal("data module did not start: %s", qPrintable(data.startupMessage));
}

ReferenceFixture::~ReferenceFixture()
{
    dm.reset();
    TQVRegistry::setRootPath(QString());
    MessageAnswers::clear();
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
}

namespace {

double stored(TQVTable *view, const QString &key, const std::function<void()> &fill)
{
    view->append();
    fill();
    view->post();
    return number(view, key);
}

} // namespace

double ReferenceFixture::addHeading(const QString &description)
{
    return stored(dm->tblHeadings, u"Heading_ID"_s,
        [&] { setText(dm->tblHeadings, u"Description", description); });
}

double ReferenceFixture::addUnit(const QString &description)
{
    return stored(
        dm->tblUnit, u"Unit_ID"_s, [&] { setText(dm->tblUnit, u"Unit_Description", description); });
}

double ReferenceFixture::addMaterial(const QString &code,
    const QString &description,
    double cost,
    double selling,
    double heading,
    double unit)
{
    TQVTable *m = dm->tblMaterial;
    return stored(m, u"Material_ID"_s, [&] {
        setText(m, u"Material_Code", code);
        setText(m, u"Description", description);
        setNumber(m, u"CostPrice", cost);
        setNumber(m, u"SellingPrice", selling);
        setNumber(m, u"HeadingCode", heading);
        if (unit != 0)
            setNumber(m, u"Unit_ID", unit);
    });
}

double ReferenceFixture::addLabour(
    const QString &code, const QString &description, double rate, double heading)
{
    TQVTable *l = dm->tblLabour;
    return stored(l, u"Labour_ID"_s, [&] {
        setText(l, u"Labour_Code", code);
        setText(l, u"Description", description);
        setNumber(l, u"Hourly_Rate", rate);
        setNumber(l, u"Heading_Code", heading);
    });
}

double ReferenceFixture::addClient(const QString &contact, const QString &company)
{
    TQVTable *c = dm->tblClients;
    return stored(c, u"Client_ID"_s, [&] {
        setText(c, u"Contact", contact);
        setText(c, u"Company_Name", company);
    });
}

void ReferenceFixture::addQuoteAndJob()
{
    dm->tblQuotes->append();
    dm->tblQuotes->post();
    dm->tblJobs->append();
    dm->tblJobs->post();
}

std::unique_ptr<TDM> ReferenceFixture::startAnother()
{
    return data.start();
}

void onNextModal(const std::function<void(QWidget *)> &action)
{
    QPointer<QWidget> before = QApplication::activeModalWidget();
    auto *timer = new QTimer(qApp);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, qApp, [timer, before, action] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == before)
            return;
        timer->stop();
        timer->deleteLater();
        QPointer<QWidget> window = modal;
        action(modal);
        if (auto *dialog = qobject_cast<QDialog *>(window.data()); dialog && dialog->isVisible())
            dialog->done(QDialog::Rejected);
    });
    timer->start();
}

void type(QWidget *window, const QString &name, const QString &text)
{
    auto *edit = window->findChild<TQVDBEdit *>(name);
    QVERIFY2(edit, qPrintable(name));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

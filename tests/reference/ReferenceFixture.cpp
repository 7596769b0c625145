#include "ReferenceFixture.h"

#include "controls/dataaware/FieldLineEdit.h"
#include "controls/window/MessageAnswers.h"
#include "controls/window/TQVRegistry.h"
#include "engine/Field.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QPushButton>
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
    return view->fieldByName(key)->asFloat();
}

} // namespace

double ReferenceFixture::addHeading(const QString &description)
{
    return stored(dm->tblHeadings, u"Heading_ID"_s,
        [&] { dm->tblHeadings->fieldByName(u"Description"_s)->setAsString(description); });
}

double ReferenceFixture::addUnit(const QString &description)
{
    return stored(dm->tblUnit, u"Unit_ID"_s,
        [&] { dm->tblUnit->fieldByName(u"Unit_Description"_s)->setAsString(description); });
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
        m->fieldByName(u"Material_Code"_s)->setAsString(code);
        m->fieldByName(u"Description"_s)->setAsString(description);
        m->fieldByName(u"CostPrice"_s)->setAsFloat(cost);
        m->fieldByName(u"SellingPrice"_s)->setAsFloat(selling);
        m->fieldByName(u"HeadingCode"_s)->setAsFloat(heading);
        if (unit != 0)
            m->fieldByName(u"Unit_ID"_s)->setAsFloat(unit);
    });
}

double ReferenceFixture::addLabour(
    const QString &code, const QString &description, double rate, double heading)
{
    TQVTable *l = dm->tblLabour;
    return stored(l, u"Labour_ID"_s, [&] {
        l->fieldByName(u"Labour_Code"_s)->setAsString(code);
        l->fieldByName(u"Description"_s)->setAsString(description);
        l->fieldByName(u"Hourly_Rate"_s)->setAsFloat(rate);
        l->fieldByName(u"Heading_Code"_s)->setAsFloat(heading);
    });
}

double ReferenceFixture::addClient(const QString &contact, const QString &company)
{
    TQVTable *c = dm->tblClients;
    return stored(c, u"Client_ID"_s, [&] {
        c->fieldByName(u"Contact"_s)->setAsString(contact);
        c->fieldByName(u"Company_Name"_s)->setAsString(company);
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

void trigger(QWidget *window, const QString &name)
{
    if (auto *action = window->findChild<QAction *>(name)) {
        action->trigger();
        return;
    }
    auto *button = window->findChild<QPushButton *>(name);
    QVERIFY2(button, qPrintable(name));
    button->click();
}

void type(QWidget *window, const QString &name, const QString &text)
{
    auto *edit = window->findChild<FieldLineEdit *>(name);
    QVERIFY2(edit, qPrintable(name));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

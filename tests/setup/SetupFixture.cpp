#include "SetupFixture.h"

#include "controls/window/MessageAnswers.h"
#include "controls/window/TQVRegistry.h"
#include "engine/Field.h"

#include <QImage>
#include <QTest>

using namespace Qt::StringLiterals;

SetupFixture::SetupFixture()
{
    TQVRegistry::setRootPath(registry.path());
    MessageAnswers::clear();
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
}

SetupFixture::~SetupFixture()
{
    dm.reset();
    TQVRegistry::setRootPath(QString());
    MessageAnswers::clear();
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
}

TDM *SetupFixture::start()
{
    dm = data.start();
    if (!dm->isConnected())
        qWarning("%s", qPrintable(data.startupMessage));
    return dm.get();
}

void SetupFixture::stop()
{
    dm.reset();
}

double SetupFixture::addClient(
    const QString &contact, const QString &suburb, const QString &company, const QString &phone)
{
    TQVTable *clients = dm->tblClients;
    clients->insert();
    clients->fieldByName(u"Contact"_s)->setAsString(contact);
    clients->fieldByName(u"Bus_City"_s)->setAsString(suburb);
    clients->fieldByName(u"Company_Name"_s)->setAsString(company);
    clients->fieldByName(u"Phone_Bus"_s)->setAsString(phone);
    clients->post();
    return clients->fieldByName(u"Client_ID"_s)->asFloat();
}

QString SetupFixture::addQuote(double client, const QString &description, const QString &status)
{
    TQVTable *quotes = dm->tblQuotes;
    quotes->insert();
    quotes->fieldByName(u"Client_ID"_s)->setAsFloat(client);
    quotes->fieldByName(u"QuoteDescription"_s)->setAsString(description);
    quotes->fieldByName(u"Status"_s)->setAsString(status.isEmpty() ? u"I"_s : status);
    quotes->post();
    return quotes->fieldByName(u"Quote_No"_s)->asString();
}

double SetupFixture::addJob(double client, const QString &description)
{
    TQVTable *jobs = dm->tblJobs;
    jobs->insert();
    jobs->fieldByName(u"Client_ID"_s)->setAsFloat(client);
    jobs->fieldByName(u"JobDescription"_s)->setAsString(description);
    jobs->fieldByName(u"Status"_s)->setAsString(u"I"_s);
    jobs->post();
    return jobs->fieldByName(u"Job_ID"_s)->asFloat();
}

void SetupFixture::addRecord(TQVTable *table, const QString &field, const QString &value)
{
    table->insert();
    table->fieldByName(field)->setAsString(value);
    table->post();
}

QString SetupFixture::writePicture(const QString &name, const QSize &size, const char *format)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(QColor(200, 40, 40));
    const QString path = files.filePath(name);
    if (!picture.save(path, format))
        qWarning("could not write %s", qPrintable(path));
    return path;
}

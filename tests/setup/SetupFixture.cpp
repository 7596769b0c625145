#include "SetupFixture.h"

#include "RecordValues.h"
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
    fill(clients,
        { { u"Contact", contact },
            // The address as the client window stores it: one text, the suburb on its last line.
            { u"Bus_Address",
                suburb.isEmpty() ? QString() : u"12 Main St\n"_s + suburb + u" VIC 3000"_s },
            { u"Company_Name", company },
            { u"Phone_Bus", phone } });
    clients->post();
    return number(clients, u"Client_ID");
}

QString SetupFixture::addQuote(double client, const QString &description, const QString &status)
{
    TQVTable *quotes = dm->tblQuotes;
    quotes->insert();
    setNumber(quotes, u"Client_ID", client);
    setText(quotes, u"QuoteDescription", description);
    setText(quotes, u"Status", status.isEmpty() ? u"I"_s : status);
    quotes->post();
    return text(quotes, u"Quote_No");
}

double SetupFixture::addJob(double client, const QString &description)
{
    TQVTable *jobs = dm->tblJobs;
    jobs->insert();
    setNumber(jobs, u"Client_ID", client);
    setText(jobs, u"JobDescription", description);
    setText(jobs, u"Status", u"I"_s);
    jobs->post();
    return number(jobs, u"Job_ID");
}

void SetupFixture::addRecord(TQVTable *table, const QString &field, const QString &value)
{
    table->insert();
    setText(table, field, value);
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

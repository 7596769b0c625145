#include "MainWindowFixture.h"

#include "RecordValues.h"
#include "controls/MessageAnswers.h"
#include "controls/TQVRegistry.h"
#include "engine/Field.h"

using namespace Qt::StringLiterals;

MainWindowFixture::MainWindowFixture(bool startWizardDone)
{
    TQVRegistry::setRootPath(registryFolder.path());
    MessageAnswers::clear();
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
    if (startWizardDone)
        data.exec(u"INI"_s, u"INSERT INTO data VALUES ('Startup', 'StartWiz', 'True')"_s);
}

MainWindowFixture::~MainWindowFixture()
{
    window.reset();
    dm.reset();
    TQVRegistry::setRootPath(QString());
    MessageAnswers::clear();
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
}

void MainWindowFixture::addSampleData()
{
    data.exec(u"Clients.DB"_s,
        u"INSERT INTO data (Client_ID, Contact, Company_Name, Phone_Bus) "
        "VALUES (1, 'Ann Archer', 'Archer Roofing', '555 0101')"_s);
    data.exec(u"Clients.DB"_s,
        u"INSERT INTO data (Client_ID, Contact, Company_Name, Phone_Bus) "
        "VALUES (2, 'Bob Baker', '', '555 0202')"_s);
    // Header totals agree with their lines: material charges, labour charges, 10 % tax.
    const auto quote = [this](int id, const QString &number, int client, const QString &status,
                           int priority, double materials, double labour,
                           const QString &description) {
        data.exec(u"Quotes.DB"_s,
            u"INSERT INTO data (Quote_ID, Quote_No, Client_ID, Date, Status, Priority, "
            "QuoteDescription, TotalMaterials, TotalLabour, QuoteTotal, TaxRate, TotalSalesTax, "
            "SalesPerson, Notes) VALUES (%1, '%2', %3, '2024-03-0%1', '%4', %5, '%6', %7, %8, %9, "
            "10, %10, 'Sam', 'Notes of %2')"_s.arg(id)
                .arg(number)
                .arg(client)
                .arg(status)
                .arg(priority)
                .arg(description)
                .arg(materials)
                .arg(labour)
                .arg(materials + labour)
                .arg(materials * 0.1));
    };
    quote(1, u"Q-1"_s, 1, u"P"_s, 5, 150, 80, u"Roof repair"_s);
    quote(2, u"Q-2"_s, 2, u"I"_s, 2, 40, 0, u"Gutter clean"_s);
    quote(3, u"Q-3"_s, 1, u"H"_s, 9, 0, 0, u"Fence"_s);
    quote(4, u"Q-10"_s, 2, u"P"_s, 1, 0, 0, u"Shed"_s);
    const auto material = [this](const QString &file, const QString &numberField, int id,
                              const QString &number, const QString &code, double charge) {
        data.exec(file,
            u"INSERT INTO data (%1, %2, MaterialCode, MaterialDesc, CurrentPrice, Quantity, "
            "TotalCharge) VALUES (%3, '%4', '%5', 'Item %5', %6, 1, %6)"_s
                .arg(numberField == u"Quote_No"_s ? u"Quote_ID"_s : u"Job_ID"_s, numberField)
                .arg(id)
                .arg(number, code)
                .arg(charge));
    };
    material(u"QMat.DB"_s, u"Quote_No"_s, 101, u"Q-1"_s, u"TILE"_s, 100);
    material(u"QMat.DB"_s, u"Quote_No"_s, 102, u"Q-1"_s, u"NAIL"_s, 50);
    material(u"QMat.DB"_s, u"Quote_No"_s, 103, u"Q-2"_s, u"BRUSH"_s, 40);
    material(u"JobMat.db"_s, u"Job_No"_s, 201, u"J-1"_s, u"POST"_s, 300);
    data.exec(u"QLab.db"_s,
        u"INSERT INTO data (Quote_ID, Quote_No, Labour_Code, Description, Hours, "
        "Hourly_Rate, TotalCharge) VALUES (111, 'Q-1', 'ROOF', 'Roofer', 2, 40, 80)"_s);

    const auto job = [this](int id, const QString &number, int client, const QString &status,
                         int priority, int percent, double materials, const QString &description) {
        data.exec(u"Jobs.DB"_s,
            u"INSERT INTO data (Job_ID, Job_No, Client_ID, Date, Status, Priority, "
            u"PercentComplete, "
            "JobDescription, TotalMaterials, TotalLabour, JobTotal, TaxRate, TotalSalesTax, "
            "SalesPerson, Notes) VALUES (%1, '%2', %3, '2024-04-%10', '%4', %5, %6, '%7', %8, 0, "
            "%8, "
            "10, %9, 'Kim', 'Notes of %2')"_s.arg(id)
                .arg(number)
                .arg(client)
                .arg(status)
                .arg(priority)
                .arg(percent)
                .arg(description)
                .arg(materials)
                .arg(materials * 0.1)
                .arg(id - 10));
    };
    job(21, u"J-1"_s, 2, u"H"_s, 5, 30, 300, u"Deck"_s);
    job(22, u"J-2"_s, 1, u"P"_s, 2, 75, 0, u"Pergola"_s);
    data.exec(u"Sales.db"_s, u"INSERT INTO data VALUES (1, 'Sam')"_s);
    data.exec(u"Sales.db"_s, u"INSERT INTO data VALUES (2, 'Kim')"_s);
    data.exec(u"TaxRates.db"_s, u"INSERT INTO data VALUES (1, 10, 'Standard')"_s);
}

void MainWindowFixture::open()
{
    dm = data.start();
    QVERIFY2(dm->isConnected(), qPrintable(data.startupMessage));
    window = std::make_unique<TfrmMain>(dm.get());
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCoreApplication::processEvents();
}

void MainWindowFixture::closeWindow()
{
    window->close();
    window.reset();
}

QString MainWindowFixture::currentQuote() const
{
    return text(dm->tblQuotes, u"Quote_No");
}

QString MainWindowFixture::currentJob() const
{
    return text(dm->tblJobs, u"Job_No");
}

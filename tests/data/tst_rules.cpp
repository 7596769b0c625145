// The business rules of the data module: keys, numbers, header totals and line pricing, with the
// worked figures of a small trade business.
#include "DataDirFixture.h"
#include "RecordValues.h"
#include "TestStore.h"
#include "data/Errors.h"
#include "engine/EmbeddedStore.h"
#include "engine/Field.h"
#include "engine/StatementCounter.h"

#include <QRegularExpression>
#include <QScopeGuard>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;

class TestRules : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void documentNumbers_data();
    void documentNumbers();
    void numbersInTextIgnoreLocale_data();
    void numbersInTextIgnoreLocale();
    void cancelledNewQuoteUsesNoNumber();
    void referenceChecksTakeNoKey_data();
    void referenceChecksTakeNoKey();
    void headerWorkedExample();
    void discountAboveMaterialsGivesNegativeTax();
    void discountOnUnpostedQuoteWaitsForPost();
    void clientNameShown();
    void materialPickAndTypedTexts();
    void materialEditSaveAndCancel();
    void cancelsInTwoCopiesGiveBackTheirOwnCharge_data();
    void cancelsInTwoCopiesGiveBackTheirOwnCharge();
    void emptyQuantity_data();
    void emptyQuantity();
    void labourWorkedExample();
    void labourTypedCharge_data();
    void labourTypedCharge();
    void fillLabourFillsBothLinesJobFirst();
    void deleteAllLines();
    void deleteDocumentIsOneOperation();
    void copyQuoteIntoJob();
    void jobChargedAsQuoted();
    void numberTakenByAnotherCopyIsReplaced();
    void typedDuplicateOrLongNumberRefused_data();
    void typedDuplicateOrLongNumberRefused();
    void oddNumbersKeepSumsRight_data();
    void oddNumbersKeepSumsRight();
    void failingHookStoresNothing();
    void overflowingAmountsAreRefused();
    void linesFollowTheHeaderBeingInserted_data();
    void linesFollowTheHeaderBeingInserted();
    void moneyKeepsFourDecimals_data();
    void moneyKeepsFourDecimals();
    void recordsInUseAreNotDeleted_data();
    void recordsInUseAreNotDeleted();
    void commonOperationsReadNoWholeTable_data();
    void commonOperationsReadNoWholeTable();

private:
    void newQuote(const QString &number = {});
    void addMaterialLine(TQVTable *lines, TQVTable *header, double quantity, double price);
    void addLabourLine(TQVTable *lines, TQVTable *header, double hours, double rate);
    void addMaterial(const QString &code, double selling, double cost, double markup);
    double storedSum(const QString &file, const QString &field, const QString &where = {});

    std::unique_ptr<DataDirFixture> m_fixture;
    std::unique_ptr<TDM> m_dm;
};

void TestRules::init()
{
    StatementCounter::install();
    m_fixture = std::make_unique<DataDirFixture>();
    m_dm = m_fixture->start();
    QVERIFY2(m_dm->isConnected(), qPrintable(m_fixture->startupMessage));
    m_fixture->exec(u"Headings.db"_s, u"INSERT INTO data VALUES (900, 'Plumbing')"_s);
    m_dm->tblHeadings->refresh();
}

void TestRules::cleanup()
{
    m_dm.reset();
    m_fixture.reset();
}

void TestRules::newQuote(const QString &number)
{
    m_dm->tblQuotes->insert();
    if (!number.isNull())
        setText(m_dm->tblQuotes, u"Quote_No", number);
}

void TestRules::addMaterialLine(TQVTable *lines, TQVTable *header, double quantity, double price)
{
    if (!header->isEditing())
        header->edit();
    lines->insert();
    fill(lines,
        { { u"Quantity", quantity }, { u"CurrentPrice", Field::formatNumber(price) },
            { u"MaterialCode", u"M%1"_s.arg(price) }, { u"Heading_ID", 900 } });
    lines->post();
}

void TestRules::addLabourLine(TQVTable *lines, TQVTable *header, double hours, double rate)
{
    if (!header->isEditing())
        header->edit();
    lines->insert();
    fill(lines,
        { { u"Hourly_Rate", rate }, { u"Hours", Field::formatNumber(hours) },
            { u"Labour_Code", u"LAB"_s }, { u"Heading_ID", 900 } });
    lines->post();
}

void TestRules::addMaterial(const QString &code, double selling, double cost, double markup)
{
    m_dm->tblMaterial->insert();
    fill(m_dm->tblMaterial,
        { { u"Material_Code", code }, { u"Description", code + u" pipe"_s },
            { u"SellingPrice", selling }, { u"CostPrice", cost }, { u"Markup", markup },
            { u"HeadingCode", 900 } });
    m_dm->tblMaterial->post();
}

double TestRules::storedSum(const QString &file, const QString &field, const QString &where)
{
    return m_fixture->peek(file, u"SELECT COALESCE(SUM(%1), 0) FROM data %2"_s.arg(field, where))
        .toDouble();
}

void TestRules::documentNumbers_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<double>("next");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("number");
    QTest::newRow("prefix and suffix") << u"Q-"_s << 7.0 << u"/A"_s << u"Q-7/A"_s;
    QTest::newRow("blanks around the prefix") << u" Q "_s << 12.0 << QString() << u"Q12"_s;
    QTest::newRow("no grouping of thousands") << QString() << 1042.0 << QString() << u"1042"_s;
}

void TestRules::documentNumbers()
{
    QFETCH(QString, prefix);
    QFETCH(double, next);
    QFETCH(QString, suffix);
    QFETCH(QString, number);
    m_fixture->exec(u"NxtQuote.db"_s,
        u"INSERT INTO data VALUES (1, '%1', %2, '%3')"_s.arg(prefix).arg(next).arg(suffix));
    newQuote();
    QCOMPARE(text(m_dm->tblQuotes, u"Quote_No"), number);
    QCOMPARE(date(m_dm->tblQuotes, u"Date"), QDate::currentDate());
    QCOMPARE(date(m_dm->tblQuotes, u"DueDate"), QDate::currentDate().addDays(7));
    QCOMPARE(m_dm->tblQuotesMaterial->filter(), u"Quote_No = '%1'"_s.arg(number));
    QVERIFY(m_dm->tblQuotesMaterial->filtered());
    m_dm->tblQuotes->post();
    QCOMPARE(
        m_fixture->peek(u"NxtQuote.db"_s, u"SELECT NextQuote FROM data"_s).toDouble(), next + 1);
    QCOMPARE(m_fixture->peek(u"Quotes.DB"_s, u"SELECT Quote_No FROM data"_s).toString(), number);
}

void TestRules::numbersInTextIgnoreLocale_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<double>("next");
    QTest::addColumn<QString>("number");
    const QLocale c = QLocale::c();
    const QLocale arabic(QLocale::Arabic, QLocale::Egypt);
    const QLocale german(QLocale::German, QLocale::Germany);
    QTest::newRow("round counter, no exponent") << c << 100000.0 << u"Q100000"_s;
    QTest::newRow("large counter, no exponent") << c << 100000000.0 << u"Q100000000"_s;
    QTest::newRow("Arabic-Indic digits not stored") << arabic << 100000.0 << u"Q100000"_s;
    QTest::newRow("ordinary counter, Arabic locale") << arabic << 1042.0 << u"Q1042"_s;
    QTest::newRow("no grouping, German locale") << german << 2000000.0 << u"Q2000000"_s;
}

// Numbers that code reads back (document numbers, filter texts) are the same in every locale.
void TestRules::numbersInTextIgnoreLocale()
{
    QFETCH(QLocale, locale);
    QFETCH(double, next);
    QFETCH(QString, number);
    m_fixture->exec(
        u"NxtQuote.db"_s, u"INSERT INTO data VALUES (1, 'Q', %1, '')"_s.arg(next, 0, 'f', 0));
    m_fixture->exec(u"Clients.DB"_s,
        u"INSERT INTO data (Client_ID, Contact) VALUES (100000, 'Ann'), (100001, 'Bob')"_s);
    m_fixture->exec(u"Quotes.DB"_s,
        u"INSERT INTO data (Quote_ID, Quote_No, Client_ID) VALUES (901, 'A1', 100000), (902, 'A2', 100001)"_s);
    m_fixture->exec(
        u"Jobs.DB"_s, u"INSERT INTO data (Job_ID, Job_No, Client_ID) VALUES (903, 'B1', 100000)"_s);
    for (TQVTable *view : { m_dm->tblClients, m_dm->tblCriteriaQuotes, m_dm->tblCriteriaJobs })
        view->refresh();

    const QLocale before;
    QLocale::setDefault(locale);
    const auto restore = qScopeGuard([&] { QLocale::setDefault(before); });

    newQuote();
    QCOMPARE(text(m_dm->tblQuotes, u"Quote_No"), number);
    m_dm->tblQuotes->post();
    QCOMPARE(m_fixture->peek(u"Quotes.DB"_s, u"SELECT Quote_No FROM data WHERE Quote_ID < 900"_s)
                 .toString(),
        number);

    m_dm->tblClients->first();
    QCOMPARE(text(m_dm->tblClients, u"Contact"), u"Ann"_s);
    m_dm->FilterCriteriaByClient();
    QCOMPARE(m_dm->tblCriteriaQuotes->filter(), u"Client_ID = '100000'"_s);
    QCOMPARE(m_dm->tblCriteriaQuotes->recordCount(), 1);
    QCOMPARE(m_dm->tblCriteriaJobs->recordCount(), 1);
}

void TestRules::cancelledNewQuoteUsesNoNumber()
{
    newQuote(); // no counter row yet: the number is 1 and the row is made
    QCOMPARE(text(m_dm->tblQuotes, u"Quote_No"), u"1"_s);
    m_dm->tblQuotes->cancel();
    newQuote();
    QCOMPARE(text(m_dm->tblQuotes, u"Quote_No"), u"1"_s);
    m_dm->tblQuotes->post();
    QCOMPARE(m_fixture->peek(u"NxtQuote.db"_s, u"SELECT NextQuote FROM data"_s).toDouble(), 2.0);
    newQuote();
    QCOMPARE(text(m_dm->tblQuotes, u"Quote_No"), u"2"_s);
}

void TestRules::referenceChecksTakeNoKey_data()
{
    QTest::addColumn<QString>("view");
    QTest::addColumn<QStringList>("fields"); // name=value pairs
    QTest::addColumn<QString>("message");
    QTest::newRow("material code of blanks")
        << u"tblMaterial"_s << QStringList { u"Material_Code=   "_s, u"HeadingCode=900"_s }
        << u"Please enter a valid Material Code"_s;
    QTest::newRow("material without heading")
        << u"tblMaterial"_s << QStringList { u"Material_Code=P1"_s }
        << u"A heading Code needs to be assigned to the Material\r\n\r\nTo add a heading code "
           u"select the "
           "\"Add Heading\" button\r\nOR\r\nSelect it from the \"Material Group Heading\" List."_s;
    QTest::newRow("labour without heading")
        << u"tblLabour"_s << QStringList { u"Labour_Code=L1"_s, u"Heading_Code=0"_s }
        << u"A heading Code needs to be assigned to the Labour Item\r\n\r\nTo add a heading code "
           u"select the "
           "\"Add Heading\" button\r\nOR\r\nSelect one from the \"Labour Group Heading\" List."_s;
    QTest::newRow("client without names") << u"tblClients"_s << QStringList { u"Contact= "_s }
                                          << u"Please enter a Contact or a valid Company Name"_s;
    QTest::newRow("heading") << u"tblHeadings"_s << QStringList {}
                             << u"Please enter a valid description."_s;
    QTest::newRow("unit") << u"tblUnit"_s << QStringList {}
                          << u"Please enter a valid description."_s;
    QTest::newRow("sales person") << u"tblSales"_s << QStringList {}
                                  << u"Please enter a valid Name."_s;
}

void TestRules::referenceChecksTakeNoKey()
{
    QFETCH(QString, view);
    QFETCH(QStringList, fields);
    QFETCH(QString, message);
    auto *table = m_dm->findChild<TQVTable *>(view);
    QVERIFY(table);
    table->insert();
    for (const QString &pair : fields)
        setText(table, pair.section(u'=', 0, 0), pair.section(u'=', 1));
    try {
        table->post();
        QFAIL("the record was posted");
    } catch (const EQuorvane &error) {
        QCOMPARE(error.message(), message);
    }
    QCOMPARE(table->state(), DataSetState::Insert);
    QCOMPARE(m_fixture->peek(u"PKey.DB"_s, u"SELECT CurrentKey FROM data"_s).toDouble(), 0.0);
    table->cancel();
}

void TestRules::headerWorkedExample()
{
    newQuote();
    addMaterialLine(m_dm->tblQuotesMaterial, m_dm->tblQuotes, 2, 10);
    addLabourLine(m_dm->tblQuoteLabour, m_dm->tblQuotes, 3, 40);
    TQVTable *quote = m_dm->tblQuotes;
    QCOMPARE(number(quote, u"TotalMaterials"), 20.0);
    QCOMPARE(number(quote, u"TotalLabour"), 120.0);
    QCOMPARE(number(quote, u"QuoteTotal"), 140.0);
    quote->edit();
    setNumber(quote, u"Discount", 5);
    setNumber(quote, u"TaxRate", 10);
    quote->post();
    QCOMPARE(number(quote, u"TotalSalesTax"), 1.5);
    QCOMPARE(number(quote, u"VQuoteTotal"), 136.5);
    // Each material line took two keys, its printed row a third; the header one.
    QCOMPARE(m_fixture->peek(u"QMat.DB"_s, u"SELECT Quote_RepID - Quote_ID FROM data"_s).toDouble(),
        1.0);
    QCOMPARE(m_fixture->peek(u"RepQte.DB"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 2);
    QCOMPARE(m_fixture->peek(u"PKey.DB"_s, u"SELECT CurrentKey FROM data"_s).toDouble(), 7.0);
}

void TestRules::discountAboveMaterialsGivesNegativeTax()
{
    newQuote();
    addMaterialLine(m_dm->tblQuotesMaterial, m_dm->tblQuotes, 1, 10);
    m_dm->tblQuotes->edit();
    setNumber(m_dm->tblQuotes, u"TaxRate", 10);
    setNumber(m_dm->tblQuotes, u"Discount", 20);
    m_dm->tblQuotes->post();
    QCOMPARE(number(m_dm->tblQuotes, u"TotalSalesTax"), -1.0);
}

void TestRules::discountOnUnpostedQuoteWaitsForPost()
{
    newQuote();
    TQVTable *quote = m_dm->tblQuotes;
    setNumber(quote, u"TotalMaterials", 100);
    setNumber(quote, u"TaxRate", 10); // the rate's change works the tax out at once
    QCOMPARE(number(quote, u"TotalSalesTax"), 10.0);
    setNumber(quote, u"Discount", 50); // not while inserting
    QCOMPARE(number(quote, u"TotalSalesTax"), 10.0);
    quote->post();
    QCOMPARE(number(quote, u"TotalSalesTax"), 5.0);
    quote->edit();
    setNumber(quote, u"Discount", 0); // at once on a stored quote
    QCOMPARE(number(quote, u"TotalSalesTax"), 10.0);
    quote->cancel();
}

void TestRules::clientNameShown()
{
    m_fixture->exec(u"Clients.DB"_s,
        u"INSERT INTO data (Client_ID, Contact, Company_Name) VALUES "
        "(50, 'Ann Lee', '   '), (51, 'Bob', 'Bob Builders')"_s);
    m_dm->tblDisplayClients->refresh();
    for (double client : { 50.0, 51.0, 52.0 }) {
        newQuote();
        setNumber(m_dm->tblQuotes, u"Client_ID", client);
        m_dm->tblQuotes->post();
    }
    QCOMPARE(texts(m_dm->tblQuotes, u"VClientDesc"),
        QStringList({ u"Ann Lee"_s, u"Bob Builders"_s, QString() }));
}

void TestRules::materialPickAndTypedTexts()
{
    addMaterial(u"P15"_s, 12.5, 8, 25);
    addMaterial(u"P20"_s, 20, 14, 30);
    newQuote();
    TQVTable *line = m_dm->tblQuotesMaterial;
    m_dm->tblQuotes->post();
    m_dm->tblQuotes->edit();
    line->insert();
    QVERIFY(m_dm->tblMaterial->findKey({ u"P15"_s }));
    m_dm->FillQuoteMaterialLine();
    QCOMPARE(number(line, u"Quantity"), 1.0);
    QCOMPARE(number(line, u"TotalCharge"), 12.5);
    QCOMPARE(number(line, u"TotalMarkup"), 12.5);
    QCOMPARE(number(line, u"UnitCost"), 8.0);
    QCOMPARE(number(line, u"RetailMarkup"), 25.0);
    QCOMPARE(number(line, u"Heading_ID"), 900.0);
    setText(line, u"Quantity", u"4"_s);
    QVERIFY(m_dm->tblMaterial->findKey({ u"P20"_s }));
    m_dm->FillQuoteMaterialLine(); // a second pick keeps the typed quantity
    QCOMPARE(number(line, u"Quantity"), 4.0);
    QCOMPARE(number(line, u"TotalCharge"), 80.0);
    setText(line, u"Quantity", u"2"_s);
    setText(line, u"CurrentPrice", u"12.50"_s);
    QCOMPARE(number(line, u"TotalCharge"), 25.0);
    QCOMPARE(number(m_dm->tblQuotes, u"TotalMaterials"), 0.0); // not before saving
    QVERIFY_THROWS_EXCEPTION(EConvertError, setText(line, u"CurrentPrice", QString()));
    QVERIFY_THROWS_EXCEPTION(EConvertError, setText(line, u"CurrentPrice", u"12.5.0"_s));
    QCOMPARE(number(line, u"TotalCharge"), 25.0);
    line->cancel(); // a cancelled new line gives nothing back, yet posts the header
    QCOMPARE(m_dm->tblQuotes->state(), DataSetState::Browse);
    QCOMPARE(number(m_dm->tblQuotes, u"TotalMaterials"), 0.0);
    QCOMPARE(m_fixture->peek(u"QMat.DB"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 0);
}

void TestRules::materialEditSaveAndCancel()
{
    newQuote();
    addMaterialLine(m_dm->tblQuotesMaterial, m_dm->tblQuotes, 2, 10);
    TQVTable *quote = m_dm->tblQuotes;
    TQVTable *line = m_dm->tblQuotesMaterial;

    quote->edit();
    line->edit();
    QCOMPARE(number(quote, u"TotalMaterials"), 0.0);
    QCOMPARE(m_fixture->peek(u"global.db"_s, u"SELECT ID_FIELD FROM data"_s).toDouble(), 20.0);
    QCOMPARE(m_fixture->peek(u"global.db"_s, u"SELECT \"ALPHA\" FROM data"_s).toString(),
        u"Record to Cancel Quote"_s);
    setText(line, u"Quantity", u"3"_s);
    QCOMPARE(number(line, u"TotalCharge"), 30.0);
    line->cancel();
    QCOMPARE(number(line, u"Quantity"), 2.0);
    QCOMPARE(number(quote, u"TotalMaterials"), 20.0);
    QCOMPARE(storedSum(u"Quotes.DB"_s, u"QuoteTotal"_s), 20.0);
    QCOMPARE(m_fixture->peek(u"global.db"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 0);

    quote->edit();
    line->edit();
    setText(line, u"Quantity", u"3"_s);
    line->post();
    QCOMPARE(storedSum(u"Quotes.DB"_s, u"TotalMaterials"_s), 30.0);
    QCOMPARE(storedSum(u"RepQte.DB"_s, u"Total_Cost"_s), 30.0);
    QCOMPARE(m_fixture->peek(u"RepQte.DB"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 1);
    QCOMPARE(m_fixture->peek(u"global.db"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 0);

    quote->edit();
    line->deleteRecord();
    QCOMPARE(storedSum(u"Quotes.DB"_s, u"TotalMaterials"_s), 0.0);
    QCOMPARE(m_fixture->peek(u"RepQte.DB"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 0);
}

void TestRules::cancelsInTwoCopiesGiveBackTheirOwnCharge_data()
{
    QTest::addColumn<bool>("firstIsJob");
    QTest::addColumn<QString>("firstNumber");
    QTest::addColumn<bool>("secondIsJob");
    QTest::addColumn<QString>("secondNumber");
    QTest::newRow("quote 1 and job 1") << false << u"1"_s << true << u"1"_s;
    QTest::newRow("job 1 and quote 1") << true << u"1"_s << false << u"1"_s;
    QTest::newRow("quotes q1 and Q1") << false << u"q1"_s << false << u"Q1"_s;
    QTest::newRow("jobs J-7 and j-7") << true << u"J-7"_s << true << u"j-7"_s;
}

// Two copies each edit a line of a different document and cancel, in the order that used to mix
// up their saved charges: every header ends exactly as it started.
void TestRules::cancelsInTwoCopiesGiveBackTheirOwnCharge()
{
    QFETCH(bool, firstIsJob);
    QFETCH(QString, firstNumber);
    QFETCH(bool, secondIsJob);
    QFETCH(QString, secondNumber);
    struct Document
    {
        TQVTable *header;
        TQVTable *lines;
        QString numberField;
    };
    const auto document = [](TDM &dm, bool job) {
        return job ? Document { dm.tblJobs, dm.tblJobMaterials, u"Job_No"_s }
                   : Document { dm.tblQuotes, dm.tblQuotesMaterial, u"Quote_No"_s };
    };
    const auto add = [&](bool job, const QString &number, double charge) {
        const Document d = document(*m_dm, job);
        d.header->insert();
        setText(d.header, d.numberField, number);
        addMaterialLine(d.lines, d.header, 1, charge);
    };
    add(firstIsJob, firstNumber, 50);
    add(secondIsJob, secondNumber, 70);

    auto other = m_fixture->start();
    QVERIFY2(other->isConnected(), qPrintable(m_fixture->startupMessage));
    const auto openLine = [](const Document &d, const QString &number) {
        for (TQVTable *view : { d.header, d.lines }) {
            view->setFilter(TDM::documentNumberFilter(d.numberField, number));
            view->setFiltered(true);
            view->first();
        }
        d.header->edit();
        d.lines->edit();
    };
    const Document mine = document(*m_dm, firstIsJob);
    const Document theirs = document(*other, secondIsJob);
    openLine(mine, firstNumber);
    openLine(theirs, secondNumber);
    QCOMPARE(number(mine.header, u"TotalMaterials"), 0.0);
    QCOMPARE(number(theirs.header, u"TotalMaterials"), 0.0);
    QCOMPARE(m_fixture->peek(u"global.db"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 2);

    mine.lines->cancel();
    theirs.lines->cancel();
    QCOMPARE(number(mine.header, u"TotalMaterials"), 50.0);
    QCOMPARE(number(theirs.header, u"TotalMaterials"), 70.0);
    const auto stored = [&](bool job, const QString &number) {
        const QString where =
            u" FROM data WHERE %1 = '%2'"_s.arg(job ? u"Job_No"_s : u"Quote_No"_s, number);
        const QString file = job ? u"Jobs.DB"_s : u"Quotes.DB"_s;
        return QString::number(m_fixture->peek(file, u"SELECT TotalMaterials"_s + where).toDouble())
            + u' '
            + QString::number(
                m_fixture->peek(file, (job ? u"SELECT JobTotal"_s : u"SELECT QuoteTotal"_s) + where)
                    .toDouble());
    };
    QCOMPARE(stored(firstIsJob, firstNumber), u"50 50"_s);
    QCOMPARE(stored(secondIsJob, secondNumber), u"70 70"_s);
    QCOMPARE(m_fixture->peek(u"global.db"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 0);
}

void TestRules::emptyQuantity_data()
{
    QTest::addColumn<bool>("job");
    QTest::newRow("quote line keeps its quantity") << false;
    QTest::newRow("job line refuses") << true;
}

void TestRules::emptyQuantity()
{
    QFETCH(bool, job);
    TQVTable *header = job ? m_dm->tblJobs : m_dm->tblQuotes;
    TQVTable *lines = job ? m_dm->tblJobMaterials : m_dm->tblQuotesMaterial;
    header->insert();
    addMaterialLine(lines, header, 2, 10);
    header->edit();
    lines->edit();
    if (job) {
        try {
            setText(lines, u"Quantity", QString());
            QFAIL("an empty quantity was taken");
        } catch (const EConvertError &error) {
            QCOMPARE(error.message(), u"'' is not a valid floating point value"_s);
        }
    } else {
        setText(lines, u"Quantity", QString());
    }
    QCOMPARE(number(lines, u"Quantity"), 2.0);
    QCOMPARE(number(lines, u"TotalCharge"), 20.0);
    lines->cancel();
}

void TestRules::labourWorkedExample()
{
    m_fixture->exec(
        u"Labour.db"_s, u"INSERT INTO data VALUES (70, 'PLUMB', 'Plumber', 40, 0, 900)"_s);
    m_dm->tblLabour->refresh();
    newQuote();
    m_dm->tblQuotes->post();
    m_dm->tblQuotes->edit();
    TQVTable *line = m_dm->tblQuoteLabour;
    line->insert();
    QVERIFY(m_dm->tblLabour->findKey({ u"PLUMB"_s }));
    m_dm->FillLabourLine();
    QCOMPARE(number(line, u"Hours"), 1.0);
    QCOMPARE(number(line, u"TotalCharge"), 40.0);
    setText(line, u"Hours", u"2.5"_s);
    QCOMPARE(number(line, u"TotalCharge"), 100.0);
    setText(line, u"TotalCharge", u"90"_s);
    QCOMPARE(number(line, u"Hours"), 2.25);
    line->post();
    QCOMPARE(storedSum(u"Quotes.DB"_s, u"TotalLabour"_s), 90.0);
    QCOMPARE(storedSum(u"Quotes.DB"_s, u"TotalSalesTax"_s), 0.0);
    const QString printed = u"SELECT %1 FROM data"_s;
    QCOMPARE(m_fixture->peek(u"RepQte.DB"_s, printed.arg(u"Qty"_s)).toDouble(), 2.25);
    QCOMPARE(m_fixture->peek(u"RepQte.DB"_s, printed.arg(u"Cost"_s)).toDouble(), 40.0);
    QCOMPARE(m_fixture->peek(u"RepQte.DB"_s, printed.arg(u"Total_Cost"_s)).toDouble(), 90.0);
    QCOMPARE(m_fixture->peek(u"RepQte.DB"_s, printed.arg(u"Code"_s)).toString(), u"PLUMB"_s);

    // Editing and cancelling gives the exact charge back and clears the undo row.
    m_dm->tblQuotes->edit();
    line->edit();
    setText(line, u"Hours", u"7"_s);
    line->cancel();
    QCOMPARE(storedSum(u"Quotes.DB"_s, u"QuoteTotal"_s), 90.0);
    QCOMPARE(m_fixture->peek(u"global.db"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 0);
}

void TestRules::labourTypedCharge_data()
{
    QTest::addColumn<double>("rate");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("hours");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("keeps the rate, works out the hours") << 40.0 << u"120"_s << 3.0 << QString();
    QTest::newRow("charge at no rate")
        << 0.0 << u"50"_s << 1.0 << u"Floating point division by zero"_s;
    QTest::newRow("nothing at no rate")
        << 0.0 << u"0"_s << 1.0 << u"Invalid floating point operation"_s;
    QTest::newRow("not a number") << 40.0 << u"ten"_s << 1.0
                                  << u"'ten' is not a valid floating point value"_s;
    QTest::newRow("empty is ignored") << 40.0 << QString() << 1.0 << QString();
}

void TestRules::labourTypedCharge()
{
    QFETCH(double, rate);
    QFETCH(QString, typed);
    QFETCH(double, hours);
    QFETCH(QString, refusal);
    newQuote();
    TQVTable *line = m_dm->tblQuoteLabour;
    line->insert();
    setNumber(line, u"Hourly_Rate", rate);
    setText(line, u"Hours", u"1"_s);
    const double before = number(line, u"TotalCharge");
    try {
        setText(line, u"TotalCharge", typed);
        QVERIFY2(refusal.isEmpty(), "the text was taken");
    } catch (const Exception &error) {
        QCOMPARE(error.message(), refusal);
        QCOMPARE(number(line, u"TotalCharge"), before);
    }
    QCOMPARE(number(line, u"Hours"), hours);
    QCOMPARE(number(line, u"Hourly_Rate"), rate);
    line->cancel();
}

void TestRules::fillLabourFillsBothLinesJobFirst()
{
    m_fixture->exec(
        u"Labour.db"_s, u"INSERT INTO data VALUES (70, 'ELEC', 'Electrician', 55, 0, 900)"_s);
    m_dm->tblLabour->refresh();
    QVERIFY(m_dm->tblLabour->findKey({ u"ELEC"_s }));
    m_dm->tblJobs->insert();
    m_dm->tblJobLabour->insert();
    setNumber(m_dm->tblJobLabour, u"Hours", 3);
    newQuote();
    m_dm->tblQuoteLabour->insert();
    m_dm->FillLabourLine();
    QCOMPARE(number(m_dm->tblJobLabour, u"TotalCharge"), 165.0);
    QCOMPARE(number(m_dm->tblQuoteLabour, u"Hours"), 1.0);
    QCOMPARE(number(m_dm->tblQuoteLabour, u"TotalCharge"), 55.0);
    QCOMPARE(text(m_dm->tblQuoteLabour, u"Description"), u"Electrician"_s);
}

void TestRules::deleteAllLines()
{
    newQuote();
    const QString quoteNo = text(m_dm->tblQuotes, u"Quote_No");
    for (double price : { 10.0, 20.5, 7.25 })
        addMaterialLine(m_dm->tblQuotesMaterial, m_dm->tblQuotes, 2, price);
    addLabourLine(m_dm->tblQuoteLabour, m_dm->tblQuotes, 1.5, 40);
    addLabourLine(m_dm->tblQuoteLabour, m_dm->tblQuotes, 2, 33.3);
    m_dm->tblQuoteLabour->setFilter(TDM::documentNumberFilter(u"Quote_No"_s, quoteNo));
    m_dm->tblQuoteLabour->setFiltered(true);
    QCOMPARE(m_fixture->peek(u"RepQte.DB"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 5);
    m_dm->DeleteQuoteLines();
    QCOMPARE(number(m_dm->tblQuotes, u"TotalMaterials"), 0.0);
    QCOMPARE(number(m_dm->tblQuotes, u"TotalLabour"), 0.0);
    QVERIFY(qAbs(storedSum(u"Quotes.DB"_s, u"QuoteTotal"_s)) < 1e-9);
    QCOMPARE(m_fixture->peek(u"RepQte.DB"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 0);
    QCOMPARE(m_fixture->peek(u"QMat.DB"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 0);
    QCOMPARE(m_fixture->peek(u"QLab.db"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 0);
}

void TestRules::deleteDocumentIsOneOperation()
{
    newQuote();
    addMaterialLine(m_dm->tblQuotesMaterial, m_dm->tblQuotes, 2, 10);
    addLabourLine(m_dm->tblQuoteLabour, m_dm->tblQuotes, 1.5, 40);
    const auto stored = [this] {
        QStringList counts;
        for (const QString &file : { u"Quotes.DB"_s, u"QMat.DB"_s, u"QLab.db"_s, u"RepQte.DB"_s })
            counts << m_fixture->peek(file, u"SELECT COUNT(*) FROM data"_s).toString();
        return counts.join(u' ') + u" total "_s
            + QString::number(storedSum(u"Quotes.DB"_s, u"QuoteTotal"_s));
    };
    const QString before = stored();
    QCOMPARE(before, u"1 1 1 2 total 80"_s);
    const TDM::Document &quote = m_dm->document(TDM::DocumentKind::Quote);
    // A header that cannot go keeps its lines, their printed rows and its totals.
    m_dm->tblQuotes->beforeDelete = [](TableView &) { throw EQuorvane(u"refused"_s); };
    QVERIFY_THROWS_EXCEPTION(EQuorvane, m_dm->deleteDocument(quote));
    QCOMPARE(stored(), before);
    m_dm->tblQuotes->cancel();
    m_dm->tblQuotes->beforeDelete = nullptr;
    m_dm->deleteDocument(quote);
    QCOMPARE(stored(), u"0 0 0 0 total 0"_s);
}

void TestRules::copyQuoteIntoJob()
{
    newQuote();
    addMaterialLine(m_dm->tblQuotesMaterial, m_dm->tblQuotes, 2, 10);
    addMaterialLine(m_dm->tblQuotesMaterial, m_dm->tblQuotes, 1, 99.95);
    addLabourLine(m_dm->tblQuoteLabour, m_dm->tblQuotes, 3, 40);
    m_dm->tblJobs->insert();
    setText(m_dm->tblJobs, u"JobDescription", u"From the quote"_s);
    m_dm->CopyQuoteLinesToJob();
    m_dm->tblJobs->post();
    QCOMPARE(storedSum(u"Jobs.DB"_s, u"TotalMaterials"_s),
        storedSum(u"Quotes.DB"_s, u"TotalMaterials"_s));
    QCOMPARE(storedSum(u"Jobs.DB"_s, u"TotalLabour"_s), 120.0);
    QCOMPARE(storedSum(u"Jobs.DB"_s, u"JobTotal"_s), storedSum(u"Quotes.DB"_s, u"QuoteTotal"_s));
    QStringList codes;
    for (int row = 0; row < 3; ++row)
        codes << m_fixture
                     ->peek(u"RepJobs.DB"_s,
                         u"SELECT Code FROM data ORDER BY Code LIMIT 1 OFFSET %1"_s.arg(row))
                     .toString();
    QCOMPARE(codes.join(u','), u"LAB,M10,M99.95"_s);
    QCOMPARE(m_fixture->peek(u"RepJobs.DB"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 3);
    QCOMPARE(m_fixture->peek(u"Jobs.DB"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 1);
}

// A job made from a quote costs the client what the quote said: the job takes the quote's tax
// rate, discount and sales person along with its description, status, priority and client.
void TestRules::jobChargedAsQuoted()
{
    newQuote();
    fill(m_dm->tblQuotes,
        { { u"QuoteDescription", u"Deck"_s }, { u"Status", u"P"_s }, { u"Priority", 3.0 },
            { u"Client_ID", 7.0 }, { u"TaxRate", 12.5 }, { u"Discount", 8.0 },
            { u"SalesPerson", u"Pat"_s } });
    addMaterialLine(m_dm->tblQuotesMaterial, m_dm->tblQuotes, 3, 150);
    addLabourLine(m_dm->tblQuoteLabour, m_dm->tblQuotes, 2, 40);
    m_dm->tblJobs->insert();
    m_dm->CopyQuoteDetailsToJob();
    m_dm->CopyQuoteLinesToJob();
    m_dm->tblJobs->post();
    const QString fields = u"|| '|' || Status || '|' || Priority || '|' || Client_ID || '|' || "
                           "TaxRate || '|' || Discount || '|' || SalesPerson || '|' || "
                           "TotalSalesTax FROM data"_s;
    QCOMPARE(m_fixture->peek(u"Jobs.DB"_s, u"SELECT JobDescription "_s + fields).toString(),
        m_fixture->peek(u"Quotes.DB"_s, u"SELECT QuoteDescription "_s + fields).toString());
    QCOMPARE(number(m_dm->tblJobs, u"VTotalJob"), number(m_dm->tblQuotes, u"VQuoteTotal"));
    QCOMPARE(number(m_dm->tblJobs, u"VTotalJob"), 450.0 + 80.0 - 8.0 + (450.0 - 8.0) * 0.125);
}

void TestRules::numberTakenByAnotherCopyIsReplaced()
{
    newQuote(); // gets 1
    QCOMPARE(text(m_dm->tblQuotes, u"Quote_No"), u"1"_s);
    // Meanwhile another copy stores quote 1 and moves the counter on.
    m_fixture->exec(u"Quotes.DB"_s, u"INSERT INTO data (Quote_ID, Quote_No) VALUES (999, '1')"_s);
    m_fixture->exec(u"NxtQuote.db"_s, u"UPDATE data SET NextQuote = 2"_s);
    addMaterialLine(m_dm->tblQuotesMaterial, m_dm->tblQuotes, 1, 10);
    QCOMPARE(text(m_dm->tblQuotes, u"Quote_No"), u"2"_s);
    QCOMPARE(m_fixture->peek(u"QMat.DB"_s, u"SELECT Quote_No FROM data"_s).toString(), u"2"_s);
    QCOMPARE(m_fixture->peek(u"RepQte.DB"_s, u"SELECT Number FROM data"_s).toString(), u"2"_s);
    QCOMPARE(m_fixture->peek(u"NxtQuote.db"_s, u"SELECT NextQuote FROM data"_s).toDouble(), 3.0);
}

void TestRules::typedDuplicateOrLongNumberRefused_data()
{
    QTest::addColumn<QString>("number");
    QTest::newRow("another quote's number") << u"Q-1"_s;
    QTest::newRow("eleven characters") << u"Q-123456789"_s;
    QTest::newRow("empty") << QString();
}

void TestRules::typedDuplicateOrLongNumberRefused()
{
    QFETCH(QString, number);
    m_fixture->exec(u"Quotes.DB"_s, u"INSERT INTO data (Quote_ID, Quote_No) VALUES (999, 'Q-1')"_s);
    newQuote();
    setText(m_dm->tblQuotes, u"Quote_No", number);
    QVERIFY_THROWS_EXCEPTION(EQuorvane, m_dm->tblQuotes->post());
    QCOMPARE(m_dm->tblQuotes->state(), DataSetState::Insert);
    QCOMPARE(text(m_dm->tblQuotes, u"Quote_No"), number);
    QCOMPARE(m_fixture->peek(u"Quotes.DB"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 1);
    QCOMPARE(m_fixture->peek(u"NxtQuote.db"_s, u"SELECT NextQuote FROM data"_s).toDouble(), 1.0);
    QCOMPARE(m_fixture->peek(u"PKey.DB"_s, u"SELECT CurrentKey FROM data"_s).toDouble(), 0.0);
}

void TestRules::oddNumbersKeepSumsRight_data()
{
    QTest::addColumn<QString>("quoteNo");
    QTest::newRow("blank inside") << u"Q 12"_s;
    QTest::newRow("quote inside") << u"O'NEIL-1"_s;
    QTest::newRow("lower case") << u"q-12"_s;
}

void TestRules::oddNumbersKeepSumsRight()
{
    QFETCH(QString, quoteNo);
    newQuote(quoteNo);
    addMaterialLine(m_dm->tblQuotesMaterial, m_dm->tblQuotes, 2, 10);
    addLabourLine(m_dm->tblQuoteLabour, m_dm->tblQuotes, 1, 50);
    for (TQVTable *line : { m_dm->tblQuotesMaterial, m_dm->tblQuoteLabour }) {
        line->setFilter(TDM::documentNumberFilter(u"Quote_No"_s, quoteNo));
        line->setFiltered(true);
    }
    for (TQVTable *line : { m_dm->tblQuotesMaterial, m_dm->tblQuoteLabour }) {
        QCOMPARE(line->recordCount(), 1);
        m_dm->tblQuotes->edit();
        line->edit();
        setText(line, u"TotalCharge", u"1"_s);
        line->cancel();
        m_dm->tblQuotes->edit();
        line->edit();
        line->post();
    }
    QCOMPARE(storedSum(u"Quotes.DB"_s, u"QuoteTotal"_s), 70.0);
    QCOMPARE(number(m_dm->tblQuotes, u"QuoteTotal"), 70.0);
    QCOMPARE(m_fixture->peek(u"global.db"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 0);
}

// A failure half-way through saving a line (a hook's, or keys refused) leaves nothing stored and
// every sum as it was.
void TestRules::failingHookStoresNothing()
{
    newQuote();
    addMaterialLine(m_dm->tblQuotesMaterial, m_dm->tblQuotes, 2, 10);
    const double keys = m_fixture->peek(u"PKey.DB"_s, u"SELECT CurrentKey FROM data"_s).toDouble();
    m_dm->tblReportQuotes->afterPost = [](TableView &) { throw EDatabaseError(u"disk full"_s); };
    m_dm->tblQuotes->edit();
    m_dm->tblQuotesMaterial->insert();
    setNumber(m_dm->tblQuotesMaterial, u"Quantity", 1);
    setText(m_dm->tblQuotesMaterial, u"CurrentPrice", u"5"_s);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, m_dm->tblQuotesMaterial->post());
    QCOMPARE(m_dm->tblQuotesMaterial->state(), DataSetState::Insert);
    QCOMPARE(number(m_dm->tblQuotesMaterial, u"TotalCharge"), 5.0);
    QCOMPARE(m_dm->tblQuotes->state(), DataSetState::Edit);
    QCOMPARE(number(m_dm->tblQuotes, u"TotalMaterials"), 20.0);
    QCOMPARE(storedSum(u"Quotes.DB"_s, u"TotalMaterials"_s), 20.0);
    QCOMPARE(m_fixture->peek(u"QMat.DB"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 1);
    QCOMPARE(m_fixture->peek(u"PKey.DB"_s, u"SELECT CurrentKey FROM data"_s).toDouble(), keys);
    m_dm->tblReportQuotes->afterPost = {};
    // Another copy holding the key counter refuses the line's keys, which were raised before the
    // counter's lock was tried: the refusal takes the raise back with the rest.
    auto other = m_fixture->start();
    other->tblKeys->first();
    other->tblKeys->edit();
    try {
        m_dm->tblQuotesMaterial->post();
        QFAIL("took keys from a counter another copy holds");
    } catch (const EDatabaseError &error) {
        QVERIFY2(error.message().contains(u"locked by"_s), qPrintable(error.message()));
    }
    QCOMPARE(m_dm->tblQuotesMaterial->state(), DataSetState::Insert);
    QCOMPARE(m_fixture->peek(u"PKey.DB"_s, u"SELECT CurrentKey FROM data"_s).toDouble(), keys);
    other->tblKeys->cancel();
    m_dm->tblQuotesMaterial->post();
    QCOMPARE(storedSum(u"Quotes.DB"_s, u"TotalMaterials"_s), 25.0);
}

void TestRules::overflowingAmountsAreRefused()
{
    // An amount too large for a number would turn the header's sums into infinities, and the
    // next correction into no sums at all. It is refused where it arises; nothing is stored.
    newQuote();
    addMaterialLine(m_dm->tblQuotesMaterial, m_dm->tblQuotes, 2, 10);
    TQVTable *quote = m_dm->tblQuotes;
    TQVTable *line = m_dm->tblQuotesMaterial;
    quote->edit();
    line->edit();
    try {
        setText(line, u"Quantity", u"1e308"_s);
        QFAIL("an overflowing charge was taken");
    } catch (const EConvertError &error) {
        QVERIFY2(error.message().contains(u"too large"_s), qPrintable(error.message()));
    }
    // The typed quantity went with the refused charge.
    QCOMPARE(number(line, u"Quantity"), 2.0);
    QCOMPARE(number(line, u"TotalCharge"), 20.0);
    setText(line, u"Quantity", u"3"_s);
    line->post();
    QCOMPARE(storedSum(u"Quotes.DB"_s, u"TotalMaterials"_s), 30.0);

    // Two charges that are each storable but whose sum is not: the second line is not stored.
    addMaterialLine(line, quote, 1, 1e308);
    const double before = storedSum(u"Quotes.DB"_s, u"TotalMaterials"_s);
    QVERIFY(std::isfinite(before));
    try {
        addMaterialLine(line, quote, 1, 1e308);
        QFAIL("an overflowing header sum was stored");
    } catch (const EConvertError &) { }
    line->cancel();
    quote->cancel();
    QCOMPARE(storedSum(u"Quotes.DB"_s, u"TotalMaterials"_s), before);
    QCOMPARE(m_fixture->peek(u"QMat.DB"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 2);
    QCOMPARE(m_fixture->peek(u"RepQte.DB"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 2);
}

void TestRules::linesFollowTheHeaderBeingInserted_data()
{
    QTest::addColumn<bool>("labour");
    QTest::addColumn<QString>("code");
    QTest::newRow("material line") << false << u"M45"_s;
    QTest::newRow("labour line") << true << u"LAB"_s;
}

// A new header's line lists show its own lines (none), and a line it stores counts and prints as
// itself, never as a line of the quote the lists showed before.
void TestRules::linesFollowTheHeaderBeingInserted()
{
    QFETCH(bool, labour);
    QFETCH(QString, code);
    m_fixture->exec(u"QLab.db"_s,
        u"INSERT INTO data (Quote_ID, Quote_No, Labour_Code, Hours, Hourly_Rate, TotalCharge) "
        "VALUES (111, 'Q-1', 'ROOF', 2, 40, 80)"_s);
    m_fixture->exec(u"QMat.DB"_s,
        u"INSERT INTO data (Quote_ID, Quote_No, MaterialCode, Quantity, CurrentPrice, "
        "TotalCharge) VALUES (112, 'Q-1', 'TILE', 1, 80, 80)"_s);
    for (TQVTable *lines : { m_dm->tblQuotesMaterial, m_dm->tblQuoteLabour }) {
        lines->setFilter(TDM::documentNumberFilter(u"Quote_No"_s, u"Q-1"_s));
        lines->setFiltered(true);
    }
    newQuote();
    const QString quoteNo = text(m_dm->tblQuotes, u"Quote_No");
    for (TQVTable *lines : { m_dm->tblQuotesMaterial, m_dm->tblQuoteLabour })
        QCOMPARE(lines->recordCount(), 0);
    if (labour)
        addLabourLine(m_dm->tblQuoteLabour, m_dm->tblQuotes, 1, 45);
    else
        addMaterialLine(m_dm->tblQuotesMaterial, m_dm->tblQuotes, 1, 45);
    QCOMPARE(storedSum(u"Quotes.DB"_s, u"QuoteTotal"_s), 45.0);
    QCOMPARE(
        m_fixture->peek(u"RepQte.DB"_s, u"SELECT Code || ' ' || Number FROM data"_s).toString(),
        code + u' ' + quoteNo);
    QCOMPARE(m_fixture->peek(u"RepQte.DB"_s, u"SELECT Total_Cost FROM data"_s).toDouble(), 45.0);
    QCOMPARE(storedSum(u"QLab.db"_s, u"TotalCharge"_s, u"WHERE Quote_No = 'Q-1'"_s), 80.0);
    QCOMPARE(storedSum(u"QMat.DB"_s, u"TotalCharge"_s, u"WHERE Quote_No = 'Q-1'"_s), 80.0);
}

void TestRules::moneyKeepsFourDecimals_data()
{
    QTest::addColumn<QList<double>>("prices");
    QTest::addColumn<double>("total");
    QTest::newRow("tenths") << QList<double> { 0.1, 0.2, 0.7 } << 1.0;
    QTest::newRow("beyond four decimals") << QList<double> { 1.23456, 2.00001 } << 3.2346;
    QTest::newRow("thirds") << QList<double> { 33.3, 10.0 / 3, 0.01 } << 36.6433;
}

// Stored sums keep four decimals: a quote whose lines are all deleted stores exactly 0.
void TestRules::moneyKeepsFourDecimals()
{
    QFETCH(QList<double>, prices);
    QFETCH(double, total);
    newQuote();
    for (double price : prices)
        addMaterialLine(m_dm->tblQuotesMaterial, m_dm->tblQuotes, 1, price);
    QCOMPARE(storedSum(u"Quotes.DB"_s, u"TotalMaterials"_s), total);
    m_dm->DeleteQuoteLines();
    for (const QString &field : { u"TotalMaterials"_s, u"QuoteTotal"_s, u"TotalSalesTax"_s }) {
        const double stored = storedSum(u"Quotes.DB"_s, field);
        const double shown = number(m_dm->tblQuotes, field);
        QVERIFY2(stored == 0 && !std::signbit(stored) && shown == 0 && !std::signbit(shown),
            qPrintable(u"%1: %2"_s.arg(field).arg(stored, 0, 'g', 17)));
    }
}

void TestRules::recordsInUseAreNotDeleted_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("client of quotes and a job")
        << u"Clients.DB"_s << u"Contact"_s << u"Ann"_s
        << u"This client is used by 2 quotes and 1 job and cannot be deleted."_s;
    QTest::newRow("client of nothing") << u"Clients.DB"_s << u"Contact"_s << u"Bob"_s << QString();
    QTest::newRow("heading of lines and the price list")
        << u"Headings.db"_s << u"Description"_s << u"Plumbing"_s
        << u"This heading is used by 1 quote, 1 job and 2 price-list entries and cannot be deleted."_s;
    QTest::newRow("unit of a material")
        << u"Unit.db"_s << u"Unit_Description"_s << u"metre"_s
        << u"This unit is used by 1 price-list entry and cannot be deleted."_s;
    QTest::newRow("sales person of a job")
        << u"Sales.db"_s << u"Salesman"_s << u"Kim"_s
        << u"This sales person is used by 1 job and cannot be deleted."_s;
    QTest::newRow("sales person of nothing")
        << u"Sales.db"_s << u"Salesman"_s << u"Sam"_s << QString();
}

// A record that documents or the price list use stays, with a refusal that says what uses it.
void TestRules::recordsInUseAreNotDeleted()
{
    QFETCH(QString, file);
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, refusal);
    const QStringList rows[] = {
        { u"Clients.DB"_s, u"(Client_ID, Contact) VALUES (1, 'Ann'), (2, 'Bob')"_s },
        { u"Unit.db"_s, u"VALUES (5, 'metre')"_s },
        { u"Sales.db"_s, u"VALUES (1, 'Kim'), (2, 'Sam')"_s },
        { u"Quotes.DB"_s,
            u"(Quote_ID, Quote_No, Client_ID) VALUES (11, 'Q-1', 1), (12, 'Q-2', 1)"_s },
        { u"Jobs.DB"_s,
            u"(Job_ID, Job_No, Client_ID, SalesPerson) VALUES (21, 'J-1', 1, 'Kim')"_s },
        { u"QMat.DB"_s, u"(Quote_ID, Quote_No, Heading_ID) VALUES (31, 'Q-1', 900)"_s },
        { u"QLab.db"_s, u"(Quote_ID, Quote_No, Heading_ID) VALUES (32, 'Q-1', 900)"_s },
        { u"JobLab.db"_s, u"(Job_ID, Job_No, Heading_ID) VALUES (33, 'J-1', 900)"_s },
        { u"Material.DB"_s,
            u"(Material_ID, Material_Code, HeadingCode, Unit_ID) VALUES (41, 'PIPE', 900, 5)"_s },
        { u"Labour.db"_s, u"(Labour_ID, Labour_Code, Heading_Code) VALUES (42, 'FIT', 900)"_s },
    };
    for (const QStringList &row : rows)
        m_fixture->exec(row.first(), u"INSERT INTO data "_s + row.last());
    const QHash<QString, TQVTable *> views { { u"Clients.DB"_s, m_dm->tblClients },
        { u"Headings.db"_s, m_dm->tblHeadings }, { u"Unit.db"_s, m_dm->tblUnit },
        { u"Sales.db"_s, m_dm->tblSales } };
    TQVTable *view = views.value(file);
    view->refresh();
    QVERIFY(moveTo(view, field, value));
    const QString count = u"SELECT COUNT(*) FROM data WHERE %1 = '%2'"_s.arg(field, value);
    if (refusal.isEmpty()) {
        view->deleteRecord();
        QCOMPARE(m_fixture->peek(file, count).toInt(), 0);
        return;
    }
    try {
        view->deleteRecord();
        QFAIL("a record in use was deleted");
    } catch (const EQuorvane &error) {
        QCOMPARE(error.message(), refusal);
    }
    QCOMPARE(m_fixture->peek(file, count).toInt(), 1);
    QCOMPARE(view->state(), DataSetState::Browse);
}

QTEST_GUILESS_MAIN(TestRules)
#include "tst_rules.moc"

void TestRules::commonOperationsReadNoWholeTable_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("mostStatements");
    // The most statements each may send: a key is one statement, a commit counts the changes of
    // every table written in one, and a view does not read back what it just stored.
    const std::pair<const char *, int> operations[] = { { "NextKey", 3 }, { "new client", 5 },
        { "header post", 5 }, { "new material line", 8 }, { "edit material line", 20 },
        { "delete material line", 13 }, { "new labour line", 8 } };
    for (const auto &[operation, most] : operations)
        QTest::newRow(operation) << QString::fromLatin1(operation) << most;
}

// What a user does all day sends no statement that walks a table growing with the business (the
// plan of each statement, as SQLite would run it, finds its rows through a key or an index), and
// no more statements than it needs.
void TestRules::commonOperationsReadNoWholeTable()
{
    if (TestStore::onServer())
        QSKIP("reads the embedded database's query plans: embedded database only");
    QFETCH(QString, operation);
    QFETCH(int, mostStatements);
    TQVTable *quote = m_dm->tblQuotes;
    TQVTable *materials = m_dm->tblQuotesMaterial;
    newQuote();
    addMaterialLine(materials, quote, 2, 10);
    addLabourLine(m_dm->tblQuoteLabour, quote, 1, 50);
    quote->post();

    StatementCounter::setRecording(true);
    auto stopRecording = qScopeGuard([] { StatementCounter::setRecording(false); });
    if (operation == u"NextKey"_s) {
        m_dm->NextKey();
    } else if (operation == u"new client"_s) {
        m_dm->tblClients->insert();
        setText(m_dm->tblClients, u"Contact", u"Ann Smith"_s);
        m_dm->tblClients->post();
    } else if (operation == u"header post"_s) {
        quote->edit();
        setText(quote, u"QuoteDescription", u"Bathroom"_s);
        quote->post();
    } else if (operation == u"new material line"_s) {
        addMaterialLine(materials, quote, 3, 7);
    } else if (operation == u"edit material line"_s) {
        quote->edit();
        materials->edit();
        setText(materials, u"Quantity", u"5"_s);
        materials->post();
    } else if (operation == u"delete material line"_s) {
        quote->edit();
        materials->deleteRecord();
    } else {
        addLabourLine(m_dm->tblQuoteLabour, quote, 2, 60);
    }
    const QStringList statements = StatementCounter::recorded();
    stopRecording.dismiss();
    StatementCounter::setRecording(false);
    QVERIFY(!statements.isEmpty());
    QVERIFY2(statements.size() <= mostStatements, qPrintable(statements.join(u'\n')));

    const QStringList growing { u"Quotes.DB"_s, u"Jobs.DB"_s, u"QMat.DB"_s, u"JobMat.db"_s,
        u"QLab.db"_s, u"JobLab.db"_s, u"RepQte.DB"_s, u"RepJobs.DB"_s, u"Clients.DB"_s,
        u"Material.DB"_s, u"Labour.db"_s };
    QStringList walks;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"plans"_s);
        db.setDatabaseName(m_fixture->dataFile(EmbeddedStore::databaseFileName()));
        db.setConnectOptions(u"QSQLITE_OPEN_READONLY"_s);
        if (!db.open())
            walks << u"cannot open the database"_s;
        QSqlQuery plan(db);
        for (const QString &sql : statements) {
            if (!sql.startsWith(u"SELECT"_s, Qt::CaseInsensitive)
                && !sql.startsWith(u"UPDATE"_s, Qt::CaseInsensitive)
                && !sql.startsWith(u"DELETE"_s, Qt::CaseInsensitive))
                continue;
            // Planned as sent, with every value unknown.
            QString planned = sql;
            planned.replace(QRegularExpression(u":\\d+"_s), u"?"_s);
            plan.prepare(u"EXPLAIN QUERY PLAN "_s + planned);
            for (qsizetype i = planned.count(u'?'); i > 0; --i)
                plan.addBindValue(QVariant());
            if (!plan.exec())
                walks << u"cannot plan: "_s + sql;
            while (plan.next()) {
                const QString detail = plan.value(3).toString();
                for (const QString &table : growing) {
                    if (detail.startsWith(u"SCAN "_s + table))
                        walks << sql;
                }
            }
        }
        plan.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(u"plans"_s);
    QVERIFY2(walks.isEmpty(), qPrintable(walks.join(u'\n')));
}

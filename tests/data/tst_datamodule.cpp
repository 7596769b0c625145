// The data module's start on a data directory and the shared settings.
#include "DataDirFixture.h"
#include "RecordValues.h"
#include "TestStore.h"
#include "data/Errors.h"
#include "engine/TQVDatabase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Names, sizes and contents of every file, to prove a failed start changed nothing.
QByteArray fingerprint(const QString &directory)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QStringList names = QDir(directory).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &name : std::as_const(names)) {
        hash.addData(name.toUtf8());
        QFile file(QDir(directory).filePath(name));
        if (file.open(QIODevice::ReadOnly))
            hash.addData(file.readAll());
    }
    return hash.result();
}

} // namespace

class TestDataModule : public QObject
{
    Q_OBJECT

private slots:
    void startOpensEveryViewInOrder();
    void failedStartTouchesNothing_data();
    void failedStartTouchesNothing();
    void lockedFileRefusesStart();
    void settingsFlags();
    void upperCaseRowUpdatedButNotRead();
    void settingSizesCut();
    void sectionWithBlankRefused();
    void completedQuotesHiddenOnlyWhenTrue_data();
    void completedQuotesHiddenOnlyWhenTrue();
    void criteriaFilterByClient();
    void concurrentSettingWriters();
    void heldCounterDelaysOnlyItsPoster();
};

void TestDataModule::startOpensEveryViewInOrder()
{
    DataDirFixture fixture;
    auto dm = fixture.start();
    QVERIFY2(dm->isConnected(), qPrintable(fixture.startupMessage));
    QCOMPARE(dm->views().size(), 26);
    for (TQVTable *view : dm->views())
        QVERIFY2(view->active(), qPrintable(view->tableName()));
    QCOMPARE(dm->views().first(), dm->tblDisplayClients);
    QCOMPARE(dm->views().last(), dm->tblINI);
    QCOMPARE(dm->DB->path(), QFileInfo(fixture.executable()).absolutePath() + u"/DATA/"_s);
    QVERIFY(dm->tblClients->isWatching());
    QVERIFY(dm->tblQuotes->isWatching());
    QVERIFY(!dm->tblINI->isWatching());
    QVERIFY(!dm->tblQuotes->filtered());
    QCOMPARE(dm->tblCriteriaQuotes->fieldByName(u"Quote_No"_s)->displayLabel(), u"Quote No"_s);
    QCOMPARE(
        dm->tblCriteriaJobs->fieldByName(u"JobDescription"_s)->displayLabel(), u"Description"_s);
}

void TestDataModule::failedStartTouchesNothing_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("named");
    QTest::newRow("directory missing") << u"no-dir"_s << u"DATA"_s;
    QTest::newRow("database missing") << u"remove Tessorin.db"_s << u"Tessorin.db"_s;
    QTest::newRow("table missing") << u"drop QLab.db"_s << u"QLab.db"_s;
    QTest::newRow("settings table missing") << u"drop INI"_s << u"INI"_s;
    QTest::newRow("database of garbage") << u"garbage Tessorin.db"_s << u"Tessorin.db"_s;
    QTest::newRow("database emptied") << u"empty Tessorin.db"_s << u"Tessorin.db"_s;
    QTest::newRow("another program's database") << u"foreign Tessorin.db"_s << u"Tessorin.db"_s;
    QTest::newRow("field dropped") << u"alter Sales.db"_s << u"Sales.db"_s;
}

void TestDataModule::failedStartTouchesNothing()
{
    QFETCH(QString, damage);
    QFETCH(QString, named);
    if (TestStore::onServer() && damage.endsWith(u"Tessorin.db"_s))
        QSKIP("The embedded database file only; a server's refusals are in tst_serverstore");
    DataDirFixture fixture;
    const QString verb = damage.section(u' ', 0, 0);
    const QString file = fixture.dataFile(damage.section(u' ', 1));
    if (verb == u"no-dir"_s) {
        QVERIFY(QDir(fixture.dataDirectory()).removeRecursively());
    } else if (verb == u"remove"_s) {
        QVERIFY(QFile::remove(file));
    } else if (verb == u"garbage"_s || verb == u"empty"_s) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        if (verb == u"garbage"_s)
            f.write(QByteArray(4096, 'x'));
    } else if (verb == u"alter"_s) {
        fixture.exec(
            damage.section(u' ', 1), u"ALTER TABLE data RENAME COLUMN Salesman TO Seller"_s);
    } else if (verb == u"drop"_s) {
        fixture.exec(damage.section(u' ', 1), u"DROP TABLE data"_s);
    } else if (verb == u"foreign"_s) {
        fixture.exec(u"INI"_s, u"PRAGMA application_id = 1"_s);
    }
    const QByteArray before = fingerprint(fixture.dataDirectory());
    auto dm = fixture.start();
    QVERIFY(!dm->isConnected());
    QVERIFY(fixture.startupMessage.startsWith(
        u"Cannot Connect To Database. Please Check The Network Connection : \n\n"_s));
    QVERIFY2(fixture.startupMessage.contains(named), qPrintable(fixture.startupMessage));
    dm.reset();
    QCOMPARE(fingerprint(fixture.dataDirectory()), before);
    QVERIFY(!QFileInfo::exists(fixture.dataDirectory()) || verb != u"no-dir"_s);
}

void TestDataModule::lockedFileRefusesStart()
{
    if (TestStore::onServer())
        QSKIP("The embedded database file only");
    DataDirFixture fixture;
    QSqlDatabase holder = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"holder"_s);
    holder.setDatabaseName(fixture.dataFile(u"Tessorin.db"_s));
    QVERIFY(holder.open());
    {
        QSqlQuery query(holder);
        QVERIFY(query.exec(u"BEGIN EXCLUSIVE"_s));
        auto dm = fixture.start();
        QVERIFY(!dm->isConnected());
        QVERIFY2(
            fixture.startupMessage.contains(u"Tessorin.db"_s), qPrintable(fixture.startupMessage));
        QVERIFY2(fixture.startupMessage.contains(u"locked"_s), qPrintable(fixture.startupMessage));
        query.exec(u"ROLLBACK"_s);
    }
    holder.close();
    holder = QSqlDatabase();
    QSqlDatabase::removeDatabase(u"holder"_s);
}

void TestDataModule::settingsFlags()
{
    DataDirFixture fixture;
    auto dm = fixture.start();
    QVERIFY(!dm->ReadSettingFlag(u"Startup"_s, u"StartWiz"_s)); // no row
    dm->WriteSettingFlag(u"Startup"_s, u"StartWiz"_s, true);
    QVERIFY(dm->ReadSettingFlag(u"Startup"_s, u"StartWiz"_s));
    QCOMPARE(fixture.peek(u"INI"_s, u"SELECT Val FROM data WHERE Sect = 'Startup'"_s).toString(),
        u"True"_s);
    dm->WriteSettingFlag(u"Startup"_s, u"StartWiz"_s, false);
    QVERIFY(!dm->ReadSettingFlag(u"Startup"_s, u"StartWiz"_s));
    QCOMPARE(fixture.peek(u"INI"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 1);
    for (const QString &value : { u"true"_s, u"TRUE"_s, u"True "_s, u"1"_s }) {
        dm->WriteSetting(u"Options"_s, u"JobComplete"_s, value);
        QVERIFY2(!dm->ReadSettingFlag(u"Options"_s, u"JobComplete"_s), qPrintable(value));
    }
}

void TestDataModule::upperCaseRowUpdatedButNotRead()
{
    DataDirFixture fixture;
    fixture.exec(u"INI"_s, u"INSERT INTO data VALUES ('OPTIONS', 'QUOTECOMPLETE', 'False')"_s);
    auto dm = fixture.start();
    dm->WriteSettingFlag(u"Options"_s, u"QuoteComplete"_s, true);
    QCOMPARE(fixture.peek(u"INI"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 1);
    QCOMPARE(fixture.peek(u"INI"_s, u"SELECT Val FROM data WHERE Sect = 'OPTIONS'"_s).toString(),
        u"True"_s);
    QVERIFY(!dm->ReadSettingFlag(u"Options"_s, u"QuoteComplete"_s));
}

void TestDataModule::settingSizesCut()
{
    DataDirFixture fixture;
    auto dm = fixture.start();
    const QString longName = QString(40, u'S');
    dm->WriteSetting(longName, QString(35, u'P'), QString(60, u'v'));
    QCOMPARE(
        fixture
            .peek(u"INI"_s,
                u"SELECT length(Sect) || ',' || length(Parameter) || ',' || length(Val) FROM data"_s)
            .toString(),
        u"30,30,50"_s);
    dm->WriteSetting(longName, QString(35, u'P'), u"again"_s); // finds the cut row again
    QCOMPARE(fixture.peek(u"INI"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 1);
}

void TestDataModule::sectionWithBlankRefused()
{
    DataDirFixture fixture;
    auto dm = fixture.start();
    try {
        dm->WriteSetting(u"Q 12"_s, u"Param"_s, u"x"_s);
        QFAIL("a section with a blank was stored");
    } catch (const EInvalidCode &error) {
        QCOMPARE(error.message(),
            u"The Code You Have Entered (Q 12). Contains a Space. Please Enter A Code "
            "That Does Not Contain A Space."_s);
    }
    QCOMPARE(fixture.peek(u"INI"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 0);
    QCOMPARE(dm->tblINI->state(), DataSetState::Browse);
    dm->WriteSetting(
        u"lower"_s, u"Param"_s, u"x"_s); // stored as typed, and the table lock was freed
    QCOMPARE(fixture.peek(u"INI"_s, u"SELECT Sect FROM data"_s).toString(), u"lower"_s);
}

void TestDataModule::completedQuotesHiddenOnlyWhenTrue_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<int>("quotesShown");
    QTest::newRow("no row") << QString() << 2;
    QTest::newRow("False") << u"False"_s << 2;
    QTest::newRow("true in lower case") << u"true"_s << 2;
    QTest::newRow("True") << u"True"_s << 1;
}

void TestDataModule::completedQuotesHiddenOnlyWhenTrue()
{
    QFETCH(QString, setting);
    QFETCH(int, quotesShown);
    DataDirFixture fixture;
    fixture.exec(u"Quotes.DB"_s,
        u"INSERT INTO data (Quote_ID, Quote_No, Status) VALUES (1, 'Q1', 'C'), (2, 'Q2', 'I')"_s);
    fixture.exec(
        u"Jobs.DB"_s, u"INSERT INTO data (Job_ID, Job_No, Status) VALUES (1, 'J1', 'C')"_s);
    if (!setting.isNull())
        fixture.exec(
            u"INI"_s, u"INSERT INTO data VALUES ('Options', 'QuoteComplete', '%1')"_s.arg(setting));
    auto dm = fixture.start();
    QCOMPARE(dm->tblQuotes->recordCount(), quotesShown);
    QCOMPARE(dm->tblJobs->recordCount(), 1); // the job option is separate
    QCOMPARE(dm->tblCriteriaQuotes->recordCount(), 2);
}

void TestDataModule::criteriaFilterByClient()
{
    DataDirFixture fixture;
    fixture.exec(u"Clients.DB"_s,
        u"INSERT INTO data (Client_ID, Contact) VALUES (123, 'Ann'), (124, 'Bob')"_s);
    fixture.exec(u"Quotes.DB"_s,
        u"INSERT INTO data (Quote_ID, Quote_No, Client_ID) VALUES (1, 'Q1', 123), (2, 'Q2', 124)"_s);
    auto dm = fixture.start();
    dm->tblClients->first(); // Ann
    dm->FilterCriteriaByClient(); // no jobs at all: the quotes are still Ann's only
    QVERIFY(dm->tblCriteriaQuotes->filtered());
    QCOMPARE(dm->tblCriteriaQuotes->recordCount(), 1);
    QVERIFY(dm->tblCriteriaJobs->filtered());

    fixture.exec(
        u"Jobs.DB"_s, u"INSERT INTO data (Job_ID, Job_No, Client_ID) VALUES (3, 'J1', 124)"_s);
    dm->tblCriteriaJobs->refresh();
    dm->FilterCriteriaByClient();
    QVERIFY(dm->tblCriteriaQuotes->filtered());
    QCOMPARE(dm->tblCriteriaQuotes->filter(), u"Client_ID = '123'"_s);
    QCOMPARE(dm->tblCriteriaQuotes->recordCount(), 1);
    QCOMPARE(dm->tblCriteriaJobs->recordCount(), 0);
    dm->ClearCriteriaFilter();
    QCOMPARE(dm->tblCriteriaJobs->recordCount(), 1);
    QCOMPARE(dm->tblCriteriaQuotes->filter(), u"Client_ID = '123'"_s);
}

// Two copies write settings at the same moment, each its own rows: every row is stored.
void TestDataModule::concurrentSettingWriters()
{
    DataDirFixture fixture;
    QList<QProcess *> writers;
    for (const QString &name : { u"A"_s, u"B"_s }) {
        auto *process = new QProcess(this);
        process->start(QStringLiteral(SETTINGS_PEER), { fixture.executable(), name, u"40"_s });
        writers << process;
    }
    for (QProcess *process : std::as_const(writers)) {
        QVERIFY(process->waitForFinished(120000));
        QVERIFY2(process->exitCode() == 0, process->readAllStandardError().constData());
        delete process;
    }
    QCOMPARE(fixture.peek(u"INI"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 80);
    QCOMPARE(fixture.peek(u"INI"_s, u"SELECT COUNT(*) FROM data WHERE Val = 'True'"_s).toInt(), 80);
}

// One copy keeps the quote counter in edit (the options dialog) and another posts a new quote,
// which needs the counter. The poster waits for the counter before it writes anything, so this
// copy's line saves go on meanwhile; the poster is refused, naming who holds the counter.
void TestDataModule::heldCounterDelaysOnlyItsPoster()
{
    DataDirFixture fixture;
    fixture.exec(u"NxtQuote.db"_s, u"INSERT INTO data VALUES (1, 'Q', 100, '')"_s);
    auto dm = fixture.start();
    QVERIFY(dm->isConnected());
    dm->tblQuotes->insert();
    dm->tblQuotes->post();

    QProcess holder;
    holder.start(QStringLiteral(SETTINGS_PEER), { fixture.executable(), u"hold-counter"_s });
    QVERIFY(holder.waitForReadyRead(60000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));
    QProcess poster;
    poster.start(QStringLiteral(SETTINGS_PEER), { fixture.executable(), u"new-quote"_s });
    QVERIFY(poster.waitForReadyRead(60000));
    QCOMPARE(poster.readLine().trimmed(), QByteArray("posting"));

    int saved = 0;
    do {
        dm->tblQuotes->edit();
        dm->tblQuotesMaterial->insert();
        setNumber(dm->tblQuotesMaterial, u"Quantity", 1);
        setText(dm->tblQuotesMaterial, u"CurrentPrice", u"10"_s);
        setNumber(dm->tblQuotesMaterial, u"Heading_ID", 900);
        dm->tblQuotesMaterial->post(); // throws "database is locked" if the poster held it
        ++saved;
    } while (poster.state() != QProcess::NotRunning && saved < 2000);
    QVERIFY(poster.waitForFinished(60000));
    QCOMPARE(poster.exitCode(), 1);
    const QString refusal = QString::fromLocal8Bit(poster.readAllStandardError());
    QVERIFY2(refusal.contains(u"locked by"_s), qPrintable(refusal));
    holder.closeWriteChannel();
    QVERIFY(holder.waitForFinished(60000));
    QCOMPARE(holder.exitCode(), 0);
    QCOMPARE(fixture.peek(u"QMat.DB"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), saved);
    QCOMPARE(fixture.peek(u"NxtQuote.db"_s, u"SELECT NextQuote FROM data"_s).toInt(), 101);
    QCOMPARE(fixture.peek(u"Quotes.DB"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 1);
}

QTEST_GUILESS_MAIN(TestDataModule)
#include "tst_datamodule.moc"

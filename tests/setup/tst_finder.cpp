#include "ModalDialogs.h"
#include "RecordValues.h"
#include "SetupFixture.h"
#include "SetupTests.h"
#include "controls/dataaware/TQVDBGridSrc.h"
#include "controls/window/TQVPageControl.h"
#include "engine/Field.h"
#include "reference/FormFinder.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

class TestFinder : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void searchMoves_data();
    void searchMoves();
    void listsFollowClient();
    void oneTableEmptyListsStillFollowClient_data();
    void oneTableEmptyListsStillFollowClient();
    void clientFilterWhateverTheLocale();
    void handsBack_data();
    void handsBack();

private:
    QString currentContact() const;
    void search(TfrmFinder &finder, const QString &item, const QString &text);

    std::unique_ptr<SetupFixture> m_fixture;
    TDM *m_dm = nullptr;
    double m_ann = 0;
    double m_bob = 0;
};

void TestFinder::init()
{
    m_fixture = std::make_unique<SetupFixture>();
    m_dm = m_fixture->start();
    QVERIFY(m_dm->isConnected());
    m_ann = m_fixture->addClient(u"Ann Archer"_s, u"Brunswick"_s, u"Archer Roofing"_s, u"555 0101"_s);
    m_bob = m_fixture->addClient(u"bob baker"_s, u"Carlton"_s, QString(), u"555 0202"_s);
    m_fixture->addClient(u"Cara O'Neil"_s, u"Fitzroy"_s);
    m_fixture->addClient(u"Dan 100% Pure"_s, u"Coburg"_s);
    m_fixture->addClient(u"Eve Back\\slash"_s, u"Preston"_s);
    m_fixture->addClient(u"Frank_Under"_s, u"Kew"_s);
    m_fixture->addClient(u"McDonald Farms"_s, u"Bendigo"_s);
}

void TestFinder::cleanup()
{
    m_fixture.reset();
}

QString TestFinder::currentContact() const
{
    return text(m_dm->tblClients, u"Contact");
}

void TestFinder::search(TfrmFinder &finder, const QString &item, const QString &text)
{
    auto *by = finder.findChild<QComboBox *>(u"cboSearchBy"_s);
    by->setCurrentIndex(by->findText(item));
    auto *box = finder.findChild<QLineEdit *>(u"edtSearch"_s);
    box->setFocus();
    box->clear();
    QTest::keyClicks(box, text);
}

void TestFinder::searchMoves_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("contact"); // empty: the current client stays
    QTest::newRow("contact, as typed") << u"Contact"_s << u"Ann"_s << u"Ann Archer"_s;
    QTest::newRow("contact, other case") << u"Contact"_s << u"BOB B"_s << u"bob baker"_s;
    QTest::newRow("each word capitalised") << u"Contact"_s << u"ann arch"_s << u"Ann Archer"_s;
    QTest::newRow("a mixed case as stored") << u"Contact"_s << u"McD"_s << u"McDonald Farms"_s;
    QTest::newRow("a quote is a plain character") << u"Contact"_s << u"Cara O'"_s << u"Cara O'Neil"_s;
    QTest::newRow("a percent sign is a plain character")
        << u"Contact"_s << u"Dan 100%"_s << u"Dan 100% Pure"_s;
    QTest::newRow("a percent sign alone matches nothing") << u"Contact"_s << u"%"_s << QString();
    QTest::newRow("an underscore is a plain character")
        << u"Contact"_s << u"Frank_"_s << u"Frank_Under"_s;
    QTest::newRow("an underscore alone matches nothing") << u"Contact"_s << u"_"_s << QString();
    QTest::newRow("a backslash is a plain character")
        << u"Contact"_s << u"Eve Back\\"_s << u"Eve Back\\slash"_s;
    QTest::newRow("no client starts so") << u"Contact"_s << u"Zed"_s << QString();
    QTest::newRow("company name") << u"Company Name"_s << u"Archer R"_s << u"Ann Archer"_s;
    QTest::newRow("business phone") << u"Phone Business"_s << u"555 02"_s << u"bob baker"_s;
    QTest::newRow("suburb") << u"Suburb"_s << u"carl"_s << u"bob baker"_s;
    QTest::newRow("suburb, other case") << u"Suburb"_s << u"FITZ"_s << u"Cara O'Neil"_s;
    QTest::newRow("suburb inside a word is none") << u"Suburb"_s << u"rlton"_s << QString();
}

void TestFinder::searchMoves()
{
    QFETCH(QString, item);
    QFETCH(QString, typed);
    QFETCH(QString, contact);
    TfrmFinder finder(m_dm);
    finder.show();
    // Start away from the first client, so that staying put shows.
    search(finder, u"Contact"_s, u"Frank"_s);
    QCOMPARE(currentContact(), u"Frank_Under"_s);
    search(finder, item, typed);
    QCOMPARE(currentContact(), contact.isEmpty() ? u"Frank_Under"_s : contact);
    ModalDialogs::shoot(&finder, u"finder"_s);
}

void TestFinder::listsFollowClient()
{
    m_fixture->addQuote(m_ann, u"Roof"_s);
    m_fixture->addQuote(m_ann, u"Gutter"_s);
    m_fixture->addQuote(m_bob, u"Fence"_s);
    m_fixture->addJob(m_ann, u"Deck"_s);
    TfrmFinder finder(m_dm);
    finder.show();
    search(finder, u"Contact"_s, u"Ann"_s);
    QCOMPARE(m_dm->tblCriteriaQuotes->recordCount(), 2);
    QCOMPARE(m_dm->tblCriteriaJobs->recordCount(), 1);
    search(finder, u"Contact"_s, u"bob"_s);
    QCOMPARE(m_dm->tblCriteriaQuotes->recordCount(), 1);
    QCOMPARE(m_dm->tblCriteriaJobs->recordCount(), 0);
    search(finder, u"Contact"_s, u"Cara"_s);
    QCOMPARE(m_dm->tblCriteriaQuotes->recordCount(), 0);
    finder.findChild<QToolButton *>(u"btnClose"_s)->click();
    // Closed: the lists show everything again, and the clients their usual order.
    QVERIFY(!m_dm->tblCriteriaQuotes->filtered());
    QVERIFY(!m_dm->tblCriteriaJobs->filtered());
    QCOMPARE(m_dm->tblClients->indexFieldNames(), u"Contact"_s);
    QCOMPARE(m_dm->tblCriteriaQuotes->recordCount(), 3);
}

void TestFinder::oneTableEmptyListsStillFollowClient_data()
{
    QTest::addColumn<bool>("jobs"); // the documents stored are jobs, else quotes
    QTest::newRow("no jobs at all") << false;
    QTest::newRow("no quotes at all") << true;
}

// Even while one table is empty, the other lists the chosen client's documents only, so Select
// never hands back another client's.
void TestFinder::oneTableEmptyListsStillFollowClient()
{
    QFETCH(bool, jobs);
    for (const double client : { m_ann, m_bob }) {
        if (jobs)
            m_fixture->addJob(client, u"Deck"_s);
        else
            m_fixture->addQuote(client, u"Roof"_s);
    }
    TQVTable *listed = jobs ? m_dm->tblCriteriaJobs : m_dm->tblCriteriaQuotes;
    TfrmFinder finder(m_dm);
    finder.show();
    search(finder, u"Contact"_s, u"Cara"_s);
    QCOMPARE(listed->recordCount(), 0);
    search(finder, u"Contact"_s, u"bob"_s);
    QCOMPARE(listed->recordCount(), 1);
    QCOMPARE(number(listed, u"Client_ID"), m_bob);
}

// Under a locale with digits of its own the client's key still filters the lists.
void TestFinder::clientFilterWhateverTheLocale()
{
    m_fixture->addQuote(m_ann, u"Roof"_s);
    m_fixture->addQuote(m_bob, u"Fence"_s);
    m_fixture->addJob(m_ann, u"Deck"_s);
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
    {
        TfrmFinder finder(m_dm);
        finder.show();
        search(finder, u"Contact"_s, u"bob"_s);
        QCOMPARE(m_dm->tblCriteriaQuotes->recordCount(), 1);
        QCOMPARE(text(m_dm->tblCriteriaQuotes, u"QuoteDescription"), u"Fence"_s);
    }
    QLocale::setDefault(before);
}

void TestFinder::handsBack_data()
{
    QTest::addColumn<QString>("client");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("found");
    QTest::newRow("a quote") << u"Ann"_s << 0 << u"Select Quote"_s << u"Quotes"_s << true;
    QTest::newRow("a job") << u"Ann"_s << 1 << u"Select Job"_s << u"Jobs"_s << true;
    QTest::newRow("no quotes: the id 0") << u"Cara"_s << 0 << u"Select Quote"_s << u"Quotes"_s
                                          << false;
    QTest::newRow("closed: nothing") << u"Ann"_s << 1 << QString() << QString() << false;
}

void TestFinder::handsBack()
{
    QFETCH(QString, client);
    QFETCH(int, page);
    QFETCH(QString, button);
    QFETCH(QString, kind);
    QFETCH(bool, found);
    m_fixture->addQuote(m_bob, u"Fence"_s);
    m_fixture->addQuote(m_ann, u"Roof"_s);
    const double quote = number(m_dm->tblQuotes, u"Quote_ID");
    const double job = m_fixture->addJob(m_ann, u"Deck"_s);
    TfrmFinder finder(m_dm);
    finder.show();
    QCOMPARE(finder.windowTitle(), u"Job and Quote Finder"_s);
    search(finder, u"Contact"_s, client);
    finder.findChild<TQVPageControl *>(u"pgFinder"_s)->setCurrentIndex(page);
    auto *select = finder.findChild<QToolButton *>(u"btnSelect"_s);
    QCOMPARE(select->text(), page == 0 ? u"Select Quote"_s : u"Select Job"_s);
    if (button.isEmpty())
        finder.findChild<QToolButton *>(u"btnClose"_s)->click();
    else
        select->click();
    QVERIFY(!finder.isVisible());
    QCOMPARE(finder.kind(), kind);
    QCOMPARE(finder.id(), found ? (page == 0 ? quote : job) : 0.0);
}

int runFinderTests(int argc, char **argv)
{
    TestFinder test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_finder.moc"

#include "AppTests.h"
#include "MainWindowFixture.h"
#include "ModalDialogs.h"
#include "controls/dataaware/FieldLineEdit.h"
#include "controls/dataaware/FieldPlainTextEdit.h"
#include "controls/window/TQVPageControl.h"
#include "engine/Field.h"
#include "reference/FormClientMoreInfo.h"
#include "reference/FormClients.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// The sample business, its clients with home addresses and mobile numbers, and room in the key
// counter for new clients.
void openOnClientPage(MainWindowFixture &fixture)
{
    fixture.addSampleData();
    fixture.data.exec(u"Clients.DB"_s,
        u"UPDATE data SET Hm_Address = 'Home of ' || Contact, "
        "Phone_Mobile = 'Mobile of ' || Contact"_s);
    fixture.data.exec(u"PKey.DB"_s, u"UPDATE data SET CurrentKey = 1000"_s);
    fixture.open();
    fixture.find<TQVPageControl>(u"pageDetails"_s)->setCurrentIndex(1);
    QCoreApplication::processEvents();
}

void showJobs(MainWindowFixture &fixture)
{
    fixture.find<TQVPageControl>(u"TBJobsQuotes"_s)->setCurrentIndex(1);
    QCoreApplication::processEvents();
}

void click(MainWindowFixture &fixture, const QString &button)
{
    QTest::mouseClick(fixture.find<QToolButton>(button), Qt::LeftButton);
}

QString shown(MainWindowFixture &fixture, const QString &edit)
{
    return fixture.find<FieldLineEdit>(edit)->text();
}

double storedClient(MainWindowFixture &fixture, bool jobs, const QString &number)
{
    return fixture.data
        .peek(jobs ? u"Jobs.DB"_s : u"Quotes.DB"_s,
            u"SELECT Client_ID FROM data WHERE %1 = '%2'"_s.arg(
                jobs ? u"Job_No"_s : u"Quote_No"_s, number))
        .toDouble();
}

} // namespace

class TestClientPage : public QObject
{
    Q_OBJECT

private slots:
    void selectAttachesTheChosenClient_data();
    void selectAttachesTheChosenClient();
    void newClientIsNotAttached_data();
    void newClientIsNotAttached();
    void editOpensOnTheHeadersClient_data();
    void editOpensOnTheHeadersClient();
    void companyTypedOnThePageChangesEveryDocument();
    void selectorChoicesStayAcrossDocuments();
    void phoneKindsByKeyboard_data();
    void phoneKindsByKeyboard();
    void selectWritesOnlyTheActiveHeader_data();
    void selectWritesOnlyTheActiveHeader();
    void pageWaitsForAClient();
};

void TestClientPage::selectAttachesTheChosenClient_data()
{
    QTest::addColumn<bool>("jobs");
    QTest::addColumn<bool>("fromMenu");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<double>("chosenId");
    QTest::newRow("quote, page button") << false << false << u"Q-1"_s << u"Bob Baker"_s << 2.0;
    QTest::newRow("quote, Tools menu") << false << true << u"Q-1"_s << u"Bob Baker"_s << 2.0;
    QTest::newRow("job, page button") << true << false << u"J-1"_s << u"Ann Archer"_s << 1.0;
}

void TestClientPage::selectAttachesTheChosenClient()
{
    QFETCH(bool, jobs);
    QFETCH(bool, fromMenu);
    QFETCH(QString, number);
    QFETCH(QString, chosen);
    QFETCH(double, chosenId);
    MainWindowFixture fixture;
    openOnClientPage(fixture);
    if (jobs)
        showJobs(fixture);
    TQVTable *header = jobs ? fixture.dm->tblJobs : fixture.dm->tblQuotes;
    bool headerEditing = false;
    ModalDialogs::whenShown<TfrmClientDetails>([&](TfrmClientDetails *list) {
        headerEditing = header->isEditing();
        QVERIFY(fixture.dm->tblClients->findKey({ chosen }));
        list->findChild<QAction *>(u"btnSelectClient"_s)->trigger();
    });
    if (fromMenu)
        fixture.find<QAction>(u"mniClients"_s)->trigger();
    else
        click(fixture, u"btnSelectClient"_s);
    QVERIFY(headerEditing);
    QVERIFY(!header->isEditing());
    QCOMPARE(storedClient(fixture, jobs, number), chosenId);
    QCOMPARE(shown(fixture, u"feContact"_s), chosen);
}

void TestClientPage::newClientIsNotAttached_data()
{
    QTest::addColumn<bool>("saved");
    QTest::newRow("saved and closed") << true;
    QTest::newRow("closed by its close box") << false;
}

void TestClientPage::newClientIsNotAttached()
{
    QFETCH(bool, saved);
    MainWindowFixture fixture;
    openOnClientPage(fixture);
    bool inserting = false;
    ModalDialogs::whenShown<TfrmClient>([&](TfrmClient *client) {
        inserting = fixture.dm->tblClients->state() == DataSetState::Insert;
        auto *contact = client->findChild<FieldLineEdit *>(u"feContact"_s);
        contact->setFocus();
        QTest::keyClicks(contact, u"Dora Diaz"_s);
        if (saved)
            client->findChild<QAction *>(u"btnSaveClose"_s)->trigger();
        client->close(); // a refused save leaves it open
    });
    click(fixture, u"btnNewClient"_s);
    QVERIFY(inserting);
    QCOMPARE(
        fixture.data.peek(u"Clients.DB"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), saved ? 3 : 2);
    QVERIFY(!fixture.dm->tblQuotes->isEditing());
    QCOMPARE(storedClient(fixture, false, u"Q-1"_s), 1.0);
    QCOMPARE(shown(fixture, u"feContact"_s), u"Ann Archer"_s);
}

void TestClientPage::editOpensOnTheHeadersClient_data()
{
    QTest::addColumn<double>("quoteId");
    QTest::addColumn<QString>("currentBefore");
    QTest::addColumn<QString>("edited");
    QTest::newRow("the quote's client") << 2.0 << u"Ann Archer"_s << u"Bob Baker"_s;
    QTest::newRow("a quote without a client keeps the current client")
        << 5.0 << u"Bob Baker"_s << u"Bob Baker"_s;
}

void TestClientPage::editOpensOnTheHeadersClient()
{
    QFETCH(double, quoteId);
    QFETCH(QString, currentBefore);
    QFETCH(QString, edited);
    MainWindowFixture fixture;
    fixture.data.exec(u"Quotes.DB"_s,
        u"INSERT INTO data (Quote_ID, Quote_No, Status, Priority) VALUES (5, 'Q-5', 'P', 5)"_s);
    openOnClientPage(fixture);
    TQVTable *clients = fixture.dm->tblClients;
    QVERIFY(fixture.dm->tblQuotes->findKey({ quoteId }));
    QVERIFY(clients->findKey({ currentBefore }));
    QString opened;
    ModalDialogs::whenShown<TfrmClient>([&](TfrmClient *client) {
        opened = client->findChild<FieldLineEdit *>(u"feContact"_s)->text();
        ModalDialogs::shoot(client, u"client-edit"_s);
        ModalDialogs::shoot(fixture.window.get(), u"client-page"_s);
        client->findChild<QAction *>(u"btnCancel"_s)->trigger();
    });
    click(fixture, u"btnEditClient"_s);
    QCOMPARE(opened, edited);
    QCOMPARE(clients->fieldByName(u"Contact"_s)->asString(), edited);
    // The list's order by contact is back.
    QCOMPARE(clients->indexFieldNames(), u"Contact"_s);
}

void TestClientPage::companyTypedOnThePageChangesEveryDocument()
{
    // Ann Archer is the client of and J-2.
    MainWindowFixture fixture;
    openOnClientPage(fixture);
    auto *company = fixture.find<FieldLineEdit>(u"feCompany"_s);
    company->setFocus();
    company->selectAll();
    QTest::keyClicks(company, u"Archer Builders"_s);
    fixture.find<QAction>(u"btnSaveJobQuote"_s)->trigger();
    QVERIFY(!fixture.dm->tblClientDetails->isEditing());
    QCOMPARE(
        fixture.data.peek(u"Clients.DB"_s, u"SELECT Company_Name FROM data WHERE Client_ID = 1"_s),
        QVariant(u"Archer Builders"_s));

    QVERIFY(fixture.dm->tblQuotes->findKey({ 3.0 }));
    QCOMPARE(shown(fixture, u"feCompany"_s), u"Archer Builders"_s);
    QTRY_COMPARE(
        fixture.dm->tblQuotes->fieldByName(u"VClientDesc"_s)->asString(), u"Archer Builders"_s);
    showJobs(fixture);
    QVERIFY(fixture.dm->tblJobs->findKey({ 22.0 }));
    QCOMPARE(shown(fixture, u"feCompany"_s), u"Archer Builders"_s);
    QTRY_COMPARE(
        fixture.dm->tblJobs->fieldByName(u"VClientDesc"_s)->asString(), u"Archer Builders"_s);
}

void TestClientPage::selectorChoicesStayAcrossDocuments()
{
    MainWindowFixture fixture;
    openOnClientPage(fixture);
    fixture.find<QComboBox>(u"cboAddress"_s)->setCurrentIndex(1);
    fixture.find<QComboBox>(u"cboPhone2"_s)->setCurrentIndex(6);
    fixture.find<QComboBox>(u"cboPhone4"_s)->setCurrentIndex(6);
    const auto check = [&](const QString &contact) {
        QCOMPARE(fixture.find<FieldPlainTextEdit>(u"feAddress"_s)->toPlainText(), u"Home of "_s + contact);
        QCOMPARE(shown(fixture, u"fePhone2"_s), u"Mobile of "_s + contact);
        QCOMPARE(shown(fixture, u"fePhone4"_s), u"Mobile of "_s + contact);
    };
    check(u"Ann Archer"_s);
    fixture.dm->tblQuotes->next();
    check(u"Bob Baker"_s);
    showJobs(fixture);
    check(u"Bob Baker"_s);
    fixture.dm->tblJobs->next();
    check(u"Ann Archer"_s);
}

void TestClientPage::phoneKindsByKeyboard_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<bool>("back");
    QTest::addColumn<QString>("selector");
    QTest::addColumn<QString>("edit");
    QTest::newRow("Tab from the first number") << u"fePhone1"_s << false << u"cboPhone2"_s
                                               << u"fePhone2"_s;
    QTest::newRow("Shift+Tab from the last number") << u"fePhone4"_s << true << u"cboPhone4"_s
                                                    << u"fePhone4"_s;
}

// Tab reaches a number's kind, and the arrows there choose which number its field shows.
void TestClientPage::phoneKindsByKeyboard()
{
    QFETCH(QString, from);
    QFETCH(bool, back);
    QFETCH(QString, selector);
    QFETCH(QString, edit);
    MainWindowFixture fixture;
    openOnClientPage(fixture);
    fixture.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(fixture.window.get()));
    auto *start = fixture.find<FieldLineEdit>(from);
    start->setFocus();
    QTest::keyClick(start, back ? Qt::Key_Backtab : Qt::Key_Tab, back ? Qt::ShiftModifier : Qt::NoModifier);
    auto *kind = fixture.find<QComboBox>(selector);
    QCOMPARE(QApplication::focusWidget(), kind);
    QTest::keyClick(kind, Qt::Key_Home);
    while (kind->currentText() != u"Mobile"_s && kind->currentIndex() < kind->count() - 1)
        QTest::keyClick(kind, Qt::Key_Down);
    QCOMPARE(shown(fixture, edit), u"Mobile of Ann Archer"_s);
}

void TestClientPage::selectWritesOnlyTheActiveHeader_data()
{
    QTest::addColumn<bool>("listClosedFirst");
    QTest::newRow("quote's client list closed without a choice") << true;
    QTest::newRow("quote still in edit") << false;
}

// Choosing J-1's client leaves Q-2 (Bob Baker's) as it is, whatever state the quote was left in.
void TestClientPage::selectWritesOnlyTheActiveHeader()
{
    QFETCH(bool, listClosedFirst);
    MainWindowFixture fixture;
    openOnClientPage(fixture);
    TQVTable *quotes = fixture.dm->tblQuotes;
    QVERIFY(quotes->findKey({ 2.0 }));
    if (listClosedFirst) {
        ModalDialogs::whenShown<TfrmClientDetails>(
            [](TfrmClientDetails *list) { list->findChild<QAction *>(u"btnClose"_s)->trigger(); });
        click(fixture, u"btnSelectClient"_s);
    } else {
        quotes->edit();
    }
    showJobs(fixture);
    ModalDialogs::whenShown<TfrmClientDetails>([&](TfrmClientDetails *list) {
        QVERIFY(fixture.dm->tblClients->findKey({ u"Ann Archer"_s }));
        list->findChild<QAction *>(u"btnSelectClient"_s)->trigger();
    });
    click(fixture, u"btnSelectClient"_s);
    QCOMPARE(storedClient(fixture, true, u"J-1"_s), 1.0);
    QCOMPARE(storedClient(fixture, false, u"Q-2"_s), 2.0);
    QCOMPARE(quotes->fieldByName(u"Client_ID"_s)->asFloat(), 2.0);
    QCOMPARE(quotes->isEditing(), !listClosedFirst);
}

// A quote without a client offers no client fields to type into until one is chosen.
void TestClientPage::pageWaitsForAClient()
{
    MainWindowFixture fixture;
    fixture.data.exec(u"Quotes.DB"_s,
        u"INSERT INTO data (Quote_ID, Quote_No, Status, Priority) VALUES (5, 'Q-5', 'P', 5)"_s);
    openOnClientPage(fixture);
    QVERIFY(fixture.dm->tblQuotes->findKey({ 5.0 }));
    QCoreApplication::processEvents();
    auto *company = fixture.find<FieldLineEdit>(u"feCompany"_s);
    QVERIFY(!company->isEnabled());
    QTest::keyClicks(company, u"Detached Ltd"_s);
    fixture.find<QAction>(u"btnSaveJobQuote"_s)->trigger();
    QCOMPARE(fixture.data.peek(u"Clients.DB"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 2);

    ModalDialogs::whenShown<TfrmClientDetails>([&](TfrmClientDetails *list) {
        QVERIFY(fixture.dm->tblClients->findKey({ u"Bob Baker"_s }));
        list->findChild<QAction *>(u"btnSelectClient"_s)->trigger();
    });
    click(fixture, u"btnSelectClient"_s);
    QCOMPARE(storedClient(fixture, false, u"Q-5"_s), 2.0);
    QVERIFY(company->isEnabled());
    QCOMPARE(shown(fixture, u"feContact"_s), u"Bob Baker"_s);
}

int runClientPageTests(int argc, char **argv)
{
    TestClientPage test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_clientpage.moc"

#include "RecordValues.h"
#include "ReferenceFixture.h"
#include "ReferenceTests.h"
#include "controls/dataaware/FieldLineEdit.h"
#include "controls/dataaware/FieldPlainTextEdit.h"
#include "controls/dataaware/TQVDBGridSrc.h"
#include "controls/dataaware/TableViewModel.h"
#include "controls/window/MessageAnswers.h"
#include "engine/Exception.h"
#include "engine/Field.h"
#include "reference/FormClientMoreInfo.h"
#include "reference/FormClients.h"
#include "reference/FormFullName.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString contact(TDM *dm)
{
    return text(dm->tblClients, u"Contact");
}

} // namespace

// The client list, the client dialog and the name dialog: choosing a client for the quote or job
// being edited, searching, refusals, the name split, and another copy's view of a change.
class TestClientWindows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void listLayout();
    void selectClient_data();
    void selectClient();
    void searchFollowsTheChosenField_data();
    void searchFollowsTheChosenField();
    void deleteAsksFirst();
    void clientDialogRefusesBlank();
    void clientDialogNewClientPostsFirst();
    void clientDialogSelectorsRebind();
    void clientDialogComposesMissingContact();
    void clientDialogKeepsRealTexts_data();
    void clientDialogKeepsRealTexts();
    void nameDialog_data();
    void nameDialog();
    void anotherCopySeesTheChangeAndIsRefusedTheRecord();

private:
    std::unique_ptr<ReferenceFixture> m_f;
    double m_bob = 0;
};

void TestClientWindows::init()
{
    m_f = std::make_unique<ReferenceFixture>();
    m_f->addClient(u"Ann Archer"_s, u"Zeta Roofing"_s);
    m_bob = m_f->addClient(u"Bob Baker"_s, u"alpha Bakery"_s);
    m_f->addClient(u"Cleo McDonald"_s, u"McDonald Tiling"_s);
    m_f->addClient(u"abe lowercase"_s, u"Middle Co"_s);
}

void TestClientWindows::cleanup()
{
    m_f.reset();
}

void TestClientWindows::listLayout()
{
    TfrmClientDetails list(m_f->dm.get());
    QCOMPARE(list.windowTitle(), u"Client Details"_s);
    auto *grid = list.findChild<TQVDBGrid *>(u"grdClients"_s);
    QCOMPARE(grid->registryKeyName(), u"Tessorin\\ClientGrid"_s);
    const QStringList titles { u"Contact"_s, u"Company Name"_s, u"Email 1"_s, u"Web Page"_s,
        u"Ph. Business"_s, u"Business Fax"_s, u"Ph. Home"_s, u"Mobile"_s };
    for (int i = 0; i < titles.size(); ++i)
        QCOMPARE(grid->tableModel()->titleAt(i), titles.at(i));
    auto *searchBy = list.findChild<QComboBox *>(u"cboSearchBy"_s);
    QCOMPARE(searchBy->currentText(), u"Contact"_s);
    QCOMPARE(list.findChild<QLineEdit *>(u"edtSearch"_s)->maxLength(), 100);
}

void TestClientWindows::selectClient_data()
{
    QTest::addColumn<QString>("editing");
    QTest::newRow("quote being edited") << u"quote"_s;
    QTest::newRow("job being edited") << u"job"_s;
    QTest::newRow("nothing being edited") << QString();
}

void TestClientWindows::selectClient()
{
    QFETCH(QString, editing);
    m_f->addQuoteAndJob();
    TDM *dm = m_f->dm.get();
    if (editing == u"quote"_s)
        dm->tblQuotes->edit();
    if (editing == u"job"_s)
        dm->tblJobs->edit();
    TfrmClientDetails list(dm);
    QSignalSpy chosen(&list, &TfrmClientDetails::clientChosen);
    list.show();
    QVERIFY(dm->tblClients->findKey({ u"Bob Baker"_s }));
    trigger(&list, u"btnSelectClient"_s);
    QVERIFY(!list.isVisible());
    QCOMPARE(list.chosenClientId().toDouble(), m_bob);
    QCOMPARE(chosen.size(), 1);
    for (TQVTable *header : { dm->tblQuotes, dm->tblJobs }) {
        QVERIFY(!header->isEditing());
        const bool chosenHere = (header == dm->tblQuotes) == (editing == u"quote"_s)
            && !editing.isEmpty();
        QCOMPARE(number(header, u"Client_ID") == m_bob, chosenHere);
    }
    // What was chosen is stored: another copy reads it.
    if (!editing.isEmpty()) {
        std::unique_ptr<TDM> other = m_f->startAnother();
        TQVTable *header = editing == u"quote"_s ? other->tblQuotes : other->tblJobs;
        header->first();
        QCOMPARE(number(header, u"Client_ID"), m_bob);
    }
}

void TestClientWindows::searchFollowsTheChosenField_data()
{
    QTest::addColumn<int>("searchBy");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("found");
    QTest::newRow("contact") << 0 << u"Bo"_s << u"Bob Baker"_s;
    QTest::newRow("contact, any case") << 0 << u"cLEO"_s << u"Cleo McDonald"_s;
    QTest::newRow("contact stored in lower case") << 0 << u"Abe"_s << u"abe lowercase"_s;
    QTest::newRow("company") << 1 << u"zeta"_s << u"Ann Archer"_s;
    QTest::newRow("company stored in lower case") << 1 << u"Alpha"_s << u"Bob Baker"_s;
    QTest::newRow("company with capitals inside") << 1 << u"mcd"_s << u"Cleo McDonald"_s;
    QTest::newRow("no match stays") << 0 << u"Xavier"_s << u"Ann Archer"_s;
}

void TestClientWindows::searchFollowsTheChosenField()
{
    QFETCH(int, searchBy);
    QFETCH(QString, typed);
    QFETCH(QString, found);
    TDM *dm = m_f->dm.get();
    {
        dm->tblClients->findKey({ u"Ann Archer"_s });
        TfrmClientDetails list(dm);
        list.show();
        list.findChild<QComboBox *>(u"cboSearchBy"_s)->setCurrentIndex(searchBy);
        if (searchBy == 1)
            QCOMPARE(dm->tblClients->indexName(), u"Company"_s);
        auto *search = list.findChild<QLineEdit *>(u"edtSearch"_s);
        search->setFocus();
        QTest::keyClicks(search, typed);
        QCOMPARE(contact(dm), found);
    }
    // The data module's order by contact comes back when the list closes.
    QCOMPARE(dm->tblClients->indexFieldNames(), u"Contact"_s);
}

void TestClientWindows::deleteAsksFirst()
{
    TfrmClientDetails list(m_f->dm.get());
    list.show();
    MessageAnswers::setNextAnswer(QMessageBox::No);
    trigger(&list, u"btnDelete"_s);
    QCOMPARE(MessageAnswers::lastText(), u"Delete this Record?"_s);
    QCOMPARE(m_f->dm->tblClients->recordCount(), 4);
    MessageAnswers::setNextAnswer(QMessageBox::Yes);
    trigger(&list, u"btnDelete"_s);
    QCOMPARE(m_f->dm->tblClients->recordCount(), 3);
}

void TestClientWindows::clientDialogRefusesBlank()
{
    TDM *dm = m_f->dm.get();
    TfrmClient dialog(dm, TfrmClient::Mode::NewClient);
    dialog.show();
    QCOMPARE(dm->tblClients->state(), DataSetState::Insert);
    type(&dialog, u"feJobTitle"_s, u"Manager"_s);
    type(&dialog, u"feContact"_s, u"   "_s);
    trigger(&dialog, u"btnSaveClose"_s);
    QCOMPARE(MessageAnswers::lastText(), u"Please enter a Contact or a valid Company Name"_s);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dm->tblClients->state(), DataSetState::Insert);
    QCOMPARE(text(dm->tblClients, u"Job_Title"), u"Manager"_s);
    type(&dialog, u"feCompany"_s, u"Omega Works"_s);
    trigger(&dialog, u"btnSaveClose"_s);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dm->tblClients->state(), DataSetState::Browse);
    QCOMPARE(dm->tblClients->recordCount(), 5);
    QVERIFY(number(dm->tblClients, u"Client_ID") > 0);
}

void TestClientWindows::clientDialogNewClientPostsFirst()
{
    TDM *dm = m_f->dm.get();
    TfrmClient dialog(dm, TfrmClient::Mode::NewClient);
    dialog.show();
    type(&dialog, u"feContact"_s, u"Dora Drake"_s);
    trigger(&dialog, u"btnNewClient"_s);
    QCOMPARE(dm->tblClients->state(), DataSetState::Insert);
    QCOMPARE(dm->tblClients->recordCount(), 5);
    // An unchanged new record is dropped by the next one, and Cancel drops the last.
    trigger(&dialog, u"btnNewClient"_s);
    QCOMPARE(dm->tblClients->recordCount(), 5);
    trigger(&dialog, u"btnCancel"_s);
    QVERIFY(!dialog.isVisible());
    QVERIFY(!dm->tblClients->isEditing());
    QCOMPARE(dm->tblClients->recordCount(), 5);
}

void TestClientWindows::clientDialogSelectorsRebind()
{
    TDM *dm = m_f->dm.get();
    dm->tblClients->findKey({ u"Bob Baker"_s });
    TfrmClient dialog(dm, TfrmClient::Mode::Edit);
    QCOMPARE(dialog.findChild<QComboBox *>(u"cboPhone1"_s)->itemText(4), u"Home "_s);
    QCOMPARE(dialog.findChild<QComboBox *>(u"cboPhone2"_s)->itemText(4), u"Home"_s);
    QCOMPARE(dialog.findChild<QComboBox *>(u"cboPhone2"_s)->itemText(3), u"Home Fax "_s);
    const QStringList start { u"Phone_Bus"_s, u"Phone_BusFax"_s, u"Phone_Home1"_s,
        u"Phone_Mobile"_s };
    for (int row = 0; row < 4; ++row)
        QCOMPARE(dialog.findChild<FieldLineEdit *>(u"fePhone%1"_s.arg(row + 1))->dataField(),
            start.at(row));
    dialog.findChild<QComboBox *>(u"cboPhone3"_s)->setCurrentIndex(7);
    QCOMPARE(dialog.findChild<FieldLineEdit *>(u"fePhone3"_s)->dataField(), u"Phone_Car"_s);
    dialog.findChild<QComboBox *>(u"cboAddress"_s)->setCurrentIndex(1);
    QCOMPARE(dialog.findChild<FieldPlainTextEdit *>(u"feAddress"_s)->dataField(), u"Hm_Address"_s);
    dialog.findChild<QComboBox *>(u"cboEmail"_s)->setCurrentIndex(2);
    QCOMPARE(dialog.findChild<FieldLineEdit *>(u"feEmail"_s)->dataField(), u"Email3"_s);
    QVERIFY(!dm->tblClients->isEditing());
}

void TestClientWindows::clientDialogComposesMissingContact()
{
    TDM *dm = m_f->dm.get();
    dm->tblClients->append();
    setText(dm->tblClients, u"Company_Name", u"Parts Only"_s);
    setText(dm->tblClients, u"First", u"Eve"_s);
    setText(dm->tblClients, u"Last", u"Evans"_s);
    dm->tblClients->post();
    TfrmClient dialog(dm, TfrmClient::Mode::Edit);
    QCOMPARE(dm->tblClients->state(), DataSetState::Edit);
    QCOMPARE(contact(dm), u"Eve Evans"_s);
    dm->tblClients->cancel();
}

void TestClientWindows::clientDialogKeepsRealTexts_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<int>("email"); // the e-mail selector's item, -1 for none
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::newRow("e-mail") << u"feEmail"_s << 0 << u"Email1"_s
                            << u"jane.smith@smithholdings.example.com"_s;
    QTest::newRow("third e-mail")
        << u"feEmail"_s << 2 << u"Email3"_s
        << u"accounts.payable@northern-rivers-constructions.example.com.au"_s;
    QTest::newRow("web page") << u"feWebPage"_s << -1 << u"Web_Page"_s
                              << u"https://www.northern-rivers-constructions.example.com.au/"
                                 "contact-us/accounts"_s;
    QTest::newRow("contact") << u"feContact"_s << -1 << u"Contact"_s
                             << u"Associate Professor Alexandra Konstantinopoulou-Whitfield"_s;
}

// Typed text is stored whole, as long as real addresses and names run.
void TestClientWindows::clientDialogKeepsRealTexts()
{
    QFETCH(QString, edit);
    QFETCH(int, email);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    TDM *dm = m_f->dm.get();
    dm->tblClients->findKey({ u"Bob Baker"_s });
    const double bob = number(dm->tblClients, u"Client_ID");
    TfrmClient dialog(dm, TfrmClient::Mode::Edit);
    dialog.show();
    if (email >= 0)
        dialog.findChild<QComboBox *>(u"cboEmail"_s)->setCurrentIndex(email);
    type(&dialog, edit, typed);
    trigger(&dialog, u"btnSaveClose"_s);
    QVERIFY(!dialog.isVisible());
    dm->tblClients->setIndexFieldNames(u"Client_ID"_s);
    QVERIFY(dm->tblClients->findKey({ bob }));
    QCOMPARE(text(dm->tblClients, field), typed);
}

void TestClientWindows::nameDialog_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("parts");
    QTest::addColumn<QString>("composed");
    QTest::newRow("title and three words")
        << u"Mr. Alpha Beta Gamma"_s << QStringList { u"Mr."_s, u"Alpha"_s, u"Beta"_s, u"Gamma"_s }
        << u"Mr. Alpha Beta Gamma"_s;
    QTest::newRow("one word") << u"Alpha"_s << QStringList { {}, u"Alpha"_s, {}, {} } << u"Alpha"_s;
    QTest::newRow("particle and extra blanks")
        << u" Ludwig  van Beethoven "_s << QStringList { {}, u"Ludwig"_s, {}, u"van Beethoven"_s }
        << u"Ludwig van Beethoven"_s;
    QTest::newRow("empty contact") << QString() << QStringList { {}, {}, {}, {} } << QString();
    // Split parts longer than their fields are kept whole when the name is composed again.
    QTest::newRow("long last name")
        << u"Alpha Beta Gamma Delta Epsilon Zeta Eta Theta Iota Kappa"_s
        << QStringList { {}, u"Alpha"_s, u"Beta Gamma"_s,
               u"Delta Epsilon Zeta Eta Theta Io"_s.left(30) }
        << u"Alpha Beta Gamma Delta Epsilon Zeta Eta Theta Iota Kappa"_s;
}

void TestClientWindows::nameDialog()
{
    QFETCH(QString, stored);
    QFETCH(QStringList, parts);
    QFETCH(QString, composed);
    TDM *dm = m_f->dm.get();
    dm->tblClients->findKey({ u"Bob Baker"_s });
    dm->tblClients->edit();
    setText(dm->tblClients, u"Contact", stored);
    TfrmFullName dialog(dm);
    QCOMPARE(dialog.windowTitle(), u"Full Name"_s);
    QCOMPARE(dialog.findChild<QComboBox *>(u"cboTitle"_s)->count(), 6);
    const auto field = [dm](const char16_t *name) {
        return text(dm->tblClients, QString::fromUtf16(name));
    };
    QCOMPARE((QStringList { field(u"Title"), field(u"First"), field(u"Middle"), field(u"Last") }),
        parts);
    QCOMPARE(dialog.findChild<QComboBox *>(u"cboTitle"_s)->currentText(), parts.first());
    dialog.findChild<QPushButton *>(u"btnOK"_s)->click();
    QCOMPARE(contact(dm), composed);
    // The name dialog never posts: the client dialog saves or cancels.
    QCOMPARE(dm->tblClients->state(), DataSetState::Edit);
    dm->tblClients->cancel();
    QCOMPARE(contact(dm), u"Bob Baker"_s);
}

void TestClientWindows::anotherCopySeesTheChangeAndIsRefusedTheRecord()
{
    std::unique_ptr<TDM> other = m_f->startAnother();
    QVERIFY(other->tblClients->findKey({ u"Bob Baker"_s }));
    TDM *dm = m_f->dm.get();
    dm->tblClients->findKey({ u"Bob Baker"_s });
    TfrmClient dialog(dm, TfrmClient::Mode::Edit);
    dialog.show();
    type(&dialog, u"feCompany"_s, u"Baker Brothers"_s);
    QCOMPARE(dm->tblClients->state(), DataSetState::Edit);
    // While this copy edits the client, the other is refused it, with the holder named.
    QString refusal;
    try {
        other->tblClients->edit();
    } catch (const Exception &error) {
        refusal = error.message();
    }
    QVERIFY2(refusal.contains(u"locked by"_s), qPrintable(refusal));
    trigger(&dialog, u"btnSaveClose"_s);
    QVERIFY(!dialog.isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(text(other->tblClients, u"Company_Name"), u"Baker Brothers"_s, 10000);
    other->tblClients->edit();
    QCOMPARE(other->tblClients->state(), DataSetState::Edit);
    other->tblClients->cancel();
}

int runClientWindowTests(int argc, char **argv)
{
    TestClientWindows test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_clientwindows.moc"

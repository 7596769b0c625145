#include "ModalDialogs.h"
#include "RecordValues.h"
#include "SetupFixture.h"
#include "SetupTests.h"
#include "controls/MessageAnswers.h"
#include "controls/TQVDBGridSrc.h"
#include "controls/TQVDBRichEdit.h"
#include "controls/TQVPageControl.h"
#include "engine/Field.h"
#include "reference/FormOptions.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

void typeAndEnter(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
}

} // namespace

class TestOptions : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void okStoresAndApplies_data();
    void okStoresAndApplies();
    void numberParts_data();
    void numberParts();
    void footerStoredByOk();
    void cancelLeavesEditsPending();
    void taxTableKeys();

private:
    std::unique_ptr<SetupFixture> m_fixture;
    TDM *m_dm = nullptr;
};

void TestOptions::init()
{
    m_fixture = std::make_unique<SetupFixture>();
    m_dm = m_fixture->start();
    QVERIFY(m_dm->isConnected());
}

void TestOptions::cleanup()
{
    m_fixture.reset();
}

void TestOptions::okStoresAndApplies_data()
{
    QTest::addColumn<bool>("hideQuotes");
    QTest::addColumn<bool>("hideJobs");
    QTest::newRow("hide completed quotes") << true << false;
    QTest::newRow("hide completed jobs") << false << true;
    QTest::newRow("hide both") << true << true;
    QTest::newRow("show both") << false << false;
}

void TestOptions::okStoresAndApplies()
{
    QFETCH(bool, hideQuotes);
    QFETCH(bool, hideJobs);
    const double client = m_fixture->addClient(u"Ann Archer"_s);
    m_fixture->addQuote(client, u"Open"_s);
    m_fixture->addQuote(client, u"Done"_s, u"C"_s);
    {
        TfrmOptions options(m_dm);
        options.show();
        QCOMPARE(options.windowTitle(), u"Options"_s);
        QCOMPARE(options.pages()->currentIndex(), int(TfrmOptions::GeneralPage));
        ModalDialogs::shoot(&options, u"options-general"_s);
        options.findChild<QCheckBox *>(u"chkHideQuotes"_s)->setChecked(hideQuotes);
        options.findChild<QCheckBox *>(u"chkHideJobs"_s)->setChecked(hideJobs);
        options.findChild<QPushButton *>(u"btnOK"_s)->click();
        QVERIFY(!options.isVisible());
    }
    QCOMPARE(m_dm->tblQuotes->filtered(), hideQuotes);
    QCOMPARE(m_dm->tblJobs->filtered(), hideJobs);
    QCOMPARE(m_dm->tblQuotes->recordCount(), hideQuotes ? 1 : 2);
    // The settings outlive the run and show again in the dialog.
    m_fixture->stop();
    m_dm = m_fixture->start();
    QCOMPARE(m_dm->tblQuotes->filtered(), hideQuotes);
    TfrmOptions again(m_dm);
    QCOMPARE(again.findChild<QCheckBox *>(u"chkHideQuotes"_s)->isChecked(), hideQuotes);
    QCOMPARE(again.findChild<QCheckBox *>(u"chkHideJobs"_s)->isChecked(), hideJobs);
}

void TestOptions::numberParts_data()
{
    QTest::addColumn<bool>("jobs");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("next");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("refusal"); // empty: taken, and the next document has number
    QTest::addColumn<QString>("number");
    QTest::newRow("prefix and number") << false << u"Q-"_s << u"500"_s << QString() << QString()
                                       << u"Q-500"_s;
    QTest::newRow("job prefix, number and suffix")
        << true << u"J"_s << u"77"_s << u"/A"_s << QString() << u"J77/A"_s;
    QTest::newRow("ten characters exactly")
        << false << u"QUOTE-"_s << u"1234"_s << QString() << QString() << u"QUOTE-1234"_s;
    QTest::newRow("eleven characters refused")
        << false << u"QUOTE-"_s << u"12345"_s << QString() << u"at most 10 characters"_s
        << u"QUOTE-1"_s;
    QTest::newRow("long suffix refused") << true << u"JOB"_s << u"100"_s << u"-2024X"_s
                                         << u"at most 10 characters"_s << u"JOB100"_s;
    QTest::newRow("negative number refused")
        << false << QString() << u"-5"_s << QString() << u"whole number of 0 or more"_s << u"1"_s;
    QTest::newRow("fraction refused")
        << false << QString() << u"2.5"_s << QString() << u"whole number of 0 or more"_s << u"1"_s;
    QTest::newRow("text refused") << false << QString() << u"ten"_s << QString()
                                  << u"is not a valid floating point value"_s << u"1"_s;
}

void TestOptions::numberParts()
{
    QFETCH(bool, jobs);
    QFETCH(QString, prefix);
    QFETCH(QString, next);
    QFETCH(QString, suffix);
    QFETCH(QString, refusal);
    QFETCH(QString, number);
    const QString kind = jobs ? u"Job"_s : u"Quote"_s;
    MessageAnswers::clear();
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
    {
        TfrmOptions options(m_dm);
        options.showPage(jobs ? TfrmOptions::JobsPage : TfrmOptions::QuotePage);
        options.show();
        ModalDialogs::shoot(&options, u"options-"_s + kind);
        // A refused part leaves the parts typed before it; the refusal comes where it is typed.
        typeAndEnter(options.findChild<QLineEdit *>(u"ed"_s + kind + u"Prefix"_s), prefix);
        typeAndEnter(options.findChild<QLineEdit *>(u"ed"_s + kind + u"No"_s), next);
        typeAndEnter(options.findChild<QLineEdit *>(u"ed"_s + kind + u"Suffix"_s), suffix);
        if (refusal.isEmpty())
            QCOMPARE(MessageAnswers::shown().size(), 0);
        else
            QVERIFY2(MessageAnswers::lastText().contains(refusal),
                qPrintable(u"%1 boxes, last: %2"_s.arg(MessageAnswers::shown().size())
                               .arg(MessageAnswers::lastText())));
        options.findChild<QPushButton *>(u"btnOK"_s)->click();
        QVERIFY(!options.isVisible());
    }
    const double client = m_fixture->addClient(u"Ann Archer"_s);
    if (jobs) {
        m_fixture->addJob(client, u"Deck"_s);
        QCOMPARE(text(m_dm->tblJobs, u"Job_No"), number);
    } else {
        QCOMPARE(m_fixture->addQuote(client, u"Roof"_s), number);
    }
}

void TestOptions::footerStoredByOk()
{
    TfrmOptions options(m_dm);
    options.showPage(TfrmOptions::QuotePage);
    options.show();
    auto *footer = options.findChild<TQVDBRichEdit *>(u"reQuoteFooter"_s);
    QVERIFY(footer);
    QCOMPARE(footer->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    footer->setFocus();
    QTest::keyClicks(footer, u"Payment within 14 days"_s);
    options.findChild<QPushButton *>(u"btnOK"_s)->click();
    m_dm->tblBusiness->first();
    QVERIFY(!m_dm->tblBusiness->isEditing());
    QCOMPARE(text(m_dm->tblBusiness, u"QuoteFooter"), u"Payment within 14 days"_s);
}

// Cancel leaves what was typed pending; another copy meanwhile saves quotes as usual, and the
// next OK stores the pending change.
void TestOptions::cancelLeavesEditsPending()
{
    m_fixture->addRecord(m_dm->tblTaxRates, u"Description"_s, u"Standard"_s);
    {
        TfrmOptions options(m_dm);
        options.showPage(TfrmOptions::TaxRatesPage);
        options.show();
        ModalDialogs::shoot(&options, u"options-taxrates"_s);
        auto *grid = options.findChild<TQVDBGrid *>(u"grdTaxRates"_s);
        QVERIFY(grid);
        QAbstractItemModel *model = grid->model();
        QVERIFY(model->setData(model->index(0, 0), u"12.5"_s));
        options.findChild<QPushButton *>(u"btnCancel"_s)->click();
    }
    QVERIFY(m_dm->tblTaxRates->isEditing());

    auto otherCopy = m_fixture->data.start();
    QVERIFY(otherCopy->isConnected());
    TQVTable *quotes = otherCopy->tblQuotes;
    quotes->insert();
    setText(quotes, u"QuoteDescription", u"Saved meanwhile"_s);
    quotes->post();
    QCOMPARE(text(quotes, u"Quote_No"), u"1"_s);
    otherCopy->tblTaxRates->first();
    QCOMPARE(number(otherCopy->tblTaxRates, u"Tax_Rate"), 0.0);
    otherCopy.reset();

    TfrmOptions options(m_dm);
    options.findChild<QPushButton *>(u"btnOK"_s)->click();
    QVERIFY(!m_dm->tblTaxRates->isEditing());
    m_dm->tblTaxRates->first();
    QCOMPARE(number(m_dm->tblTaxRates, u"Tax_Rate"), 12.5);
}

// The tax table is edited in place: Insert adds a rate, Down on the last line appends one, and
// Ctrl+Delete deletes after asking.
void TestOptions::taxTableKeys()
{
    TfrmOptions options(m_dm);
    options.showPage(TfrmOptions::TaxRatesPage);
    options.show();
    auto *grid = options.findChild<TQVDBGrid *>(u"grdTaxRates"_s);
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Insert);
    QCOMPARE(m_dm->tblTaxRates->state(), DataSetState::Insert);
    QAbstractItemModel *model = grid->model();
    QVERIFY(model->setData(model->index(0, 0), u"10"_s));
    QVERIFY(model->setData(model->index(0, 1), u"Standard"_s));
    QTest::keyClick(grid, Qt::Key_Down); // stores the line, then adds one below it
    QCOMPARE(m_dm->tblTaxRates->state(), DataSetState::Insert);
    QVERIFY(model->setData(model->index(1, 0), u"0"_s));
    options.findChild<QPushButton *>(u"btnOK"_s)->click();
    QCOMPARE(m_dm->tblTaxRates->recordCount(), 2);

    TfrmOptions again(m_dm);
    again.showPage(TfrmOptions::TaxRatesPage);
    again.show();
    grid = again.findChild<TQVDBGrid *>(u"grdTaxRates"_s);
    grid->setFocus();
    MessageAnswers::clear();
    MessageAnswers::setNextAnswer(QMessageBox::No);
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(m_dm->tblTaxRates->recordCount(), 2);
    MessageAnswers::setNextAnswer(QMessageBox::Yes);
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(MessageAnswers::lastText(), u"Delete this Record?"_s);
    QCOMPARE(m_dm->tblTaxRates->recordCount(), 1);
}

int runOptionsTests(int argc, char **argv)
{
    TestOptions test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_options.moc"

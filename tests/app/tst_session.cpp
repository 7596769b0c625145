// A long random session at the main window on the demo business: pages switched, records moved,
// every detail field typed into with good and bad text, lists chosen, quotes, jobs and lines
// saved and deleted, panels and orders toggled. Nothing may escape a command, and the stored
// data must keep every rule of the data module at the end. In one run another copy of the
// program works on quotes and jobs of its own at the same time; the window changes only the
// documents that were there before it started, and shows the others as they change.

#include "AppTests.h"
#include "data/ConsistencyCheck.h"
#include "DemoCommand.h"
#include "MainWindowFixture.h"
#include "ModalDialogs.h"
#include "RecordValues.h"
#include "app/FormMain.h"
#include "app/LinesPage.h"
#include "controls/dataaware/TQVDBGridSrc.h"
#include "controls/window/MessageAnswers.h"
#include "controls/window/TQVPageControl.h"
#include "data/DataModuleMain.h"
#include "engine/Field.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// Texts a person might type, or paste by mistake.
const QStringList Typed { u""_s, u"Kitchen refit"_s, u"abc"_s, u"-5"_s, u"0"_s, u"3.5"_s, u"12,5"_s,
    u"1e308"_s, u"99999999999999999999"_s, u"12/31/24"_s, u"31/12/2024"_s, u"2/30/25"_s,
    u"'; DELETE FROM data; --"_s, u"Quote_No = 'x'"_s, u"<b>bold</b>"_s, u"Ünïcødé ✓ 漢字"_s,
    QString(300, u'x'), u"  "_s, u"%1 %2"_s, u"NaN"_s, u"inf"_s };

const QStringList Editors { u"feDescription"_s, u"feDate"_s, u"feDueDate"_s, u"feDiscount"_s,
    u"fePercent"_s, u"memNotes"_s, u"cboQuoteSearch"_s, u"cboJobSearch"_s };

const QStringList Lists { u"fePriority"_s, u"feStatus"_s, u"DBSalesPerson"_s, u"feTaxRate"_s };

// Commands that only show a message, or change only what is shown. The New commands open a
// modal wizard, which the wizard tests drive.
const QStringList QuietActions { u"mniQuickSearch"_s, u"mniSortPriority"_s, u"btnSearch"_s,
    u"btnSortPrior"_s, u"mniNext"_s, u"mniPrevious"_s, u"btnSaveJobQuote"_s, u"mniFinder"_s,
    u"mniOptions"_s, u"mniStartupWizard"_s };

// Types text as key presses; characters beyond ASCII come as key events carrying their text.
void typeText(QWidget *target, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(target, char(c.unicode()));
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
    }
}

} // namespace

class TestSession : public QObject
{
    Q_OBJECT

private slots:
    void randomSession_data();
    void randomSession();

private:
    void step(MainWindowFixture &fixture, QRandomGenerator &random, const QSet<QString> &mine);
    void typeInto(MainWindowFixture &fixture, QRandomGenerator &random);
};

void TestSession::randomSession_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<bool>("withAnotherCopy");
    const QByteArray chosen = qgetenv("TESSORIN_SESSION_SEED");
    if (!chosen.isEmpty()) {
        QTest::newRow("chosen") << quint32(chosen.toUInt()) << false;
        QTest::newRow("chosen, with another copy") << quint32(chosen.toUInt()) << true;
        return;
    }
    for (quint32 seed : { 1u, 2u })
        QTest::addRow("seed %u", seed) << seed << false;
    QTest::newRow("seed 3, with another copy") << 3u << true;
}

void TestSession::randomSession()
{
    QFETCH(quint32, seed);
    QFETCH(bool, withAnotherCopy);
    const int steps = qEnvironmentVariableIntValue("TESSORIN_SESSION_STEPS") > 0
        ? qEnvironmentVariableIntValue("TESSORIN_SESSION_STEPS")
        : 150;
    MainWindowFixture fixture;
    // The dialogs some commands open are closed again at once, as a user who changes nothing.
    const auto closeDialogs = ModalDialogs::everyTime<QDialog>([](QDialog *dialog) { dialog->reject(); });
    fillDemoDirectory(fixture.data.dataDirectory());
    fixture.open();
    fixture.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(fixture.window.get()));

    // The documents this window may change; the other copy makes and changes its own.
    QSet<QString> mine;
    for (TQVTable *header : { fixture.dm->tblQuotes, fixture.dm->tblJobs }) {
        const QString numberField = header == fixture.dm->tblJobs ? u"Job_No"_s : u"Quote_No"_s;
        for (const QString &number : texts(header, numberField))
            mine.insert(number);
        header->first();
    }
    QProcess anotherCopy;
    if (withAnotherCopy) {
        anotherCopy.start(QStringLiteral(RULES_PEER),
            { fixture.data.executable(), u"run"_s, QString::number(seed), u"200"_s });
        QVERIFY(anotherCopy.waitForStarted());
    }

    QRandomGenerator random(seed);
    for (int i = 0; i < steps || anotherCopy.state() != QProcess::NotRunning; ++i) {
        MessageAnswers::clear();
        MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
        step(fixture, random, withAnotherCopy ? mine : QSet<QString>());
        QCoreApplication::processEvents();
        for (const MessageAnswers::Shown &box : MessageAnswers::shown())
            QVERIFY2(!box.text.trimmed().isEmpty(), "a message box without a text");
        QVERIFY2(i < 100000, "the other copy never finished");
    }
    if (withAnotherCopy) {
        // The steps went on until it ended.
        QCOMPARE(anotherCopy.exitStatus(), QProcess::NormalExit);
        const QByteArray errors = anotherCopy.readAllStandardError();
        QVERIFY2(
            anotherCopy.exitCode() == 0 && anotherCopy.readAllStandardOutput().endsWith("done\n"),
            errors.constData());
    }
    fixture.trigger(u"btnSaveJobQuote"_s);
    fixture.closeWindow();
    fixture.dm.reset();

    ConsistencyCheck check(fixture.data.dataDirectory());
    const QStringList problems = check.run();
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    QVERIFY(check.counts().quotes + check.counts().jobs > 0);
}

void TestSession::step(
    MainWindowFixture &fixture, QRandomGenerator &random, const QSet<QString> &mine)
{
    TfrmMain *window = fixture.window.get();
    const int action = random.bounded(12);
    // With another copy at work, only moving, looking and the window's own documents.
    if (!mine.isEmpty() && action >= 3 && action != 9 && action != 10) {
        const bool jobs = window->jobsPageActive();
        const QString number = text(window->activeHeader(), jobs ? u"Job_No"_s : u"Quote_No"_s);
        if (!mine.contains(number))
            return;
    }
    switch (action) {
    case 0:
        fixture.find<TQVPageControl>(u"TBJobsQuotes"_s)->setCurrentIndex(random.bounded(2));
        break;
    case 1:
        fixture.find<TQVPageControl>(u"pageDetails"_s)->setCurrentIndex(random.bounded(5));
        break;
    case 2:
        fixture.trigger(random.bounded(2) ? u"btnNext"_s : u"btnPrev"_s);
        break;
    case 3:
    case 4:
    case 5:
        typeInto(fixture, random);
        break;
    case 6: {
        auto *list = fixture.find<QComboBox>(Lists.at(random.bounded(Lists.size())));
        if (list->count() > 0 && list->isEnabled())
            list->setCurrentIndex(random.bounded(list->count()));
        if (random.bounded(2))
            window->activeGrid()->setFocus();
        break;
    }
    case 7:
        MessageAnswers::setNextAnswer(random.bounded(2) ? QMessageBox::Yes : QMessageBox::No);
        fixture.trigger(u"btnDelete"_s);
        break;
    case 8:
        MessageAnswers::setNextAnswer(random.bounded(2) ? QMessageBox::Yes : QMessageBox::No);
        fixture.trigger(random.bounded(2) ? u"btnDeleteMaterials"_s : u"btnLabourDelete"_s);
        break;
    case 9:
        fixture.find<QAction>(QuietActions.at(random.bounded(QuietActions.size())))->trigger();
        break;
    case 10:
        fixture.find<QToolButton>(u"btnSummary"_s)->click();
        break;
    default:
        fixture.trigger(u"btnSaveJobQuote"_s);
        break;
    }
}

void TestSession::typeInto(MainWindowFixture &fixture, QRandomGenerator &random)
{
    QWidget *editor = fixture.find<QWidget>(Editors.at(random.bounded(Editors.size())));
    if (!editor->isVisible() || !editor->isEnabled())
        return;
    editor->setFocus();
    QWidget *target = editor;
    if (auto *combo = qobject_cast<QComboBox *>(editor); combo && combo->lineEdit())
        target = combo->lineEdit();
    // What is typed replaces what the field shows.
    if (auto *line = qobject_cast<QLineEdit *>(target))
        line->selectAll();
    else if (auto *inner = target->findChild<QLineEdit *>()) // date and spin fields
        inner->selectAll();
    else if (auto *text = qobject_cast<QTextEdit *>(target))
        text->selectAll();
    typeText(target, Typed.at(random.bounded(Typed.size())));
    switch (random.bounded(4)) {
    case 0:
        QTest::keyClick(target, Qt::Key_Escape);
        break;
    case 1:
        fixture.window->activeGrid()->setFocus();
        break;
    default:
        break; // left as typed: the next command decides
    }
}

int runSessionTests(int argc, char **argv)
{
    TestSession test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_session.moc"

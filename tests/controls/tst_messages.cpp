#include "ControlsTests.h"
#include "TempDataDir.h"
#include "controls/window/CommandGuard.h"
#include "controls/window/MessageAnswers.h"
#include "controls/window/Messages.h"
#include "controls/window/TQVRegistry.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>
#include <stdexcept>

using namespace Qt::StringLiterals;

using Command = std::function<void()>;
Q_DECLARE_METATYPE(Command)

namespace {

// What a real box looked like while it was up; filled in by whoever pressed its button.
struct SeenBox
{
    bool seen = false;
    QString title;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    int cursor = -1;
};

// Presses `button` on the first message box that comes up, noting what it showed.
void answerRealBox(SeenBox *seen, QMessageBox::StandardButton button)
{
    auto *poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, seen, button] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen->seen = true;
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->format = box->textFormat();
        const QCursor *cursor = QGuiApplication::overrideCursor();
        seen->cursor = cursor ? int(cursor->shape()) : -1;
        box->button(button)->click();
        poll->deleteLater();
    });
    poll->start(10);
}

} // namespace

class TestMessages : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void answeredInAdvance_data();
    void answeredInAdvance();
    void defaultAnswerCoversEveryBox();
    void realBoxShowsPlainTextWithTheArrow();
    void guardShowsTheError_data();
    void guardShowsTheError();
    void guardUnwindsTheHourglass();

private:
    std::unique_ptr<TempDataDir> m_dir;
};

void TestMessages::init()
{
    m_dir = std::make_unique<TempDataDir>();
    TQVRegistry::setRootPath(m_dir->path());
}

void TestMessages::cleanup()
{
    TQVRegistry::setRootPath(QString());
    m_dir.reset();
    MessageAnswers::clear();
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

void TestMessages::answeredInAdvance_data()
{
    QTest::addColumn<QString>("helper");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<QMessageBox::Icon>("icon");
    QTest::addColumn<bool>("confirmed");

    QTest::newRow("warning") << u"warning"_s << QMessageBox::Ok << QMessageBox::Warning << false;
    QTest::newRow("information") << u"info"_s << QMessageBox::Ok << QMessageBox::Information
                                 << false;
    QTest::newRow("error box") << u"error"_s << QMessageBox::Ok << QMessageBox::Critical << false;
    QTest::newRow("confirmed with Yes")
        << u"confirm"_s << QMessageBox::Yes << QMessageBox::Question << true;
    QTest::newRow("refused with No")
        << u"confirm"_s << QMessageBox::No << QMessageBox::Question << false;
}

void TestMessages::answeredInAdvance()
{
    QFETCH(QString, helper);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(QMessageBox::Icon, icon);
    QFETCH(bool, confirmed);

    const QString text = u"Delete quote Q0012?"_s;
    MessageAnswers::setNextAnswer(answer);
    bool result = false;
    if (helper == u"warning")
        ShowWarningMessage(text);
    else if (helper == u"info")
        ShowInfoMessage(text);
    else if (helper == u"error")
        ShowErrorBox(text);
    else
        result = ConfirmYesNo(text);

    QCOMPARE(result, confirmed);
    QCOMPARE(MessageAnswers::pendingAnswers(), 0);
    const QList<MessageAnswers::Shown> shown = MessageAnswers::shown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().icon, icon);
    QCOMPARE(shown.first().title, u"Velbric Tessorin"_s);
    QCOMPARE(shown.first().text, text);
}

void TestMessages::defaultAnswerCoversEveryBox()
{
    MessageAnswers::setNextAnswer(QMessageBox::No);
    MessageAnswers::setDefaultAnswer(QMessageBox::Yes);
    QVERIFY(!ConfirmYesNo(u"first"_s));
    QVERIFY(ConfirmYesNo(u"second"_s));
    QVERIFY(ConfirmYesNo(u"third"_s));
    QCOMPARE(MessageAnswers::lastText(), u"third"_s);
    QCOMPARE(MessageAnswers::shown().size(), 3);
}

void TestMessages::realBoxShowsPlainTextWithTheArrow()
{
    // A command showed the hourglass before asking; the text carries markup from user data.
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    const QString text = u"Delete <b>Smith & Sons</b>?"_s;
    SeenBox seen;
    answerRealBox(&seen, QMessageBox::No);

    QVERIFY(!ConfirmYesNo(text));
    QVERIFY(seen.seen);
    QCOMPARE(seen.title, u"Velbric Tessorin"_s);
    QCOMPARE(seen.text, text);
    QCOMPARE(seen.format, Qt::PlainText);
    QCOMPARE(seen.cursor, int(Qt::ArrowCursor));
    // The command's hourglass is back once the box is gone.
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
}

void TestMessages::guardShowsTheError_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<bool>("succeeds");
    QTest::addColumn<QString>("shown");

    QTest::newRow("runs to the end") << Command([] {}) << true << QString();
    QTest::newRow("engine error") << Command([] {
        throw EDatabaseError(u"Record locked by another user."_s);
    }) << false << u"Record locked by another user."_s;
    QTest::newRow("registry error") << Command([] {
        TQVRegistry registry;
        (void)registry.readInteger(u"Nowhere"_s);
    }) << false << u"Failed to get data for 'Nowhere'"_s;
    QTest::newRow("standard library error")
        << Command([] { (void)std::string().at(3); }) << false << QString();
    QTest::newRow("something that is no error") << Command([] { throw 42; }) << false << QString();
}

void TestMessages::guardShowsTheError()
{
    QFETCH(Command, command);
    QFETCH(bool, succeeds);
    QFETCH(QString, shown);

    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
    QCOMPARE(runGuarded(nullptr, command), succeeds);
    const QList<MessageAnswers::Shown> boxes = MessageAnswers::shown();
    QCOMPARE(boxes.size(), succeeds ? 0 : 1);
    if (succeeds)
        return;
    QCOMPARE(boxes.first().icon, QMessageBox::Critical);
    QVERIFY(!boxes.first().text.isEmpty());
    if (!shown.isEmpty())
        QCOMPARE(boxes.first().text, shown);
}

void TestMessages::guardUnwindsTheHourglass()
{
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
    QVERIFY(!runGuarded(nullptr, [] {
        const WaitCursor hourglass;
        throw EConvertError(u"'abc' is not a valid floating point value"_s);
    }));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QCOMPARE(MessageAnswers::lastText(), u"'abc' is not a valid floating point value"_s);
}

int runMessageTests(int argc, char **argv)
{
    TestMessages test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_messages.moc"

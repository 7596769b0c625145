// The program's start: what the window manager and the message boxes are told, and a failed start
// that must show its box above everything.
#include "AppTests.h"
#include "TempDataDir.h"
#include "app/FormAbout.h"
#include "app/FormSplash.h"
#include "app/StartUp.h"
#include "controls/window/MessageAnswers.h"
#include "controls/window/Messages.h"
#include "data/DataModuleMain.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

class TestStartUp : public QObject
{
    Q_OBJECT

private slots:
    void titlesAsGiven();
    void failedStartShowsItsBoxWithoutTheSplash();
};

// Qt appends an application display name to the title of every window; none is set, so each
// window's own title is what the window manager shows, and the boxes still carry the program's.
void TestStartUp::titlesAsGiven()
{
    StartUp::setUpApplication();
    QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    QCOMPARE(QCoreApplication::applicationName(), u"Tessorin"_s);
    QCOMPARE(QCoreApplication::organizationName(), u"Velbric"_s);
    QCOMPARE(applicationTitle(), u"Velbric Tessorin"_s);

    TfrmAbout about;
    about.show();
    QVERIFY(about.windowHandle());
    QCOMPARE(about.windowHandle()->title(), u"About Velbric Software"_s);

    MessageAnswers::clear();
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
    ShowInfoMessage(u"Saved."_s);
    QCOMPARE(MessageAnswers::shown().size(), 1);
    QCOMPARE(MessageAnswers::shown().first().title, u"Velbric Tessorin"_s);
}

void TestStartUp::failedStartShowsItsBoxWithoutTheSplash()
{
    auto splash = std::make_unique<TfrmSplash>();
    splash->showNow();
    const QPointer<TfrmSplash> watched = splash.get();
    QVERIFY(watched->isVisible());

    // The real box is shown; a timer looks at the screen while it is up and then closes it.
    MessageAnswers::clear();
    MessageAnswers::setDefaultAnswer(QMessageBox::NoButton);
    bool boxSeen = false;
    bool splashOverBox = true;
    QTimer inspector;
    inspector.setInterval(20);
    connect(&inspector, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        boxSeen = box->text().startsWith(u"Cannot Connect To Database."_s);
        splashOverBox = watched && watched->isVisible();
        box->accept();
    });
    inspector.start();

    TempDataDir empty;
    TDM dm;
    dm.startupFailure = StartUp::failureReport(splash);
    dm.requestTermination = [] {};
    dm.DMCreate(empty.filePath(u"tessorin"_s));
    inspector.stop();
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);

    QVERIFY(!dm.isConnected());
    QVERIFY(boxSeen);
    QVERIFY(!splashOverBox);
    QVERIFY(!splash);
}

int runStartUpTests(int argc, char **argv)
{
    TestStartUp test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startupwindow.moc"

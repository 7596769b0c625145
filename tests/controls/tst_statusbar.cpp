#include "ControlsTests.h"
#include "TempDataDir.h"
#include "controls/window/TQVFormSrc.h"
#include "controls/window/TQVStatusBarSrc.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMainWindow>
#include <QStatusTipEvent>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

class MainWindow : public QMainWindow, public TQVForm
{
public:
    MainWindow()
        : TQVForm(this)
    {
        bar = new TQVStatusBar(this);
        setStatusBar(bar);
        dateField = new QLineEdit(this);
        setCentralWidget(dateField);
    }

    TQVStatusBar *bar;
    QLineEdit *dateField;
};

void pointAt(QWidget *widget, const QString &statusTip)
{
    QStatusTipEvent event(statusTip);
    QCoreApplication::sendEvent(widget, &event);
}

} // namespace

class TestStatusBar : public QObject
{
    Q_OBJECT

private slots:
    void longHint_data();
    void longHint();
    void hintPanelFollowsTheHint();
    void idleTextIsTheWindowsHint();
    void lockPanels_data();
    void lockPanels();
    void panelWidths_data();
    void panelWidths();
    void panelsFitTheWindow();
    void timePanel();
};

void TestStatusBar::longHint_data()
{
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("shown");

    QTest::newRow("long part only")
        << u"|Enter a date in the format d/MM/yy"_s << u"Enter a date in the format d/MM/yy"_s;
    QTest::newRow("short and long") << u"Save|Saves the quote"_s << u"Saves the quote"_s;
    QTest::newRow("no bar") << u"Find"_s << u"Find"_s;
    QTest::newRow("second bar stays") << u"a|b|c"_s << u"b|c"_s;
    QTest::newRow("empty") << QString() << QString();
}

void TestStatusBar::longHint()
{
    QFETCH(QString, hint);
    QFETCH(QString, shown);
    QCOMPARE(TQVStatusBar::longHint(hint), shown);
}

void TestStatusBar::hintPanelFollowsTheHint()
{
    MainWindow window;
    QCOMPARE(window.bar->panelText(TQVStatusBar::HintPanel), u"Ready."_s);

    // The status tip travels from the field to its window, as when the mouse moves over it.
    pointAt(window.dateField, u"|Enter a date in the format d/MM/yy"_s);
    QCOMPARE(
        window.bar->panelText(TQVStatusBar::HintPanel), u"Enter a date in the format d/MM/yy"_s);
    QCOMPARE(window.bar->currentMessage(), u"|Enter a date in the format d/MM/yy"_s);

    pointAt(window.dateField, QString());
    QCOMPARE(window.bar->panelText(TQVStatusBar::HintPanel), u"Ready."_s);
}

void TestStatusBar::idleTextIsTheWindowsHint()
{
    MainWindow window;
    window.setHint(u"Choose a client."_s);
    window.show();
    QCOMPARE(window.bar->panelText(TQVStatusBar::HintPanel), u"Choose a client."_s);
    window.bar->showMessage(u"Working|Saving the quote"_s);
    window.bar->clearMessage();
    QCOMPARE(window.bar->panelText(TQVStatusBar::HintPanel), u"Choose a client."_s);
}

void TestStatusBar::lockPanels_data()
{
    QTest::addColumn<QStringList>("lights"); // "name=brightness"
    QTest::addColumn<QString>("caps");
    QTest::addColumn<QString>("num");

    QTest::newRow("caps on") << QStringList { u"input3::capslock=1"_s, u"input3::numlock=0"_s }
                             << u"CAPS"_s << QString();
    QTest::newRow("both on") << QStringList { u"input3::capslock=1"_s, u"input3::numlock=1"_s }
                             << u"CAPS"_s << u"NUM"_s;
    QTest::newRow("on at a second keyboard")
        << QStringList { u"input3::numlock=0"_s, u"input9::numlock=1"_s } << QString() << u"NUM"_s;
    QTest::newRow("no keyboard lights") << QStringList() << QString() << QString();
    QTest::newRow("unreadable light")
        << QStringList { u"input3::capslock=bright"_s } << QString() << QString();
    QTest::newRow("other lights only")
        << QStringList { u"input3::scrolllock=1"_s, u"phy0-led=1"_s } << QString() << QString();
}

void TestStatusBar::lockPanels()
{
    QFETCH(QStringList, lights);
    QFETCH(QString, caps);
    QFETCH(QString, num);

    TempDataDir leds;
    for (const QString &light : lights) {
        const QString name = light.section(u'=', 0, 0);
        QVERIFY(QDir(leds.path()).mkdir(name));
        QFile brightness(leds.filePath(name + u"/brightness"_s));
        QVERIFY(brightness.open(QIODevice::WriteOnly));
        brightness.write(light.section(u'=', 1).toLatin1() + '\n');
    }

    MainWindow window;
    window.bar->setKeyboardLocks(KeyboardLocks(leds.path()));
    QCOMPARE(window.bar->panelText(TQVStatusBar::CapsPanel), caps);
    QCOMPARE(window.bar->panelText(TQVStatusBar::NumPanel), num);
}

void TestStatusBar::panelWidths_data()
{
    QTest::addColumn<int>("barWidth");
    QTest::addColumn<QList<int>>("widths");

    QTest::newRow("design width") << 640 << QList<int> { 490, 40, 40, 60 };
    QTest::newRow("narrower than the fixed panels") << 100 << QList<int> { 0, 40, 40, 60 };
}

void TestStatusBar::panelWidths()
{
    QFETCH(int, barWidth);
    QFETCH(QList<int>, widths);
    QCOMPARE(TQVStatusBar::panelWidths(barWidth), widths);
}

void TestStatusBar::panelsFitTheWindow()
{
    MainWindow window;
    window.resize(800, 400);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.bar->panel(TQVStatusBar::CapsPanel)->width(), 40);
    QCOMPARE(window.bar->panel(TQVStatusBar::TimePanel)->width(), 60);
    QVERIFY(window.bar->panel(TQVStatusBar::HintPanel)->width() <= 650);

    // A long hint must not push the window wider, and the window can still shrink.
    window.bar->showMessage(QString(400, u'x'));
    window.resize(300, 400);
    QTRY_COMPARE(window.width(), 300);
    QVERIFY(window.bar->panel(TQVStatusBar::HintPanel)->width() <= 150);
}

void TestStatusBar::timePanel()
{
    MainWindow window;
    const QString text = window.bar->panelText(TQVStatusBar::TimePanel);
    QVERIFY(text.startsWith(u' '));
    QVERIFY2(QLocale().toTime(text.mid(1), QLocale::ShortFormat).isValid(), qPrintable(text));
}

int runStatusBarTests(int argc, char **argv)
{
    TestStatusBar test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_statusbar.moc"

// Caps Lock and Num Lock as the X server keeps them, where the kernel has no keyboard light (any
// remote or virtual display). Runs under a virtual X server of its own.
#include "TempDataDir.h"
#include "controls/window/KeyboardLocks.h"
#include "controls/window/TQVStatusBarSrc.h"
#include "controls/window/XkbIndicators.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QMainWindow>
#include <QTest>
#include <QThread>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

using namespace Qt::StringLiterals;

namespace {

// A client of the same display that turns the locks on and off, as a keyboard would.
class LockSwitch
{
public:
    LockSwitch()
    {
        // The virtual server may still be starting: give it time to take connections.
        QDeadlineTimer deadline(30000);
        m_display = XkbOpenDisplay(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
        while (!m_display && !deadline.hasExpired()) {
            QThread::msleep(100);
            m_display = XkbOpenDisplay(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
        }
    }
    ~LockSwitch()
    {
        if (m_display) {
            set(false, false);
            XCloseDisplay(m_display);
        }
    }
    bool isOpen() const { return m_display != nullptr; }

    void set(bool caps, bool num)
    {
        const unsigned int numMask = XkbKeysymToModifiers(m_display, XK_Num_Lock);
        const unsigned int mask = LockMask | numMask;
        const unsigned int values = (caps ? LockMask : 0) | (num ? numMask : 0);
        XkbLockModifiers(m_display, XkbUseCoreKbd, mask, values);
        XSync(m_display, False);
    }

private:
    Display *m_display = nullptr;
};

} // namespace

class TestXkbLocks : public QObject
{
    Q_OBJECT

private slots:
    void statusBarShowsTheServersLocks_data();
    void statusBarShowsTheServersLocks();
};

void TestXkbLocks::statusBarShowsTheServersLocks_data()
{
    QTest::addColumn<bool>("caps");
    QTest::addColumn<bool>("num");
    QTest::newRow("both off") << false << false;
    QTest::newRow("caps lock on") << true << false;
    QTest::newRow("num lock on") << false << true;
    QTest::newRow("both on") << true << true;
}

void TestXkbLocks::statusBarShowsTheServersLocks()
{
    QFETCH(bool, caps);
    QFETCH(bool, num);
    LockSwitch keyboard;
    QVERIFY2(keyboard.isOpen(), "no X display to test on (run under xvfb-run)");
    const std::shared_ptr<XkbIndicators> display = XkbIndicators::open();
    QVERIFY(display);
    keyboard.set(caps, num);

    // No keyboard lights at all, as on a remote display: only the server can tell.
    TempDataDir noLights;
    const KeyboardLocks locks(noLights.path(), display);
    QCOMPARE(locks.capsLock(), std::optional<bool>(caps));
    QCOMPARE(locks.numLock(), std::optional<bool>(num));

    QMainWindow window;
    auto *bar = new TQVStatusBar(&window);
    window.setStatusBar(bar);
    bar->setKeyboardLocks(locks);
    QCOMPARE(bar->panelText(TQVStatusBar::CapsPanel), caps ? u"CAPS"_s : QString());
    QCOMPARE(bar->panelText(TQVStatusBar::NumPanel), num ? u"NUM"_s : QString());
}

QTEST_MAIN(TestXkbLocks)
#include "tst_xkblocks.moc"

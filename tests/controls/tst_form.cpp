#include "ControlsTests.h"
#include "TempDataDir.h"
#include "controls/window/CommandGuard.h"
#include "controls/window/TQVFormSrc.h"
#include "controls/window/TQVPageControl.h"
#include "controls/window/TQVRegistry.h"

#include <QAbstractEventDispatcher>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString FormKey = u"\\Software\\Velbric\\TestForm"_s;
const QPoint DesignPosition(300, 300);
const QSize DesignSize(640, 473);

// A window as the program's windows are built: its definition first, then formLoaded().
class PersistingWindow : public QWidget, public TQVForm
{
public:
    PersistingWindow(bool savePosition, bool saveSize, const QString &key = FormKey)
        : TQVForm(this)
    {
        move(DesignPosition);
        resize(DesignSize);
        setRegKey(key);
        setSavePosition(savePosition);
        setSaveSize(saveSize);
        pages = new TQVPageControl(this);
        for (const QString &title : { u"Details"_s, u"Client"_s, u"Materials"_s })
            pages->addTab(new QWidget, title);
    }

    TQVPageControl *pages;
};

void storePlacement(const QPoint &position, const QSize &size, bool maximised = false)
{
    TQVRegistry registry;
    QVERIFY(registry.openKey(FormKey, true));
    registry.writeInteger(u"WindowMaximised"_s, maximised ? 1 : 0);
    registry.writeInteger(u"Top"_s, position.y());
    registry.writeInteger(u"Left"_s, position.x());
    registry.writeInteger(u"Height"_s, size.height());
    registry.writeInteger(u"Width"_s, size.width());
}

// Runs the event loop until it has nothing left to do and waits for the next event.
void runUntilIdle()
{
    QEventLoop loop;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock,
        &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

class TestForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void placementRoundTrip();
    void positionWithoutSize();
    void unreadablePlacement_data();
    void unreadablePlacement();
    void maximisedRoundTrip();
    void positionSwitchedOnLaterIsOnlySaved();
    void emptyKeyStoresNothing();
    void opensOnFirstVisiblePage_data();
    void opensOnFirstVisiblePage();
    void pageChosenAfterLoadingStands();
    void idleClearsTheHourglass_data();
    void idleClearsTheHourglass();
    void waitCursorLeavesOtherCursorsAlone();

private:
    std::unique_ptr<TempDataDir> m_dir;
};

void TestForm::init()
{
    m_dir = std::make_unique<TempDataDir>();
    QVERIFY(m_dir->isValid());
    TQVRegistry::setRootPath(m_dir->path());
}

void TestForm::cleanup()
{
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
    TQVRegistry::setRootPath(QString());
    m_dir.reset();
}

void TestForm::placementRoundTrip()
{
    {
        PersistingWindow window(true, true);
        window.formLoaded();
        QCOMPARE(window.pos(), TQVForm::FallbackPosition);
        window.move(100, 120);
        window.resize(320, 200);
    }
    TQVRegistry registry;
    QVERIFY(registry.openKey(FormKey, false));
    QCOMPARE(registry.readInteger(u"WindowMaximised"_s), 0);
    QCOMPARE(registry.readInteger(u"Top"_s), 120);
    QCOMPARE(registry.readInteger(u"Left"_s), 100);
    QCOMPARE(registry.readInteger(u"Height"_s), 200);
    QCOMPARE(registry.readInteger(u"Width"_s), 320);

    PersistingWindow again(true, true);
    again.formLoaded();
    QCOMPARE(again.pos(), QPoint(100, 120));
    QCOMPARE(again.size(), QSize(320, 200));
}

void TestForm::positionWithoutSize()
{
    storePlacement(QPoint(100, 120), QSize(320, 200));
    {
        PersistingWindow window(true, false);
        window.formLoaded();
        QCOMPARE(window.pos(), QPoint(100, 120));
        QCOMPARE(window.size(), DesignSize);
    }
    // The size is written all the same.
    TQVRegistry registry;
    QVERIFY(registry.openKey(FormKey, false));
    QCOMPARE(registry.readInteger(u"Width"_s), DesignSize.width());
}

void TestForm::unreadablePlacement_data()
{
    QTest::addColumn<QString>("missing");
    QTest::addColumn<QString>("notANumber");
    QTest::addColumn<bool>("saveSize");
    QTest::addColumn<QPoint>("position");

    QTest::newRow("nothing stored") << u"*"_s << QString() << true << TQVForm::FallbackPosition;
    QTest::newRow("no maximised flag")
        << u"WindowMaximised"_s << QString() << false << TQVForm::FallbackPosition;
    QTest::newRow("no left") << u"Left"_s << QString() << false << TQVForm::FallbackPosition;
    QTest::newRow("top is text") << QString() << u"Top"_s << false << TQVForm::FallbackPosition;
    QTest::newRow("no width, size restored")
        << u"Width"_s << QString() << true << TQVForm::FallbackPosition;
    QTest::newRow("no width, size not restored")
        << u"Width"_s << QString() << false << QPoint(100, 120);
}

void TestForm::unreadablePlacement()
{
    QFETCH(QString, missing);
    QFETCH(QString, notANumber);
    QFETCH(bool, saveSize);
    QFETCH(QPoint, position);

    if (missing != u"*") {
        storePlacement(QPoint(100, 120), QSize(320, 200));
        TQVRegistry registry;
        QVERIFY(registry.openKey(FormKey, false));
        if (!missing.isEmpty())
            QVERIFY(registry.deleteValue(missing));
        if (!notANumber.isEmpty())
            registry.writeString(notANumber, u"12O"_s);
    }
    PersistingWindow window(true, saveSize);
    window.formLoaded();
    QCOMPARE(window.pos(), position);
}

void TestForm::maximisedRoundTrip()
{
    storePlacement(QPoint(100, 120), QSize(320, 200));
    {
        PersistingWindow window(true, true);
        window.formLoaded();
        window.showMaximized();
    }
    PersistingWindow again(true, true);
    again.formLoaded();
    QVERIFY(again.windowState() & Qt::WindowMaximized);
}

void TestForm::positionSwitchedOnLaterIsOnlySaved()
{
    storePlacement(QPoint(100, 120), QSize(320, 200));
    {
        PersistingWindow window(false, false);
        window.formLoaded();
        QCOMPARE(window.pos(), DesignPosition);
        // As the main window does while it closes.
        window.setSavePosition(true);
        window.setSaveSize(true);
        window.move(50, 60);
    }
    TQVRegistry registry;
    QVERIFY(registry.openKey(FormKey, false));
    QCOMPARE(registry.readInteger(u"Left"_s), 50);
    QCOMPARE(registry.readInteger(u"Top"_s), 60);
}

void TestForm::emptyKeyStoresNothing()
{
    {
        PersistingWindow window(true, true, QString());
        window.formLoaded();
        QCOMPARE(window.pos(), DesignPosition);
    }
    TQVRegistry registry;
    QVERIFY(registry.keyNames().isEmpty());
}

void TestForm::opensOnFirstVisiblePage_data()
{
    QTest::addColumn<QList<int>>("hidden");
    QTest::addColumn<int>("designed");
    QTest::addColumn<int>("opened");

    QTest::newRow("designed on the last page") << QList<int>() << 2 << 0;
    QTest::newRow("first page hidden") << QList<int> { 0 } << 2 << 1;
    QTest::newRow("only the last page visible") << QList<int> { 0, 1 } << 0 << 2;
}

void TestForm::opensOnFirstVisiblePage()
{
    QFETCH(QList<int>, hidden);
    QFETCH(int, designed);
    QFETCH(int, opened);

    PersistingWindow window(false, false);
    for (int page : hidden)
        window.pages->setTabVisible(page, false);
    window.pages->setCurrentIndex(designed);
    window.formLoaded();
    QCOMPARE(window.pages->currentIndex(), opened);

    // On its own, outside a form, a page control does the same when it is first shown.
    TQVPageControl loose;
    for (const QString &title : { u"A"_s, u"B"_s, u"C"_s })
        loose.addTab(new QWidget, title);
    for (int page : hidden)
        loose.setTabVisible(page, false);
    loose.setCurrentIndex(designed);
    loose.show();
    QCOMPARE(loose.currentIndex(), opened);
}

void TestForm::pageChosenAfterLoadingStands()
{
    // A command that opens a window on a chosen page selects it after the window is made.
    PersistingWindow window(false, false);
    window.formLoaded();
    window.pages->setCurrentIndex(2);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.pages->currentIndex(), 2);
}

void TestForm::idleClearsTheHourglass_data()
{
    QTest::addColumn<QList<int>>("pushed");
    QTest::addColumn<int>("left"); // the cursor still showing, or -1 for none

    QTest::newRow("hourglass") << QList<int> { Qt::WaitCursor } << -1;
    QTest::newRow("hourglass set twice")
        << QList<int> { Qt::WaitCursor, Qt::ArrowCursor, Qt::WaitCursor } << -1;
    QTest::newRow("application start cursor stays")
        << QList<int> { Qt::BusyCursor } << int(Qt::BusyCursor);
    QTest::newRow("hourglass over application start")
        << QList<int> { Qt::BusyCursor, Qt::WaitCursor } << int(Qt::BusyCursor);
}

void TestForm::idleClearsTheHourglass()
{
    QFETCH(QList<int>, pushed);
    QFETCH(int, left);

    PersistingWindow window(false, false);
    window.formLoaded();
    for (int shape : pushed)
        QGuiApplication::setOverrideCursor(QCursor(Qt::CursorShape(shape)));
    runUntilIdle();

    const QCursor *showing = QGuiApplication::overrideCursor();
    QCOMPARE(showing ? int(showing->shape()) : -1, left);
}

void TestForm::waitCursorLeavesOtherCursorsAlone()
{
    PersistingWindow window(false, false);
    window.formLoaded();
    QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    {
        const WaitCursor hourglass;
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
        runUntilIdle();
    }
    QVERIFY(QGuiApplication::overrideCursor());
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
}

int runFormTests(int argc, char **argv)
{
    TestForm test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_form.moc"

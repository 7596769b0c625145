#include "RecordValues.h"
#include "ReferenceFixture.h"
#include "ReferenceTests.h"
#include "app/FormMain.h"
#include "engine/Field.h"
#include "reference/FormClients.h"
#include "reference/FormHeadings.h"
#include "reference/FormMaterials.h"
#include "reference/FormPriceChange.h"
#include "reference/FormUnits.h"

#include <QAction>
#include <QTest>

using namespace Qt::StringLiterals;

// The main window's "&Tools" items open the reference windows, and "Clients..." opens the client
// list for the quote being edited, whose choice becomes the quote's client.
class TestToolsMenu : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void itemsOpenTheirWindows_data();
    void itemsOpenTheirWindows();
    void clientsChoosesForTheCurrentQuote();

private:
    std::unique_ptr<ReferenceFixture> m_f;
    std::unique_ptr<TfrmMain> m_window;
};

void TestToolsMenu::init()
{
    m_f = std::make_unique<ReferenceFixture>();
    m_f->dm->WriteSettingFlag(u"Startup"_s, u"StartWiz"_s, true);
    m_f->addQuoteAndJob();
    m_window = std::make_unique<TfrmMain>(m_f->dm.get());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestToolsMenu::cleanup()
{
    m_window.reset();
    m_f.reset();
}

void TestToolsMenu::itemsOpenTheirWindows_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("caption");
    QTest::newRow("price listing") << u"mniPriceListing"_s << u"TfrmPriceChange"_s
                                   << u"Material and Labour Price List"_s;
    QTest::newRow("materials") << u"mniMaterials"_s << u"TfrmMaterials"_s
                               << u"Materials and Labour"_s;
    QTest::newRow("headings") << u"mniHeadings"_s << u"TfrmHeadings"_s << u"Group Headings"_s;
    QTest::newRow("units") << u"mniUnits"_s << u"TfrmUnits"_s << u"Unit Description"_s;
    QTest::newRow("clients") << u"mniClients"_s << u"TfrmClientDetails"_s << u"Client Details"_s;
}

void TestToolsMenu::itemsOpenTheirWindows()
{
    QFETCH(QString, item);
    QFETCH(QString, window);
    QFETCH(QString, caption);
    auto *action = m_window->findChild<QAction *>(item);
    QVERIFY(action);
    QString opened;
    QString title;
    onNextModal([&](QWidget *modal) {
        opened = QString::fromLatin1(modal->metaObject()->className());
        title = modal->windowTitle();
    });
    action->trigger();
    QCOMPARE(opened, window);
    QCOMPARE(title, caption);
}

void TestToolsMenu::clientsChoosesForTheCurrentQuote()
{
    const double client = m_f->addClient(u"Cleo Carter"_s);
    TDM *dm = m_f->dm.get();
    bool editing = false;
    onNextModal([&](QWidget *modal) {
        editing = dm->tblQuotes->isEditing();
        auto *list = qobject_cast<TfrmClientDetails *>(modal);
        QVERIFY(list);
        QVERIFY(dm->tblClients->findKey({ u"Cleo Carter"_s }));
        trigger(list, u"btnSelectClient"_s);
    });
    m_window->findChild<QAction *>(u"mniClients"_s)->trigger();
    QVERIFY(editing);
    QVERIFY(!dm->tblQuotes->isEditing());
    QCOMPARE(number(dm->tblQuotes, u"Client_ID"), client);
    QCOMPARE(text(dm->tblClientDetails, u"Contact"), u"Cleo Carter"_s);
}

int runToolsMenuTests(int argc, char **argv)
{
    TestToolsMenu test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_toolsmenu.moc"

#include "ControlsTests.h"
#include "TempDataDir.h"
#include "controls/window/SystemSound.h"
#include "controls/window/TQVRegistry.h"

#include <QFile>
#include <QSettings>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

class TestRegistry : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keyNameWithSlashStaysOneKey();
    void writesReachTheFileAtOnce();
    void samePathSpelledDifferently_data();
    void samePathSpelledDifferently();
    void splitterKeyIsNotBelowTheMainKey();
    void openWithoutCreate();
    void typedReads_data();
    void typedReads();
    void namesWithSeparatorsRoundTrip_data();
    void namesWithSeparatorsRoundTrip();
    void deleteKeyTakesItsSubkeys();
    void unwritableStoreRefusesChanges();
    void eventSoundFileFromTheScheme_data();
    void eventSoundFileFromTheScheme();

private:
    std::unique_ptr<TempDataDir> m_dir;
};

void TestRegistry::init()
{
    m_dir = std::make_unique<TempDataDir>();
    QVERIFY(m_dir->isValid());
    TQVRegistry::setRootPath(m_dir->path());
}

void TestRegistry::cleanup()
{
    TQVRegistry::setRootPath(QString());
    m_dir.reset();
}

void TestRegistry::keyNameWithSlashStaysOneKey()
{
    TQVRegistry registry;
    QVERIFY(registry.openKey(u"\\Software\\Velbric\\Velbric/UnitDesc"_s, true));
    registry.writeString(u"GridColumn0"_s, u"Unit,80"_s);
    registry.closeKey();

    QVERIFY(registry.openKey(u"\\Software\\Velbric"_s, false));
    QCOMPARE(registry.keyNames(), QStringList { u"Velbric/UnitDesc"_s });
    QVERIFY(!registry.keyExists(u"Velbric"_s));
    QVERIFY(!registry.keyExists(u"\\Software\\Velbric\\Velbric\\UnitDesc"_s));

    // Also as QSettings itself sees the file: one group below Software/Velbric, no deeper level.
    QSettings raw(registry.storeFile(), QSettings::IniFormat);
    raw.beginGroup(u"Software/Velbric"_s);
    const QStringList groups = raw.childGroups();
    QCOMPARE(groups.size(), 1);
    raw.beginGroup(groups.first());
    QVERIFY(raw.childGroups().isEmpty());
}

void TestRegistry::writesReachTheFileAtOnce()
{
    TQVRegistry writer;
    QVERIFY(writer.openKey(u"\\Software\\Velbric\\Tessorin\\ClientGrid"_s, true));
    writer.writeString(u"GridColumn0"_s, u"Contact,120"_s);

    // Still open in the writer: a separate store object and the file on disk must both have it.
    TQVRegistry reader;
    QVERIFY(reader.openKey(u"\\Software\\Velbric\\Tessorin\\ClientGrid"_s, false));
    QCOMPARE(reader.readString(u"GridColumn0"_s), u"Contact,120"_s);

    QFile file(writer.storeFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("Contact,120"));

    // A later change made through the reader reaches the long-lived writer.
    reader.writeString(u"GridColumn0"_s, u"Contact,90"_s);
    QCOMPARE(writer.readString(u"GridColumn0"_s), u"Contact,90"_s);
}

void TestRegistry::samePathSpelledDifferently_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("read");

    QTest::newRow("trailing backslash") << u"\\Software\\Velbric\\SplitterTessorin\\"_s
                                        << u"\\Software\\Velbric\\SplitterTessorin"_s;
    QTest::newRow("no leading backslash opens from the root")
        << u"Software\\Velbric\\Tessorin"_s << u"\\Software\\Velbric\\Tessorin"_s;
    QTest::newRow("letter case") << u"\\Software\\Velbric\\Tessorin"_s
                                 << u"\\SOFTWARE\\velbric\\tessorin"_s;
    QTest::newRow("doubled backslash")
        << u"\\Software\\\\Velbric\\Tessorin"_s << u"\\Software\\Velbric\\Tessorin"_s;
}

void TestRegistry::samePathSpelledDifferently()
{
    QFETCH(QString, written);
    QFETCH(QString, read);

    TQVRegistry registry;
    QVERIFY(registry.openKey(written, true));
    registry.writeInteger(u"Splitter"_s, 35);
    registry.closeKey();

    QVERIFY(registry.openKey(read, false));
    QCOMPARE(registry.readInteger(u"splitter"_s), 35);
    QCOMPARE(registry.valueNames(), QStringList { u"Splitter"_s });
}

void TestRegistry::splitterKeyIsNotBelowTheMainKey()
{
    // The splitter key is joined as "\Software\Velbric\" + "Splitter" + "Tessorin\".
    TQVRegistry registry;
    const QString key = u"\\Software\\Velbric\\"_s + u"Splitter"_s + u"Tessorin\\"_s;
    QVERIFY(registry.openKey(key, true));
    registry.writeInteger(u"Splitter"_s, 55);
    registry.closeKey();

    QVERIFY(registry.keyExists(u"\\Software\\Velbric\\SplitterTessorin"_s));
    QVERIFY(!registry.keyExists(u"\\Software\\Velbric\\Tessorin"_s));
}

void TestRegistry::openWithoutCreate()
{
    TQVRegistry registry;
    QVERIFY(registry.openKey(u"\\Software\\Velbric"_s, true));

    QVERIFY(!registry.openKey(u"\\Software\\Velbric\\Tessorin"_s, false));
    QCOMPARE(registry.currentPath(), u"Software\\Velbric"_s);

    // Relative to the open key; an empty key created here survives without any value in it.
    QVERIFY(registry.openKey(u"Tessorin"_s, true));
    QCOMPARE(registry.currentPath(), u"Software\\Velbric\\Tessorin"_s);
    QVERIFY(registry.valueNames().isEmpty());

    TQVRegistry other;
    QVERIFY(other.openKey(u"\\Software\\Velbric\\Tessorin"_s, false));
    QVERIFY(!other.openKey(u"\\Software\\Velbric\\Tessorin\\Missing"_s, false));
    QCOMPARE(other.currentPath(), u"Software\\Velbric\\Tessorin"_s);
}

void TestRegistry::typedReads_data()
{
    QTest::addColumn<QString>("stored"); // "none", "string", "integer" or "binary"
    QTest::addColumn<QString>("readAs");
    QTest::addColumn<bool>("fails");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("missing integer fails") << u"none"_s << u"integer"_s << true << QVariant();
    QTest::newRow("missing bool fails") << u"none"_s << u"bool"_s << true << QVariant();
    QTest::newRow("missing binary fails") << u"none"_s << u"binary"_s << true << QVariant();
    QTest::newRow("missing text is empty text")
        << u"none"_s << u"string"_s << false << QVariant(QString());
    QTest::newRow("text read as integer fails")
        << u"string"_s << u"integer"_s << true << QVariant();
    QTest::newRow("integer read as text fails")
        << u"integer"_s << u"string"_s << true << QVariant();
    QTest::newRow("binary read as integer fails")
        << u"binary"_s << u"integer"_s << true << QVariant();
    QTest::newRow("integer") << u"integer"_s << u"integer"_s << false << QVariant(-5);
    QTest::newRow("integer as bool") << u"integer"_s << u"bool"_s << false << QVariant(true);
    QTest::newRow("text") << u"string"_s << u"string"_s << false << QVariant(u"Contact,120"_s);
    QTest::newRow("binary") << u"binary"_s << u"binary"_s << false
                            << QVariant(QByteArray("\x00\xff\x10", 3));
}

void TestRegistry::typedReads()
{
    QFETCH(QString, stored);
    QFETCH(QString, readAs);
    QFETCH(bool, fails);
    QFETCH(QVariant, expected);

    TQVRegistry registry;
    QVERIFY(registry.openKey(u"\\Software\\Velbric\\Tessorin"_s, true));
    const QString name = u"Value"_s;
    if (stored == u"string")
        registry.writeString(name, u"Contact,120"_s);
    else if (stored == u"integer")
        registry.writeInteger(name, -5);
    else if (stored == u"binary")
        registry.writeBinaryData(name, QByteArray("\x00\xff\x10", 3));

    QVariant value;
    bool failed = false;
    try {
        if (readAs == u"integer")
            value = registry.readInteger(name);
        else if (readAs == u"bool")
            value = registry.readBool(name);
        else if (readAs == u"string")
            value = registry.readString(name);
        else
            value = registry.readBinaryData(name);
    } catch (const ERegistryException &) {
        failed = true;
    }
    QCOMPARE(failed, fails);
    if (!fails)
        QCOMPARE(value, expected);
}

void TestRegistry::namesWithSeparatorsRoundTrip_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("forward slash") << u"Width/Height"_s;
    QTest::newRow("backslash") << u"Left\\Right"_s;
    QTest::newRow("percent and escape look-alike") << u"%2F 100%"_s;
    QTest::newRow("default value") << QString();
    QTest::newRow("ini section word") << u"General"_s;
}

void TestRegistry::namesWithSeparatorsRoundTrip()
{
    QFETCH(QString, name);

    {
        TQVRegistry registry;
        QVERIFY(registry.openKey(u"\\Software\\Velbric\\Names"_s, true));
        registry.writeString(name, u"stored"_s);
    }
    TQVRegistry registry;
    QVERIFY(registry.openKey(u"\\Software\\Velbric\\Names"_s, false));
    QCOMPARE(registry.valueNames(), QStringList { name });
    QVERIFY(registry.valueExists(name));
    QCOMPARE(registry.readString(name), u"stored"_s);
    QVERIFY(registry.deleteValue(name));
    QVERIFY(!registry.valueExists(name));
    QVERIFY(!registry.deleteValue(name));
}

void TestRegistry::deleteKeyTakesItsSubkeys()
{
    TQVRegistry registry;
    QVERIFY(registry.openKey(u"\\Software\\Velbric\\Tessorin\\grdQuotes"_s, true));
    registry.writeString(u"GridColumn0"_s, u"Quote_No,60"_s);
    QVERIFY(registry.openKey(u"\\Software\\Velbric\\Keep"_s, true));

    QVERIFY(registry.deleteKey(u"\\Software\\Velbric\\Tessorin"_s));
    QVERIFY(!registry.keyExists(u"\\Software\\Velbric\\Tessorin\\grdQuotes"_s));
    QVERIFY(!registry.keyExists(u"\\Software\\Velbric\\Tessorin"_s));
    QVERIFY(registry.keyExists(u"\\Software\\Velbric\\Keep"_s));
    QVERIFY(!registry.deleteKey(u"\\Software\\Velbric\\Tessorin"_s));
}

void TestRegistry::unwritableStoreRefusesChanges()
{
    // A store whose folder cannot exist: it is a plain file.
    QFile blocker(m_dir->filePath(u"blocker"_s));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    TQVRegistry registry(m_dir->filePath(u"blocker/registry.ini"_s));
    QVERIFY(!registry.openKey(u"\\Software\\Velbric\\Tessorin"_s, true));
    QVERIFY_THROWS_EXCEPTION(ERegistryException, registry.writeInteger(u"Top"_s, 1));
    QCOMPARE(registry.readString(u"Top"_s), QString());
}

void TestRegistry::eventSoundFileFromTheScheme_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("found");

    QTest::newRow("scheme key") << u"\\AppEvents\\Schemes\\Apps\\.Default\\MenuPopup\\.Current"_s
                                << true;
    QTest::newRow("other letter case")
        << u"\\AppEvents\\Schemes\\Apps\\.default\\MenuPopup\\.current"_s << true;
    QTest::newRow("another event")
        << u"\\AppEvents\\Schemes\\Apps\\.Default\\Minimize\\.Current"_s << false;
}

void TestRegistry::eventSoundFileFromTheScheme()
{
    QFETCH(QString, key);
    QFETCH(bool, found);

    TQVRegistry registry;
    QVERIFY(registry.openKey(key, true));
    registry.writeString(QString(), u"/usr/share/sounds/popup.wav"_s);
    registry.closeKey();

    QCOMPARE(SystemSound::eventSoundFile(registry, u"MenuPopup"_s),
        found ? u"/usr/share/sounds/popup.wav"_s : QString());
}

int runRegistryTests(int argc, char **argv)
{
    TestRegistry test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_registry.moc"

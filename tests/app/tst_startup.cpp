// Start-up before any window: the command line, which data directory a start uses, and that a
// directory the program cannot use is refused without a file being made in it.
#include "data/DataDirectory.h"
#include "TempDataDir.h"
#include "app/DataLocation.h"
#include "app/StartupOptions.h"
#include "app/Version.h"
#include "controls/window/TQVRegistry.h"
#include "data/DataModuleMain.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

const QString failurePrefix =
    u"Cannot Connect To Database. Please Check The Network Connection : "_s;

QStringList entries(const QString &path)
{
    return QDir(path).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void commandLine_data();
    void commandLine();
    void choice_data();
    void choice();
    void open_data();
    void open();

private:
    // A program folder, the user's own data directory and the per-user store, all temporary.
    std::unique_ptr<TempDataDir> m_root;
    QString programFile() const { return m_root->filePath(u"bin/tessorin"_s); }
    QString besideProgram() const { return m_root->filePath(u"bin/DATA"_s); }
    QString ownDirectory() const { return m_root->filePath(u"home/Velbric/Tessorin/DATA"_s); }
    QString storeFile() const { return m_root->filePath(u"config/registry.ini"_s); }
};

void TestStartup::init()
{
    m_root = std::make_unique<TempDataDir>();
    QVERIFY(m_root->isValid());
    QVERIFY(QDir().mkpath(m_root->filePath(u"bin"_s)));
}

void TestStartup::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QString>("dataDirectory");
    QTest::addColumn<bool>("quitAfterStart");
    QTest::addColumn<QString>("printed"); // a part of what goes to out, or to err when refused

    using O = StartupOptions::Outcome;
    QTest::newRow("nothing") << QStringList {} << int(O::Run) << QString() << false << QString();
    QTest::newRow("help") << QStringList { u"--help"_s } << int(O::Answered) << QString() << false
                          << u"--data <directory>"_s;
    QTest::newRow("help among others")
        << QStringList { u"--data"_s, u"/x"_s, u"-h"_s } << int(O::Answered) << QString() << false
        << u"--quit-after-start"_s;
    QTest::newRow("version") << QStringList { u"-v"_s } << int(O::Answered) << QString() << false
                             << u"Velbric Tessorin "_s + Version::FileVersion;
    QTest::newRow("data and quit")
        << QStringList { u"--data"_s, u"/srv/quotes/DATA"_s, u"--quit-after-start"_s }
        << int(O::Run) << u"/srv/quotes/DATA"_s << true << QString();
    QTest::newRow("data with equals") << QStringList { u"--data=/srv/quotes/DATA"_s } << int(O::Run)
                                      << u"/srv/quotes/DATA"_s << false << QString();
    QTest::newRow("data without a value") << QStringList { u"--data"_s } << int(O::Refused)
                                          << QString() << false << u"Missing value"_s;
    QTest::newRow("data with an empty value") << QStringList { u"--data="_s } << int(O::Refused)
                                              << QString() << false << u"needs a directory"_s;
    QTest::newRow("unknown option") << QStringList { u"--colour"_s } << int(O::Refused) << QString()
                                    << false << u"Unknown option 'colour'"_s;
    QTest::newRow("stray argument") << QStringList { u"quotes"_s } << int(O::Refused) << QString()
                                    << false << u"Unexpected argument 'quotes'"_s;
}

void TestStartup::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, outcome);
    QFETCH(QString, dataDirectory);
    QFETCH(bool, quitAfterStart);
    QFETCH(QString, printed);

    arguments.prepend(u"tessorin"_s);
    QString outText;
    QString errText;
    QTextStream out(&outText);
    QTextStream err(&errText);
    StartupOptions options;
    QCOMPARE(int(options.parse(arguments, out, err)), outcome);
    out.flush();
    err.flush();
    QCOMPARE(options.dataDirectory(), dataDirectory);
    QCOMPARE(options.quitAfterStart(), quitAfterStart);
    const bool refused = outcome == int(StartupOptions::Outcome::Refused);
    QVERIFY2((refused ? errText : outText).contains(printed), qPrintable(outText + errText));
    if (outcome == int(StartupOptions::Outcome::Run))
        QVERIFY(outText.isEmpty() && errText.isEmpty());
    // Help and version answer before the application object exists, from the same arguments.
    QTextStream early(&outText);
    QCOMPARE(StartupOptions::answerInformation(arguments, early),
        outcome == int(StartupOptions::Outcome::Answered));
}

void TestStartup::choice_data()
{
    QTest::addColumn<bool>("besideExists");
    QTest::addColumn<QString>("commandLine"); // relative to the temporary root
    QTest::addColumn<QString>("remembered"); // relative to the temporary root
    QTest::addColumn<int>("source");
    QTest::addColumn<QString>("directory"); // relative to the temporary root
    QTest::addColumn<bool>("ignored");

    using S = DataLocation::Source;
    QTest::newRow("beside the program wins over everything")
        << true << u"share/DATA"_s << u"old/DATA"_s << int(S::BesideProgram) << u"bin/DATA"_s
        << true;
    QTest::newRow("beside the program")
        << true << QString() << QString() << int(S::BesideProgram) << u"bin/DATA"_s << false;
    QTest::newRow("command line over the remembered one")
        << false << u"share/DATA"_s << u"old/DATA"_s << int(S::CommandLine) << u"share/DATA"_s
        << false;
    QTest::newRow("command line cleaned") << false << u"share/./x/../DATA/"_s << QString()
                                          << int(S::CommandLine) << u"share/DATA"_s << false;
    QTest::newRow("remembered") << false << QString() << u"old/DATA"_s << int(S::Remembered)
                                << u"old/DATA"_s << false;
    QTest::newRow("the user's own") << false << QString() << QString() << int(S::PerUserDefault)
                                    << u"home/Velbric/Tessorin/DATA"_s << false;
}

void TestStartup::choice()
{
    QFETCH(bool, besideExists);
    QFETCH(QString, commandLine);
    QFETCH(QString, remembered);
    QFETCH(int, source);
    QFETCH(QString, directory);
    QFETCH(bool, ignored);

    if (besideExists)
        QVERIFY(QDir().mkpath(besideProgram()));
    TQVRegistry registry(storeFile());
    if (!remembered.isEmpty())
        QVERIFY(DataLocation::remember(registry, m_root->filePath(remembered)));
    DataLocation location(programFile(), ownDirectory());
    location.choose(commandLine.isEmpty() ? QString() : m_root->filePath(commandLine), registry);
    QCOMPARE(int(location.source()), source);
    QCOMPARE(location.directory(), QDir::cleanPath(m_root->filePath(directory)));
    QCOMPARE(location.commandLineIgnored(), ignored);
    // Choosing creates nothing.
    QCOMPARE(QFileInfo::exists(ownDirectory()), false);
}

void TestStartup::open_data()
{
    QTest::addColumn<QString>("how"); // "command line", "remembered" or "own"
    QTest::addColumn<QString>("state"); // "missing", "empty", "other files" or "data"
    QTest::addColumn<bool>("connected");

    QTest::newRow("own, made at the first start") << u"own"_s << u"missing"_s << true;
    QTest::newRow("own, left empty before") << u"own"_s << u"empty"_s << true;
    QTest::newRow("own, opened again") << u"own"_s << u"data"_s << true;
    QTest::newRow("own, holding other files") << u"own"_s << u"other files"_s << false;
    QTest::newRow("named, missing") << u"command line"_s << u"missing"_s << false;
    QTest::newRow("named, empty") << u"command line"_s << u"empty"_s << false;
    QTest::newRow("named, other files") << u"command line"_s << u"other files"_s << false;
    QTest::newRow("named, data") << u"command line"_s << u"data"_s << true;
    QTest::newRow("remembered, missing") << u"remembered"_s << u"missing"_s << false;
    QTest::newRow("remembered, data") << u"remembered"_s << u"data"_s << true;
}

void TestStartup::open()
{
    QFETCH(QString, how);
    QFETCH(QString, state);
    QFETCH(bool, connected);

    const QString target = how == u"own" ? ownDirectory() : m_root->filePath(u"share/DATA"_s);
    if (state == u"data")
        createDataDirectory(target);
    else if (state != u"missing")
        QVERIFY(QDir().mkpath(target));
    if (state == u"other files") {
        QFile note(QDir(target).filePath(u"notes.txt"_s));
        QVERIFY(note.open(QIODevice::WriteOnly));
        note.write("not a table\n");
    }
    const QStringList before = entries(target);

    TQVRegistry registry(storeFile());
    if (how == u"remembered")
        QVERIFY(DataLocation::remember(registry, target));
    DataLocation location(programFile(), ownDirectory());
    location.choose(how == u"command line" ? target : QString(), registry);
    QCOMPARE(location.directory(), target);

    TDM dm;
    QStringList failures;
    int terminations = 0;
    dm.startupFailure = [&failures](const QString &text) { failures << text; };
    dm.requestTermination = [&terminations] { ++terminations; };
    QCOMPARE(location.open(dm, registry), connected);
    QCOMPARE(dm.isConnected(), connected);

    if (connected) {
        QVERIFY(failures.isEmpty());
        QCOMPARE(terminations, 0);
        QVERIFY(!entries(target).isEmpty());
        // A directory named on the command line is remembered once it opened.
        QCOMPARE(DataLocation::remembered(registry), how == u"own" ? QString() : target);
        return;
    }
    QCOMPARE(failures.size(), 1);
    QVERIFY2(failures.first().startsWith(failurePrefix + u"\n\n"_s), qPrintable(failures.first()));
    // The engine's own message names the directory.
    QVERIFY2(
        failures.first().contains(QDir::toNativeSeparators(target)), qPrintable(failures.first()));
    QCOMPARE(terminations, 1);
    // Nothing was made: not in the refused directory, not the user's own one instead.
    QCOMPARE(QFileInfo::exists(target), state != u"missing");
    QCOMPARE(entries(target), before);
    if (how != u"own")
        QVERIFY(!QFileInfo::exists(ownDirectory()));
    QCOMPARE(DataLocation::remembered(registry), how == u"remembered" ? target : QString());
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"

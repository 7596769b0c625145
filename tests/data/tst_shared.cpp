// A data directory shared by two accounts of one group: what the first makes, the second can
// work in, and a directory the second cannot write is refused at its start, naming the file.
// Runs as root, which plays both accounts through runuser.
#include "ExternalTool.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// The first account has its own primary group and is a member of the shared group; so is the
// second. Files of the first carry the shared group only when the program gives it to them.
const QStringList firstAccount { u"-u"_s, u"daemon"_s, u"-g"_s, u"daemon"_s, u"-G"_s, u"users"_s };
const QStringList secondAccount { u"-u"_s, u"nobody"_s, u"-g"_s, u"nogroup"_s, u"-G"_s,
    u"users"_s };

struct Run
{
    int code = -1;
    QString output;
};

Run runAs(const QStringList &account, const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(u"runuser"_s, account + QStringList { u"--"_s, program } + arguments);
    if (!process.waitForFinished(120000))
        process.kill();
    process.waitForFinished();
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        QString::fromLocal8Bit(process.readAll()) };
}

Run tool(const QStringList &account, const QStringList &arguments)
{
    return runAs(account, QStringLiteral(TESSORIN_DATA), arguments);
}

// The data module of a pretend program in folder, on folder/DATA.
Run peer(const QStringList &account, const QString &folder, const QString &command)
{
    return runAs(account, QStringLiteral(SETTINGS_PEER),
        { QDir(folder).filePath(u"tessorin"_s), command });
}

} // namespace

class TestShared : public QObject
{
    Q_OBJECT

private slots:
    void twoAccounts_data();
    void twoAccounts();
};

void TestShared::twoAccounts_data()
{
    QTest::addColumn<bool>("sharedFolder"); // the folder the first makes DATA in: 2775, group users
    QTest::addColumn<QString>("narrowed"); // a file of DATA the first then makes 0644
    QTest::addColumn<QString>("refusal"); // empty: the second account works in the directory

    QTest::newRow("shared folder") << true << QString() << QString();
    QTest::newRow("private folder") << false << QString() << u"The data directory"_s;
    QTest::newRow("lock file narrowed by hand")
        << true << u"Tessorin.lck"_s << u"The lock control file"_s;
    QTest::newRow("byte-lock file narrowed by hand")
        << true << u"Tessorin.locks"_s << u"The lock file"_s;
    QTest::newRow("database narrowed by hand")
        << true << u"Tessorin.db"_s << u"The database"_s;
}

void TestShared::twoAccounts()
{
    QFETCH(bool, sharedFolder);
    QFETCH(QString, narrowed);
    QFETCH(QString, refusal);
    if (::geteuid() != 0) {
        if (ExternalTool::inContinuousIntegration())
            QFAIL("playing two accounts needs root");
        QSKIP("playing two accounts needs root (runuser)");
    }
    const struct group *users = ::getgrnam("users");
    QVERIFY(users);
    const gid_t sharedGroup = users->gr_gid;

    QTemporaryDir root;
    QVERIFY(root.isValid());
    QVERIFY(QFile::setPermissions(root.path(),
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
            | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
    const QString office = root.filePath(u"office"_s);
    QVERIFY(QDir().mkdir(office));
    QCOMPARE(::chown(QFile::encodeName(office).constData(), sharedFolder ? 0 : 1,
                 sharedFolder ? sharedGroup : 1),
        0);
    QCOMPARE(::chmod(QFile::encodeName(office).constData(), sharedFolder ? 02775 : 0755), 0);
    const QString data = QDir(office).filePath(u"DATA"_s);

    // The first account makes the directory and works in it: database, journal and lock files.
    const Run made = tool(firstAccount, { u"demo"_s, data });
    QVERIFY2(made.code == 0, qPrintable(made.output));
    const Run firstEdit = peer(firstAccount, office, u"edit-quote"_s);
    QVERIFY2(firstEdit.code == 0, qPrintable(firstEdit.output));
    if (!narrowed.isEmpty()) {
        QVERIFY(runAs(firstAccount, u"chmod"_s, { u"644"_s, QDir(data).filePath(narrowed) }).code
            == 0);
    }

    const QString prices = QDir(office).filePath(u"prices.csv"_s);
    if (!refusal.isEmpty()) {
        const Run refused = peer(secondAccount, office, u"edit-quote"_s);
        QCOMPARE(refused.code, 1);
        QVERIFY2(refused.output.startsWith(
                     u"Cannot Connect To Database. Please Check The Network Connection : "_s),
            qPrintable(refused.output));
        const QString file = narrowed.isEmpty() ? data : QDir(data).filePath(narrowed);
        QVERIFY2(refused.output.contains(refusal + u' ' + file) && refused.output.contains(u"write"),
            qPrintable(refused.output));
        return;
    }

    // Every file of the directory is the group's to write, whoever made it.
    for (const QFileInfo &entry : QDir(data).entryInfoList(QDir::Files | QDir::Hidden)) {
        struct stat info = {};
        QCOMPARE(::stat(QFile::encodeName(entry.filePath()).constData(), &info), 0);
        QVERIFY2(info.st_mode & S_IWGRP, qPrintable(entry.fileName()));
        QVERIFY2(info.st_gid == sharedGroup, qPrintable(entry.fileName()));
    }
    // The second account imports a price list, edits and saves a quote under its record lock.
    const Run exported = tool(secondAccount, { u"export-prices"_s, data, prices });
    QVERIFY2(exported.code == 0, qPrintable(exported.output));
    QFile file(prices);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QList<QByteArray> last = file.readAll().trimmed().split('\n').last().split(',');
    last[1] = "SHARED"; // a new entry like the last one
    QVERIFY(file.write(last.join(',') + "\r\n") > 0);
    file.close();
    const Run imported = tool(secondAccount, { u"import-prices"_s, data, prices });
    QVERIFY2(imported.code == 0, qPrintable(imported.output));
    const Run edited = peer(secondAccount, office, u"edit-quote"_s);
    QVERIFY2(edited.code == 0, qPrintable(edited.output));
    const Run checked = tool(firstAccount, { u"check"_s, data });
    QVERIFY2(checked.code == 0, qPrintable(checked.output));
}

QTEST_GUILESS_MAIN(TestShared)
#include "tst_shared.moc"

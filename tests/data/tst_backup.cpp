// The data tool's backup and restore: a consistent copy of one commit while another copy writes,
// a new data directory made from it, and refusals that leave everything as it was.
#include "DataCommand.h"
#include "DataTool.h"
#include "FileStatement.h"
#include "ToolRun.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace Qt::Literals::StringLiterals;

namespace {

int clients(const QString &directory)
{
    return runOnTable(directory, u"Clients.DB"_s, u"SELECT COUNT(*) FROM data"_s).toInt();
}

// Every file name and content under path, to prove a refused command changed nothing.
QMap<QString, QByteArray> snapshot(const QString &path)
{
    QMap<QString, QByteArray> files;
    const QDir dir(path);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            files.insert(name, file.readAll());
    }
    return files;
}

} // namespace

class TestBackup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void backupWhileAnotherCopyWrites();
    void restoreMakesAWorkingDirectory();
    void backupRefused_data();
    void backupRefused();
    void restoreRefused_data();
    void restoreRefused();

private:
    QTemporaryDir m_root;
    QString m_demo;
};

void TestBackup::initTestCase()
{
    QVERIFY(m_root.isValid());
    m_demo = m_root.filePath(u"DATA"_s);
    const ToolRun demo = runTool({ u"demo"_s, m_demo });
    QVERIFY2(demo.code == ExitOk, qPrintable(demo.err));
}

// The other copy's transaction is open while the copy is made: the copy holds the last commit,
// whole, and the next copy holds the other copy's commit.
void TestBackup::backupWhileAnotherCopyWrites()
{
    const int before = clients(m_demo);
    QTemporaryDir out;
    const QString name = u"other-copy"_s;
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        other.setDatabaseName(QDir(m_demo).filePath(u"Tessorin.db"_s));
        QVERIFY(other.open());
        QSqlQuery query(other);
        QVERIFY(query.exec(u"BEGIN IMMEDIATE"_s));
        QVERIFY(query.exec(u"UPDATE \"PKey.DB\" SET CurrentKey = CurrentKey + 1"_s));
        QVERIFY(query.exec(u"INSERT INTO \"Clients.DB\" (Client_ID, Contact) "
                           "SELECT CurrentKey, 'Pending' FROM \"PKey.DB\""_s));
        const ToolRun during = runTool({ u"backup"_s, m_demo, out.filePath(u"during.db"_s) });
        QVERIFY2(during.code == ExitOk, qPrintable(during.err));
        QVERIFY(query.exec(u"COMMIT"_s));
        query.finish();
        other.close();
    }
    QSqlDatabase::removeDatabase(name);
    const ToolRun after = runTool({ u"backup"_s, m_demo, out.filePath(u"after.db"_s) });
    QVERIFY2(after.code == ExitOk, qPrintable(after.err));

    for (const auto &[file, expected] :
        { std::pair { u"during.db"_s, before }, std::pair { u"after.db"_s, before + 1 } }) {
        const QString restored = out.filePath(file + u".DATA"_s);
        const ToolRun restore = runTool({ u"restore"_s, out.filePath(file), restored });
        QVERIFY2(restore.code == ExitOk, qPrintable(restore.err));
        QCOMPARE(clients(restored), expected);
        const ToolRun check = runTool({ u"check"_s, restored });
        QVERIFY2(check.code == ExitOk, qPrintable(check.out + check.err));
    }
    runOnTable(m_demo, u"Clients.DB"_s, u"DELETE FROM data WHERE Contact = 'Pending'"_s);
}

void TestBackup::restoreMakesAWorkingDirectory()
{
    QTemporaryDir out;
    const QString copy = out.filePath(u"copy.db"_s);
    QCOMPARE(runTool({ u"backup"_s, m_demo, copy }).code, int(ExitOk));
    const QString target = out.filePath(u"new/place/DATA"_s);
    const ToolRun restore = runTool({ u"restore"_s, copy, target });
    QVERIFY2(restore.code == ExitOk, qPrintable(restore.err));
    QCOMPARE(QDir(target).entryList(QDir::Files), QStringList { u"Tessorin.db"_s });
    const ToolRun original = runTool({ u"check"_s, m_demo });
    const ToolRun restored = runTool({ u"check"_s, target });
    QVERIFY2(restored.code == ExitOk, qPrintable(restored.out + restored.err));
    QCOMPARE(restored.out, original.out); // the same counts of everything
}

void TestBackup::backupRefused_data()
{
    QTest::addColumn<QString>("source"); // DEMO: the demo directory; EMPTY: an empty one
    QTest::addColumn<bool>("targetExists");
    QTest::addColumn<QString>("message");
    QTest::newRow("target exists") << u"DEMO"_s << true << u"Refusing to overwrite"_s;
    QTest::newRow("not a data directory") << u"EMPTY"_s << false << u"does not exist"_s;
    QTest::newRow("no directory") << u"MISSING"_s << false << u"does not exist"_s;
}

void TestBackup::backupRefused()
{
    QFETCH(QString, source);
    QFETCH(bool, targetExists);
    QFETCH(QString, message);
    QTemporaryDir out;
    QDir(out.path()).mkdir(u"EMPTY"_s);
    const QString from = source == u"DEMO"_s ? m_demo : out.filePath(source);
    const QString target = out.filePath(u"copy.db"_s);
    if (targetExists) {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("someone's file");
    }
    const auto before = snapshot(out.path());
    const ToolRun run = runTool({ u"backup"_s, from, target });
    QCOMPARE(run.code, int(ExitFailure));
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QCOMPARE(snapshot(out.path()), before);
}

void TestBackup::restoreRefused_data()
{
    QTest::addColumn<QString>("content"); // what the file to restore holds
    QTest::addColumn<QString>("target"); // NEW: a directory to be made; DEMO: the demo directory
    QTest::addColumn<QString>("message");
    QTest::newRow("missing file") << u"MISSING"_s << u"NEW"_s << u"is not a file"_s;
    QTest::newRow("garbage") << u"GARBAGE"_s << u"NEW"_s << u"not a database of this program"_s;
    QTest::newRow("empty file") << u"EMPTY"_s << u"NEW"_s << u"is empty"_s;
    QTest::newRow("another program's database")
        << u"FOREIGN"_s << u"NEW"_s << u"not a database of this program"_s;
    QTest::newRow("over a data directory") << u"COPY"_s << u"DEMO"_s << u"already holds"_s;
}

void TestBackup::restoreRefused()
{
    QFETCH(QString, content);
    QFETCH(QString, target);
    QFETCH(QString, message);
    QTemporaryDir out;
    const QString file = out.filePath(u"copy.db"_s);
    if (content == u"COPY"_s) {
        QCOMPARE(runTool({ u"backup"_s, m_demo, file }).code, int(ExitOk));
    } else if (content == u"FOREIGN"_s) {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"foreign"_s);
            db.setDatabaseName(file);
            QVERIFY(db.open());
            QSqlQuery(db).exec(u"CREATE TABLE notes (text TEXT)"_s);
            db.close();
        }
        QSqlDatabase::removeDatabase(u"foreign"_s);
    } else if (content != u"MISSING"_s) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        if (content == u"GARBAGE"_s)
            f.write(QByteArray(8192, 'x'));
    }
    const QString directory = target == u"DEMO"_s ? m_demo : out.filePath(u"NEW/DATA"_s);
    const auto demoBefore = snapshot(m_demo);
    const ToolRun run = runTool({ u"restore"_s, file, directory });
    QCOMPARE(run.code, int(ExitFailure));
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QCOMPARE(snapshot(m_demo), demoBefore);
    if (target == u"NEW"_s)
        QVERIFY(!QFileInfo::exists(directory));
}

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"

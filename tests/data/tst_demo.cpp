// The data tool's demo and check commands: the demo business is consistent and complete, and the
// check finds each kind of damage a data directory can suffer.
#include "DataTool.h"
#include "FileStatement.h"
#include "ToolRun.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace {

// Runs one statement on a table (given as "<dir>/<table>"; the table is called data in the
// statement) and returns the first column of every row.
QVariantList sql(const QString &file, const QString &statement)
{
    const QString name = QUuid::createUuid().toString();
    QVariantList values;
    const QFileInfo table(file);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, name);
        db.setDatabaseName(QDir(table.path()).filePath(u"Tessorin.db"_s));
        if (db.open()) {
            QSqlQuery query(db);
            if (!query.exec(onTable(table.fileName(), statement)))
                qWarning("%s", qPrintable(statement));
            while (query.next())
                values << query.value(0);
            query.finish();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return values;
}

} // namespace

class TestDemo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void demoIsConsistent();
    void demoHoldsABusiness();
    void demoRefusesFilledDirectory();
    void checkFindsDamage_data();
    void checkFindsDamage();

private:
    QString file(const QString &name) const { return QDir(m_demo).filePath(name); }

    QTemporaryDir m_root;
    QString m_demo;
};

void TestDemo::initTestCase()
{
    QVERIFY(m_root.isValid());
    m_demo = m_root.filePath(u"made/DATA"_s); // the tool makes the missing directories
    const ToolRun demo = runTool({ u"demo"_s, m_demo });
    QVERIFY2(demo.code == 0, qPrintable(demo.err));
}

void TestDemo::demoIsConsistent()
{
    const ToolRun check = runTool({ u"check"_s, m_demo });
    QVERIFY2(check.code == 0, qPrintable(check.out + check.err));
    QVERIFY2(check.out.startsWith(u"Consistent: "_s), qPrintable(check.out));
}

void TestDemo::demoHoldsABusiness()
{
    for (const QString &header : { u"Quotes.DB"_s, u"Jobs.DB"_s }) {
        QCOMPARE(
            sql(file(header),
                u"SELECT group_concat(Status, '') FROM (SELECT DISTINCT Status FROM data ORDER BY 1)"_s)
                .value(0)
                .toString(),
            u"CHIP"_s);
        QCOMPARE(sql(file(header),
                     u"SELECT COUNT(DISTINCT Priority) FROM data WHERE Priority BETWEEN 1 AND 9"_s)
                     .value(0)
                     .toInt(),
            9);
    }
    QCOMPARE(sql(file(u"Clients.DB"_s), u"SELECT COUNT(*) FROM data"_s).value(0).toInt(), 50);
    QVERIFY(sql(file(u"Material.DB"_s), u"SELECT COUNT(*) FROM data"_s).value(0).toInt() >= 30);
    QVERIFY(sql(file(u"Headings.db"_s), u"SELECT COUNT(*) FROM data"_s).value(0).toInt() >= 6);
    QCOMPARE(sql(file(u"Business.db"_s), u"SELECT COUNT(*) FROM data WHERE Company_Name <> ''"_s)
                 .value(0)
                 .toInt(),
        1);
    QCOMPARE(sql(file(u"INI"_s),
                 u"SELECT Val FROM data WHERE Sect = 'Startup' AND Parameter = 'StartWiz'"_s)
                 .value(0)
                 .toString(),
        u"True"_s);
    QCOMPARE(sql(file(u"NxtQuote.db"_s), u"SELECT Prefix FROM data"_s).value(0).toString(), u"Q"_s);
    QCOMPARE(sql(file(u"NxtJob.db"_s), u"SELECT Prefix FROM data"_s).value(0).toString(), u"J"_s);
    // Jobs won from quotes carry their lines: some job lines repeat a quote line's charge and code.
    const QVariantList jobDescriptions =
        sql(file(u"Jobs.DB"_s), u"SELECT JobDescription FROM data"_s);
    QVERIFY(sql(file(u"RepJobs.DB"_s), u"SELECT COUNT(*) FROM data"_s).value(0).toInt() > 20);
    QVERIFY(sql(file(u"Quotes.DB"_s), u"SELECT COUNT(*) FROM data WHERE Discount > 0"_s)
                .value(0)
                .toInt()
        > 0);
    QVERIFY(sql(file(u"Quotes.DB"_s), u"SELECT COUNT(*) FROM data WHERE TotalSalesTax > 0"_s)
                .value(0)
                .toInt()
        > 0);
    QVERIFY(!jobDescriptions.isEmpty());
}

void TestDemo::demoRefusesFilledDirectory()
{
    const QVariant keys = sql(file(u"PKey.DB"_s), u"SELECT CurrentKey FROM data"_s).value(0);
    const ToolRun again = runTool({ u"demo"_s, m_demo });
    QCOMPARE(again.code, 1);
    QVERIFY2(again.err.contains(u"already holds"_s), qPrintable(again.err));
    QCOMPARE(sql(file(u"PKey.DB"_s), u"SELECT CurrentKey FROM data"_s).value(0), keys);
}

void TestDemo::checkFindsDamage_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("damage");
    QTest::addColumn<QString>("expected"); // part of the problem line
    QTest::newRow("a header sum out of step")
        << u"Quotes.DB"_s
        << u"UPDATE data SET TotalMaterials = TotalMaterials + 0.01 WHERE rowid = 3"_s
        << u"TotalMaterials is"_s;
    QTest::newRow("a grand sum out of step")
        << u"Jobs.DB"_s << u"UPDATE data SET JobTotal = JobTotal - 1 WHERE rowid = 2"_s
        << u"JobTotal is"_s;
    QTest::newRow("an orphaned printed row")
        << u"RepQte.DB"_s << u"INSERT INTO data (ID, Number, Rep_ID) VALUES (1, 'Q1001', 999999)"_s
        << u"belongs to no line"_s;
    QTest::newRow("a line without its printed row")
        << u"RepJobs.DB"_s << u"DELETE FROM data WHERE rowid = (SELECT MIN(rowid) FROM data)"_s
        << u"has 0 printed rows"_s;
    QTest::newRow("a printed row with another number")
        << u"RepQte.DB"_s << u"UPDATE data SET Number = 'Q9' WHERE rowid = 1"_s
        << u"carries the number \"Q9\""_s;
    QTest::newRow("a key used twice")
        << u"Clients.DB"_s << u"UPDATE data SET Client_ID = 1 WHERE rowid = 5"_s
        << u"Key 1 is used twice"_s;
    QTest::newRow("a key above the counter")
        << u"PKey.DB"_s << u"UPDATE data SET CurrentKey = CurrentKey - 1"_s
        << u"above the key counter"_s;
    QTest::newRow("a number counter behind") << u"NxtJob.db"_s << u"UPDATE data SET NextJob = 510"_s
                                             << u"not ahead of the stored job J510"_s;
    QTest::newRow("an undo row left over")
        << u"global.db"_s
        << u"INSERT INTO data VALUES ('Q1001', 12.5, 'Record to Cancel Quote', NULL)"_s
        << u"undo row is left over for \"Q1001\""_s;
}

void TestDemo::checkFindsDamage()
{
    QFETCH(QString, file);
    QFETCH(QString, damage);
    QFETCH(QString, expected);
    QTemporaryDir copy;
    for (const QString &name : QDir(m_demo).entryList(QDir::Files))
        QVERIFY(QFile::copy(QDir(m_demo).filePath(name), copy.filePath(name)));
    sql(copy.filePath(file), damage);
    const ToolRun check = runTool({ u"check"_s, copy.path() });
    QCOMPARE(check.code, 1);
    QVERIFY2(check.out.contains(expected), qPrintable(check.out));
}

QTEST_GUILESS_MAIN(TestDemo)
#include "tst_demo.moc"

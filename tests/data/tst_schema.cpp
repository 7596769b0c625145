#include "CreateCommand.h"
#include "DataCommand.h"
#include "DataTool.h"
#include "ExpectedLayout.h"
#include "TempDataDir.h"
#include "data/TableSchema.h"
#include "engine/TableFile.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QTextStream>
#include <QUuid>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// A raw connection to one table file, for reading it behind the engine's back.
class RawFile
{
public:
    explicit RawFile(const QString &path)
        : m_name(QUuid::createUuid().toString())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
        db.setDatabaseName(path);
        db.open();
    }
    ~RawFile()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    const QString &name() const { return m_name; }

    // Every row of a statement, each row's values joined by "|".
    QStringList rows(const QString &sql) const
    {
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        if (!query.exec(sql))
            return { u"error: "_s + query.lastError().text() };
        QStringList result;
        while (query.next()) {
            QStringList values;
            for (int i = 0; i < query.record().count(); ++i)
                values << query.value(i).toString();
            result << values.join(u'|');
        }
        return result;
    }

    bool exec(const QString &sql) const
    {
        QSqlQuery query(QSqlDatabase::database(m_name, false));
        return query.exec(sql);
    }

private:
    QString m_name;
};

// File names and contents of a directory, to prove a refused command changed nothing.
QMap<QString, QByteArray> snapshot(const QString &path)
{
    QMap<QString, QByteArray> files;
    const QDir dir(path);
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden)) {
        QFile file(dir.filePath(name));
        file.open(QIODevice::ReadOnly);
        files.insert(name, file.readAll());
    }
    return files;
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

} // namespace

// Checks the data directory that the data tool creates, file by file and field by field.
class TestSchema : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void createsTheTableFilesAndNothingElse();
    void tableLayout_data();
    void tableLayout();
    void keyCounterRowIsInPlace();
    void writerGroups_data();
    void writerGroups();
    void createsDirectory_data();
    void createsDirectory();
    void refusesOccupiedDirectory_data();
    void refusesOccupiedDirectory();
    void damagedFileIsRefused_data();
    void damagedFileIsRefused();
    void commandLine_data();
    void commandLine();

private:
    std::unique_ptr<TempDataDir> m_temp;
    QString m_data; // created once; the tests here only read it
};

void TestSchema::initTestCase()
{
    m_temp = std::make_unique<TempDataDir>();
    QVERIFY(m_temp->isValid());
    m_data = m_temp->filePath(u"DATA"_s);
    try {
        createDataDirectory(m_data);
    } catch (const Exception &error) {
        QFAIL(qPrintable(error.message()));
    }
}

void TestSchema::createsTheTableFilesAndNothingElse()
{
    QStringList expected;
    for (const ExpectedTable &table : expectedLayout())
        expected << table.file;
    expected.sort();
    QCOMPARE(expected.size(), 22);
    QCOMPARE(
        QDir(m_data).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
        expected);
}

void TestSchema::tableLayout_data()
{
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QStringList>("primaryKey");
    QTest::addColumn<QStringList>("indexes");
    for (const ExpectedTable &table : expectedLayout()) {
        QStringList fields;
        for (const auto &[name, type] : table.fields)
            fields << name + u' ' + type;
        QStringList indexes;
        for (const auto &[name, columns] : table.indexes)
            indexes << name + u": "_s + columns.join(u", "_s);
        QTest::newRow(qPrintable(table.file)) << fields << table.primaryKey << indexes;
    }
}

void TestSchema::tableLayout()
{
    QFETCH(QStringList, fields);
    QFETCH(QStringList, primaryKey);
    QFETCH(QStringList, indexes);
    const QString file = QString::fromUtf8(QTest::currentDataTag());
    const RawFile raw(QDir(m_data).filePath(file));

    QStringList actualFields;
    QStringList actualKey;
    for (const QString &row : raw.rows(u"PRAGMA table_info(data)"_s)) {
        const QStringList column = row.split(u'|'); // cid, name, type, notnull, default, pk
        actualFields << column.value(1) + u' ' + column.value(2);
        if (column.value(5).toInt() > 0)
            actualKey.insert(column.value(5).toInt() - 1, column.value(1));
    }
    QCOMPARE(actualFields, fields);
    QCOMPARE(actualKey, primaryKey);

    // Extra indexes that only speed up lookups are allowed; the named ones must be exact.
    QStringList named;
    for (const QString &row : raw.rows(u"PRAGMA index_list(data)"_s))
        named << row.split(u'|').value(1);
    for (const QString &index : indexes) {
        const QString name = index.section(u": "_s, 0, 0);
        QVERIFY2(named.contains(name), qPrintable(u"missing index "_s + name));
        QStringList columns;
        for (const QString &row : raw.rows(u"PRAGMA index_info(\"%1\")"_s.arg(name)))
            columns << row.split(u'|').value(2); // seqno, cid, name
        QCOMPARE(name + u": "_s + columns.join(u", "_s), index);
    }

    const QStringList count = raw.rows(u"SELECT count(*) FROM data"_s);
    QCOMPARE(count, QStringList { file == u"PKey.DB" ? u"1"_s : u"0"_s });

    const TableDef *def = tessorinSchema().resolve(file);
    QVERIFY(def);
    QCOMPARE(def->fileName, file);
    try {
        TableFile::validate(raw.name(), u"main"_s, *def, QDir(m_data).filePath(file));
    } catch (const Exception &error) {
        QFAIL(qPrintable(error.message()));
    }
}

void TestSchema::keyCounterRowIsInPlace()
{
    const RawFile raw(QDir(m_data).filePath(u"PKey.DB"_s));
    QCOMPARE(raw.rows(u"SELECT PrimaryKey, CurrentKey, typeof(CurrentKey) FROM data"_s),
        QStringList { u"1|0|real"_s });
}

void TestSchema::writerGroups_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::newRow("quote") << QStringList { u"Quotes.DB"_s, u"QMat.DB"_s, u"QLab.db"_s,
        u"RepQte.DB"_s, u"NxtQuote.db"_s, u"PKey.DB"_s, u"global.db"_s };
    QTest::newRow("job") << QStringList { u"Jobs.DB"_s, u"JobMat.db"_s, u"JobLab.db"_s,
        u"RepJobs.DB"_s, u"NxtJob.db"_s, u"PKey.DB"_s, u"global.db"_s };
    QTest::newRow("reference") << QStringList { u"Clients.DB"_s, u"Material.DB"_s, u"Labour.db"_s,
        u"Headings.db"_s, u"Unit.db"_s, u"TaxRates.db"_s, u"Sales.db"_s, u"Business.db"_s,
        u"BusType.db"_s, u"PKey.DB"_s };
    QTest::newRow("settings") << QStringList { u"INI"_s };
}

void TestSchema::writerGroups()
{
    QFETCH(QStringList, files);
    const QString name = QString::fromUtf8(QTest::currentDataTag());
    const Schema &schema = tessorinSchema();
    const auto group = std::find_if(schema.groups.cbegin(), schema.groups.cend(),
        [&](const WriterGroup &g) { return g.name == name; });
    QVERIFY(group != schema.groups.cend());
    QStringList actual = group->fileNames;
    actual.sort();
    files.sort();
    QCOMPARE(actual, files);
    QVERIFY2(actual.size() <= 10, "one connection attaches at most ten files");
}

void TestSchema::createsDirectory_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QStringList>("present"); // files there before, which must survive
    QTest::newRow("missing, with missing parents") << u"a/b/DATA"_s << false << QStringList();
    QTest::newRow("existing and empty") << u"DATA"_s << true << QStringList();
    QTest::newRow("existing with unrelated files")
        << u"DATA"_s << true << QStringList { u"README.txt"_s, u"logo.png"_s, u"db.txt"_s };
}

void TestSchema::createsDirectory()
{
    QFETCH(QString, target);
    QFETCH(bool, exists);
    QFETCH(QStringList, present);
    TempDataDir temp;
    const QString path = temp.filePath(target);
    if (exists)
        QVERIFY(QDir().mkpath(path));
    for (const QString &name : present)
        writeFile(QDir(path).filePath(name), "kept " + name.toUtf8());
    try {
        createDataDirectory(path);
    } catch (const Exception &error) {
        QFAIL(qPrintable(error.message()));
    }
    const auto files = snapshot(path);
    QCOMPARE(files.size(), 22 + int(present.size()));
    QVERIFY(files.contains(u"PKey.DB"_s));
    for (const QString &name : present)
        QCOMPARE(files.value(name), "kept " + name.toUtf8());
}

void TestSchema::refusesOccupiedDirectory_data()
{
    QTest::addColumn<QString>("entry");
    QTest::newRow("a table file") << u"Quotes.DB"_s;
    QTest::newRow("the settings table") << u"INI"_s;
    QTest::newRow("a table file in other case") << u"pkey.db"_s;
    QTest::newRow("another database file") << u"Backup.DB"_s;
    QTest::newRow("a journal left by a crash") << u"QMat.DB-journal"_s;
}

void TestSchema::refusesOccupiedDirectory()
{
    QFETCH(QString, entry);
    TempDataDir temp;
    writeFile(temp.filePath(entry), "someone's data");
    writeFile(temp.filePath(u"notes.txt"_s), "other");
    const auto before = snapshot(temp.path());
    QVERIFY_THROWS_EXCEPTION(DataToolError, createDataDirectory(temp.path()));
    QCOMPARE(snapshot(temp.path()), before);
}

void TestSchema::damagedFileIsRefused_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("damage");
    QTest::newRow("renamed field")
        << u"Quotes.DB"_s
        << QStringList { u"ALTER TABLE data RENAME COLUMN Quote_No TO QuoteNumber"_s };
    QTest::newRow("dropped field")
        << u"Business.db"_s << QStringList { u"ALTER TABLE data DROP COLUMN JobFooter"_s };
    QTest::newRow("added field") << u"Unit.db"_s
                                 << QStringList {
                                        u"ALTER TABLE data ADD COLUMN Extra MEMO_TEXT"_s
                                    };
    QTest::newRow("dropped index") << u"Clients.DB"_s << QStringList { u"DROP INDEX FirstNane"_s };
    QTest::newRow("index over other fields")
        << u"Quotes.DB"_s
        << QStringList { u"DROP INDEX PriorQuoteNo"_s,
               u"CREATE INDEX PriorQuoteNo ON data (Quote_No, Priority)"_s };
    QTest::newRow("dropped settings index")
        << u"INI"_s << QStringList { u"DROP INDEX SectParameter"_s };
}

void TestSchema::damagedFileIsRefused()
{
    QFETCH(QString, file);
    QFETCH(QStringList, damage);
    TempDataDir temp;
    const QString path = temp.filePath(file);
    QVERIFY(QFile::copy(QDir(m_data).filePath(file), path));
    const RawFile raw(path);
    for (const QString &statement : damage)
        QVERIFY2(raw.exec(statement), qPrintable(statement));
    const TableDef *def = tessorinSchema().resolve(file);
    QVERIFY(def);
    try {
        TableFile::validate(raw.name(), u"main"_s, *def, path);
        QFAIL("a damaged file was accepted");
    } catch (const EDatabaseError &error) {
        QVERIFY2(error.message().contains(file), qPrintable(error.message()));
    }
}

void TestSchema::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments"); // "NEW" and "OCCUPIED" stand for directories
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    QTest::newRow("no command") << QStringList() << int(ExitUsage) << u"Usage:"_s;
    QTest::newRow("unknown command")
        << QStringList { u"erase"_s, u"NEW"_s } << int(ExitUsage) << u"unknown command"_s;
    QTest::newRow("create without a directory")
        << QStringList { u"create"_s } << int(ExitUsage) << u"Usage:"_s;
    QTest::newRow("create with two directories")
        << QStringList { u"create"_s, u"NEW"_s, u"NEW"_s } << int(ExitUsage) << u"Usage:"_s;
    QTest::newRow("create over existing data") << QStringList { u"create"_s,
        u"OCCUPIED"_s } << int(ExitFailure) << u"already holds table files"_s;
    QTest::newRow("create") << QStringList { u"create"_s, u"NEW"_s } << int(ExitOk) << QString();
}

void TestSchema::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    TempDataDir temp;
    arguments.replaceInStrings(u"NEW"_s, temp.filePath(u"NEW"_s));
    arguments.replaceInStrings(u"OCCUPIED"_s, m_data);
    const auto before = snapshot(m_data);
    QString outText;
    QString errText;
    QTextStream out(&outText);
    QTextStream err(&errText);
    QCOMPARE(runDataTool(arguments, out, err), exitCode);
    if (message.isEmpty())
        QCOMPARE(errText, QString());
    else
        QVERIFY2(errText.contains(message), qPrintable(errText));
    QCOMPARE(QFileInfo::exists(temp.filePath(u"NEW/PKey.DB"_s)), exitCode == ExitOk);
    QCOMPARE(snapshot(m_data), before);
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"

#include "DataTool.h"
#include "RecordValues.h"
#include "ReferenceFixture.h"
#include "ReferenceTests.h"
#include "data/CsvTable.h"
#include "data/PriceListExchange.h"
#include "engine/Exception.h"
#include "engine/Field.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

const QByteArray header = "Type,Code,Description,Cost Price,Selling Price,Markup,Tax,Tax Rate,"
                          "Hourly Rate,Unit,Heading\r\n";

// Text as UTF-16 after its byte-order mark; a lone surrogate stays as it is.
QByteArray utf16(const QString &text, bool bigEndian = false)
{
    QByteArray bytes = bigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8);
        const char low = char(c.unicode() & 0xFF);
        bytes.append(bigEndian ? high : low).append(bigEndian ? low : high);
    }
    return bytes;
}

int count(TQVTable *view)
{
    return view->recordCount();
}

} // namespace

// Price lists exchanged as CSV files: the reading of the format, the refusal of bad rows with
// their lines, the plan of what an import adds and changes, the import as one operation, the
// round trip through a file, and the data tool's verbs.
class TestPriceListExchange : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void csvRead_data();
    void csvRead();
    void csvWriteQuotesWhatItMust();
    void refusedRows_data();
    void refusedRows();
    void readsWhatSpreadsheetsWrite_data();
    void readsWhatSpreadsheetsWrite();
    void oversizedOrMissingFileIsNotRead_data();
    void oversizedOrMissingFileIsNotRead();
    void formulaTextIsWrittenAsTextAndReadBack_data();
    void formulaTextIsWrittenAsTextAndReadBack();
    void planAddsChangesAndKeeps();
    void importStoresEverything();
    void roundTripGivesTheSameList();
    void failedImportLeavesNothing();
    void importTakesItsKeysInOneBlock_data();
    void importTakesItsKeysInOneBlock();
    void importWhileEditingIsRefused();
    void toolVerbs();

private:
    std::unique_ptr<ReferenceFixture> m_f;
};

void TestPriceListExchange::init()
{
    m_f = std::make_unique<ReferenceFixture>();
}

void TestPriceListExchange::cleanup()
{
    m_f.reset();
}

void TestPriceListExchange::csvRead_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QList<QStringList>>("records");
    QTest::addColumn<QList<int>>("lines");
    QTest::addColumn<QStringList>("errors");
    QTest::newRow("plain, CR LF") << QByteArray("a,b\r\nc,d\r\n")
                                  << QList<QStringList> { { u"a"_s, u"b"_s }, { u"c"_s, u"d"_s } }
                                  << QList<int> { 1, 2 } << QStringList { {}, {} };
    QTest::newRow("LF alone, no final end, blank line skipped")
        << QByteArray("a,b\n\nc,d") << QList<QStringList> { { u"a"_s, u"b"_s }, { u"c"_s, u"d"_s } }
        << QList<int> { 1, 3 } << QStringList { {}, {} };
    QTest::newRow("quoted comma, quote and line break")
        << QByteArray("\"x,y\",\"say \"\"hi\"\"\",\"two\r\nlines\"\r\nnext,1\r\n")
        << QList<QStringList> { { u"x,y"_s, u"say \"hi\""_s, u"two\r\nlines"_s },
               { u"next"_s, u"1"_s } }
        << QList<int> { 1, 3 } << QStringList { {}, {} };
    QTest::newRow("byte-order mark and UTF-8")
        << QByteArray("\xEF\xBB\xBFK\xC3\xBChl,\xE2\x82\xAC")
        << QList<QStringList> { { u"Kühl"_s, u"€"_s } } << QList<int> { 1 } << QStringList { {} };
    QTest::newRow("empty fields") << QByteArray(",,\r\n")
                                  << QList<QStringList> { { {}, {}, {} } } << QList<int> { 1 }
                                  << QStringList { {} };
    QTest::newRow("stray quote, reading goes on")
        << QByteArray("ab\"c,d\r\ne,f\r\n")
        << QList<QStringList> { { u"abc"_s, u"d"_s }, { u"e"_s, u"f"_s } } << QList<int> { 1, 2 }
        << QStringList { u"a quote inside a field that does not start with one"_s, {} };
    QTest::newRow("text after closing quote")
        << QByteArray("\"ab\"c,d\r\n") << QList<QStringList> { { u"abc"_s, u"d"_s } }
        << QList<int> { 1 } << QStringList { u"text follows a closing quote"_s };
    QTest::newRow("unclosed quote") << QByteArray("a,\"bc\r\nd\r\n")
                                    << QList<QStringList> { { u"a"_s, u"bc\r\nd\r\n"_s } }
                                    << QList<int> { 1 }
                                    << QStringList { u"a quoted field is not closed"_s };
}

void TestPriceListExchange::csvRead()
{
    QFETCH(QByteArray, text);
    QFETCH(QList<QStringList>, records);
    QFETCH(QList<int>, lines);
    QFETCH(QStringList, errors);
    const QList<CsvTable::Record> read = CsvTable::read(text);
    QCOMPARE(read.size(), records.size());
    for (int i = 0; i < read.size(); ++i) {
        QCOMPARE(read.at(i).fields, records.at(i));
        QCOMPARE(read.at(i).line, lines.at(i));
        QCOMPARE(read.at(i).error, errors.at(i));
    }
}

void TestPriceListExchange::csvWriteQuotesWhatItMust()
{
    const QStringList fields { u"plain"_s, u"a,b"_s, u"say \"hi\""_s, u"two\nlines"_s, {} };
    const QString written = CsvTable::record(fields);
    QCOMPARE(written, u"plain,\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\",\r\n"_s);
    QCOMPARE(CsvTable::read(written.toUtf8()).first().fields, fields);
}

void TestPriceListExchange::refusedRows_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");
    const auto row = [](const char *name, const QByteArray &body, int line, const QString &reason) {
        QTest::newRow(name) << header + "Material,OK1,Fine,1,2,,,,,each,Plumbing\r\n" + body << line
                            << reason;
    };
    row("unknown type", "Service,S1,Thing,1,2,,,,,,Plumbing\r\n", 3,
        u"the type \"Service\" is neither Material nor Labour"_s);
    row("empty code", "Material,,Thing,1,2,,,,,,Plumbing\r\n", 3, u"the material code is empty"_s);
    row("code too long", "Labour,ABCDEFGHIJK,Thing,,,,,,40,,Plumbing\r\n", 3,
        u"the code \"ABCDEFGHIJK\" is longer than 10 characters"_s);
    row("no heading", "Material,M2,Thing,1,2,,,,,,\r\n", 3,
        u"the heading is empty: every material and labour rate needs a group heading"_s);
    row("bad number", "Material,M2,Thing,1.2.3,2,,,,,,Plumbing\r\n", 3,
        u"\"1.2.3\" is not a valid number for Cost Price"_s);
    row("not a finite number", "Material,M2,Thing,inf,2,,,,,,Plumbing\r\n", 3,
        u"\"inf\" is not a valid number for Cost Price"_s);
    row("hourly rate on a material", "Material,M2,Thing,1,2,,,,40,,Plumbing\r\n", 3,
        u"Hourly Rate is for labour rates, not materials"_s);
    row("price on a labour rate", "Labour,L2,Thing,,5,,,,40,,Plumbing\r\n", 3,
        u"Selling Price is for materials, not labour rates"_s);
    row("too few fields", "Material,M2,Thing\r\n", 3, u"the row has 3 fields, the header has 11"_s);
    row("same code twice", "Material,OK1,Again,1,2,,,,,,Plumbing\r\n", 3,
        u"the code \"OK1\" is already on line 2"_s);
    row("line counts a quoted line break", "Material,\"M\r\n2\",Thing,1,2,,,,,,\r\nx\r\n", 5,
        u"the row has 1 fields, the header has 11"_s);
    row("description too long",
        "Material,M2," + QByteArray(61, 'd') + ",1,2,,,,,,Plumbing\r\n", 3,
        u"the description is longer than 60 characters"_s);
    row("negative cost price", "Material,M2,Thing,-5,2,,,,,,Plumbing\r\n", 3,
        u"Cost Price -5 is negative"_s);
    row("negative markup", "Material,M2,Thing,1,2,-10,,,,,Plumbing\r\n", 3,
        u"Markup -10 is negative"_s);
    row("negative tax rate", "Material,M2,Thing,1,2,,,-0.5,,,Plumbing\r\n", 3,
        u"Tax Rate -0.5 is negative"_s);
    row("negative hourly rate", "Labour,L2,Thing,,,,,,-40,,Plumbing\r\n", 3,
        u"Hourly Rate -40 is negative"_s);
    row("absurd selling price", "Material,M2,Thing,1,1e12,,,,,,Plumbing\r\n", 3,
        u"Selling Price 1e+12 is more than 1000000000"_s);
    row("absurd markup", "Material,M2,Thing,1,2,50000,,,,,Plumbing\r\n", 3,
        u"Markup 50000 is more than 10000"_s);
    row("tax rate over a hundred", "Material,M2,Thing,1,2,,,150,,,Plumbing\r\n", 3,
        u"Tax Rate 150 is more than 100"_s);
    row("same code in another letter case", "Material,ok1,Again,1,2,,,,,,Plumbing\r\n", 3,
        u"the code \"ok1\" is already on line 2"_s);
    row("replacement character", "Material,M2,Caf\xEF\xBF\xBD,1,2,,,,,,Plumbing\r\n", 3,
        u"the row holds the character \uFFFD, which stands for text lost before the file was "
         "written; correct the text and import it again"_s);
    QTest::newRow("broken UTF-16")
        << utf16(QString::fromUtf8(header) + u"Material,OK1,Fine,1,2,,,,,,Plumbing\r\nMaterial,M2,"_s
               + QChar(0xDC00) + u",1,2,,,,,,Plumbing\r\n"_s)
        << 3
        << u"the row holds the character \uFFFD, which stands for text lost before the file was "
           "written; correct the text and import it again"_s;
    QTest::newRow("unknown column") << QByteArray("Type,Code,Description,Heading,Colour\r\n") << 1
                                    << u"the header names an unknown column \"Colour\"; the columns "
                                       "are Type, Code, Description, Cost Price, Selling Price, "
                                       "Markup, Tax, Tax Rate, Hourly Rate, Unit, Heading"_s;
    QTest::newRow("missing heading column")
        << QByteArray("Type,Code,Description\r\n") << 1
        << u"the header lacks the column \"Heading\""_s;
    QTest::newRow("empty file") << QByteArray() << 1
                                << u"the file is empty; it needs a header row"_s;
}

void TestPriceListExchange::refusedRows()
{
    QFETCH(QByteArray, file);
    QFETCH(int, line);
    QFETCH(QString, reason);
    m_f->addHeading(u"Plumbing"_s);
    const PriceListPlan plan = m_f->dm->planPriceListImport(file);
    QVERIFY(!plan.acceptable());
    QVERIFY2(!plan.refusals.isEmpty(), qPrintable(plan.summary()));
    QCOMPARE(plan.refusals.last().line, line);
    QCOMPARE(plan.refusals.last().reason, reason);
    QVERIFY(plan.refusalText().contains(u"Line %1: "_s.arg(line) + reason));
    // A file with a refused row is never imported, not even its good rows.
    QVERIFY_THROWS_EXCEPTION(Exception, m_f->dm->importPriceList(plan));
    QCOMPARE(count(m_f->dm->tblMaterial), 0);
    QCOMPARE(count(m_f->dm->tblHeadings), 1);
}

void TestPriceListExchange::readsWhatSpreadsheetsWrite_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("descriptions");
    QTest::addColumn<bool>("readAsWindows1252");
    const QString accents = u"Material,M1,K\u00fchl \u20ac,1,2,,,,,,Plumbing\r\n"_s;
    const QByteArray utf8 = header + accents.toUtf8();
    QTest::newRow("UTF-8") << utf8 << QStringList { u"Kühl €"_s } << false;
    QTest::newRow("UTF-8 after a mark") << "\xEF\xBB\xBF" + utf8 << QStringList { u"Kühl €"_s } << false;
    QTest::newRow("UTF-16 little-endian")
        << utf16(QString::fromUtf8(header) + accents) << QStringList { u"Kühl €"_s } << false;
    QTest::newRow("UTF-16 big-endian")
        << utf16(QString::fromUtf8(header) + accents, true) << QStringList { u"Kühl €"_s }
        << false;
    QTest::newRow("Windows-1252")
        << header + "Material,M1,Caf\xE9 \x80 \x93q\x94 \x81,1,2,,,,,,Plumbing\r\n"
        << QStringList { u"Café € \u201cq\u201d \u0081"_s } << true;
    QTest::newRow("rows of empty cells before, among and after rows")
        << ",,,,\r\n" + header + "Material,M1,One,1,2,,,,,,Plumbing\r\n,,,,,,,,,,\r\n"
           "Material,M2,Two,1,2,,,,,,Plumbing\r\n,,,,,,,,,,\r\n , ,\"\",\r\n"
        << QStringList { u"One"_s, u"Two"_s } << false;
}

void TestPriceListExchange::readsWhatSpreadsheetsWrite()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, descriptions);
    QFETCH(bool, readAsWindows1252);
    m_f->addHeading(u"Plumbing"_s);
    const PriceListPlan plan = m_f->dm->planPriceListImport(file);
    QVERIFY2(plan.acceptable(), qPrintable(plan.refusalText()));
    QCOMPARE(plan.encodingNote.isEmpty(), !readAsWindows1252);
    m_f->dm->importPriceList(plan);
    TQVTable *m = m_f->dm->tblMaterial;
    QStringList stored;
    for (m->first(); !m->eof(); m->next())
        stored << text(m, u"Description");
    QCOMPARE(stored, descriptions);
}

void TestPriceListExchange::oversizedOrMissingFileIsNotRead_data()
{
    QTest::addColumn<qint64>("size"); // -1: no file
    QTest::addColumn<QString>("message");
    QTest::newRow("a byte over the limit")
        << PriceListExchange::maxFileBytes + 1
        << u"is larger than 10 MB, the most a price-list file may be; it was not read"_s;
    QTest::newRow("at the limit") << PriceListExchange::maxFileBytes << QString();
    QTest::newRow("no file") << qint64(-1) << u"Cannot read"_s;
}

void TestPriceListExchange::oversizedOrMissingFileIsNotRead()
{
    QFETCH(qint64, size);
    QFETCH(QString, message);
    QTemporaryDir files;
    const QString path = files.filePath(u"prices.csv"_s);
    if (size >= 0) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(size)); // sparse: no disk used
    }
    QString refusal;
    try {
        QCOMPARE(PriceListExchange::readFile(path).size(), size);
    } catch (const Exception &error) {
        refusal = error.message();
    }
    QVERIFY2(message.isEmpty() ? refusal.isEmpty() : refusal.contains(message), qPrintable(refusal));
}

void TestPriceListExchange::formulaTextIsWrittenAsTextAndReadBack_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("cell");
    QTest::newRow("equals") << u"=1+1"_s << QByteArray("'=1+1");
    QTest::newRow("plus") << u"+61"_s << QByteArray("'+61");
    QTest::newRow("minus") << u"-2"_s << QByteArray("'-2");
    QTest::newRow("at") << u"@SUM"_s << QByteArray("'@SUM");
    QTest::newRow("apostrophes before equals") << u"''=A1"_s << QByteArray("'''=A1");
    QTest::newRow("apostrophe before text") << u"'ab"_s << QByteArray("'ab");
    QTest::newRow("equals inside") << u"a=b"_s << QByteArray("a=b");
}

void TestPriceListExchange::formulaTextIsWrittenAsTextAndReadBack()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, cell);
    m_f->addMaterial(text, text, 1, 2, m_f->addHeading(text));
    const QByteArray exported = m_f->dm->exportPriceList();
    QVERIFY(exported.startsWith("\xEF\xBB\xBF" + header)); // spreadsheets then read accents
    QVERIFY2(exported.contains("\r\nMaterial," + cell + ',' + cell + ",1,2,,,,,," + cell + "\r\n"),
        exported.constData());

    ReferenceFixture other;
    const PriceListPlan plan = other.dm->planPriceListImport(exported);
    QVERIFY2(plan.acceptable(), qPrintable(plan.refusalText()));
    other.dm->importPriceList(plan);
    QVERIFY(other.dm->tblMaterial->findKey({ text }));
    QCOMPARE(other.dm->exportPriceList(), exported);
}

void TestPriceListExchange::planAddsChangesAndKeeps()
{
    const double plumbing = m_f->addHeading(u"Plumbing"_s);
    const double each = m_f->addUnit(u"each"_s);
    m_f->addMaterial(u"PIPE"_s, u"Copper pipe"_s, 9.4, 13.5, plumbing, each);
    m_f->addMaterial(u"TAP"_s, u"Mixer tap"_s, 64, 90, plumbing, each);
    m_f->addLabour(u"PLUMB"_s, u"Plumber"_s, 92, plumbing);
    const QByteArray file = header
        + "Material,PIPE,Copper pipe,9.4,13.5,,,,,each,Plumbing\r\n"
          "Material,TAP,Mixer tap,64,95.5,,,,,each,plumbing\r\n"
          "Material,VALVE,Valve,12.5,20,,,,,box,Fittings\r\n"
          "Labour,PLUMB,Plumber,,,,,,96,,Plumbing\r\n";
    const PriceListPlan plan = m_f->dm->planPriceListImport(file);
    QVERIFY2(plan.acceptable(), qPrintable(plan.refusalText()));
    QCOMPARE(plan.rows.size(), 4);
    QCOMPARE(plan.rows.at(0).action, PriceListPlan::Action::Same);
    QCOMPARE(plan.rows.at(1).action, PriceListPlan::Action::Change);
    QCOMPARE(plan.rows.at(1).changes, QStringList { u"Selling Price 90 -> 95.5"_s });
    QCOMPARE(plan.rows.at(2).action, PriceListPlan::Action::Add);
    QCOMPARE(plan.rows.at(3).changes, QStringList { u"Hourly Rate 92 -> 96"_s });
    QCOMPARE(plan.newHeadings, QStringList { u"Fittings"_s });
    QCOMPARE(plan.newUnits, QStringList { u"box"_s });
    QCOMPARE(plan.summary(), u"1 to add, 2 to change, 1 unchanged; 1 new headings, 1 new units"_s);
    // Planning stores nothing.
    QCOMPARE(count(m_f->dm->tblMaterial), 2);
    QCOMPARE(count(m_f->dm->tblHeadings), 1);
}

void TestPriceListExchange::importStoresEverything()
{
    const double plumbing = m_f->addHeading(u"Plumbing"_s);
    m_f->addMaterial(u"TAP"_s, u"Mixer tap"_s, 64, 90, plumbing);
    TQVTable *m = m_f->dm->tblMaterial;
    const QByteArray file = header
        + "Material,tap,Mixer tap,64,95.5,40,1,10,,,Plumbing\r\n"
          "Material,VALVE,\"Valve, brass\",12.5,20,,,,,box,Fittings\r\n"
          "Labour,PLUMB,Plumber,,,,,,96,hour,Plumbing\r\n";
    const PriceListPlan plan = m_f->dm->planPriceListImport(file);
    m_f->dm->importPriceList(plan);
    QCOMPARE(count(m), 2);
    QVERIFY(m->findKey({ u"TAP"_s }));
    QCOMPARE(number(m, u"SellingPrice"), 95.5);
    QCOMPARE(number(m, u"Markup"), 40.0);
    // A price change records no history.
    QVERIFY(isBlank(m, u"PreviousPrice"));
    QVERIFY(isBlank(m, u"DatePriceChange"));
    QVERIFY(m->findKey({ u"VALVE"_s }));
    QCOMPARE(text(m, u"Description"), u"Valve, brass"_s);
    QCOMPARE(text(m, u"VHeadDesc"), u"Fittings"_s);
    QCOMPARE(text(m, u"VUnitDesc"), u"box"_s);
    QVERIFY(number(m, u"Material_ID") > 0);
    QVERIFY(m_f->dm->tblLabour->findKey({ u"PLUMB"_s }));
    QCOMPARE(text(m_f->dm->tblLabour, u"VHeadDesc"), u"Plumbing"_s);
    QCOMPARE(count(m_f->dm->tblHeadings), 2);
    QCOMPARE(count(m_f->dm->tblUnit), 2);
    // The same file again changes nothing.
    const PriceListPlan again = m_f->dm->planPriceListImport(file);
    QCOMPARE(again.count(PriceListPlan::Action::Same), 3);
}

void TestPriceListExchange::roundTripGivesTheSameList()
{
    const double plumbing = m_f->addHeading(u"Plumbing"_s);
    const double paint = m_f->addHeading(u"Painting, \"interior\""_s);
    const double each = m_f->addUnit(u"each"_s);
    m_f->addMaterial(u"PIPE"_s, u"Copper pipe 15 mm"_s, 9.4, 13.63, plumbing, each);
    m_f->addMaterial(u"PAINT"_s, u"Acrylic, 4 l\nlow sheen"_s, 1.0 / 3.0, 0.1 + 0.2, paint);
    m_f->addMaterial(u"KÜHL"_s, u"Kühlmittel €"_s, 0, 1e9, plumbing);
    m_f->addLabour(u"PLUMB"_s, u"Plumber"_s, 92.125, plumbing);
    const QByteArray exported = m_f->dm->exportPriceList();

    ReferenceFixture other;
    const PriceListPlan plan = other.dm->planPriceListImport(exported);
    QVERIFY2(plan.acceptable(), qPrintable(plan.refusalText()));
    QCOMPARE(plan.count(PriceListPlan::Action::Add), 4);
    other.dm->importPriceList(plan);
    QCOMPARE(other.dm->exportPriceList(), exported);
    // Importing a list's own export changes nothing.
    QCOMPARE(m_f->dm->planPriceListImport(exported).count(PriceListPlan::Action::Same), 4);
}

void TestPriceListExchange::failedImportLeavesNothing()
{
    const double plumbing = m_f->addHeading(u"Plumbing"_s);
    m_f->addMaterial(u"ZZTOP"_s, u"Held elsewhere"_s, 1, 2, plumbing);
    // Another copy is editing the material the file changes last.
    std::unique_ptr<TDM> other = m_f->startAnother();
    QVERIFY(other->tblMaterial->findKey({ u"ZZTOP"_s }));
    other->tblMaterial->edit();
    const QByteArray file = header
        + "Material,AAA,New one,1,2,,,,,crate,New heading\r\n"
          "Labour,BBB,New rate,,,,,,50,,Plumbing\r\n"
          "Material,ZZTOP,Changed,1,3,,,,,,Plumbing\r\n";
    const PriceListPlan plan = m_f->dm->planPriceListImport(file);
    QVERIFY(plan.acceptable());
    QString message;
    try {
        m_f->dm->importPriceList(plan);
    } catch (const Exception &error) {
        message = error.message();
    }
    QVERIFY2(message.contains(u"locked by"_s), qPrintable(message));
    QCOMPARE(count(m_f->dm->tblMaterial), 1);
    QCOMPARE(count(m_f->dm->tblLabour), 0);
    QCOMPARE(count(m_f->dm->tblHeadings), 1);
    QCOMPARE(count(m_f->dm->tblUnit), 0);
    for (TQVTable *view : { m_f->dm->tblMaterial, m_f->dm->tblLabour, m_f->dm->tblHeadings })
        QVERIFY(!view->isEditing());
    other->tblMaterial->cancel();
    // Once the record is free the same plan goes through whole.
    m_f->dm->importPriceList(plan);
    QCOMPARE(count(m_f->dm->tblMaterial), 2);
    QCOMPARE(count(m_f->dm->tblLabour), 1);
}

void TestPriceListExchange::importTakesItsKeysInOneBlock_data()
{
    QTest::addColumn<bool>("refused");
    QTest::newRow("stored") << false;
    QTest::newRow("given up") << true;
}

// The keys of everything an import adds come from one block of the counter: consecutive, none
// given to another copy, and given back when the import is given up.
void TestPriceListExchange::importTakesItsKeysInOneBlock()
{
    QFETCH(bool, refused);
    const double plumbing = m_f->addHeading(u"Plumbing"_s);
    m_f->addMaterial(u"ZZTOP"_s, u"Held elsewhere"_s, 1, 2, plumbing);
    std::unique_ptr<TDM> other = m_f->startAnother();
    if (refused) {
        QVERIFY(other->tblMaterial->findKey({ u"ZZTOP"_s }));
        other->tblMaterial->edit();
    }
    const auto counter = [this] {
        return m_f->data.peek(u"PKey.DB"_s, u"SELECT CurrentKey FROM data"_s).toDouble();
    };
    const double before = counter();
    const QByteArray file = header
        + "Material,AAA,New one,1,2,,,,,crate,New heading\r\n"
          "Labour,BBB,New rate,,,,,,50,,Plumbing\r\n"
          "Material,ZZTOP,Changed,1,3,,,,,,Plumbing\r\n";
    const PriceListPlan plan = m_f->dm->planPriceListImport(file);
    try {
        m_f->dm->importPriceList(plan);
    } catch (const Exception &) {
        QVERIFY(refused);
    }
    if (refused) {
        QCOMPARE(counter(), before);
        other->tblMaterial->cancel();
        QCOMPARE(other->NextKey(), before + 1);
        QCOMPARE(m_f->dm->NextKey(), before + 2);
        return;
    }
    // Two entries, a heading and a unit.
    QCOMPARE(counter(), before + 4);
    const QString keys =
        m_f->data
            .peek(u"Material.DB"_s,
                u"SELECT group_concat(CAST(k AS INTEGER)) FROM (SELECT Material_ID AS k FROM data "
                "WHERE Material_Code = 'AAA' UNION SELECT Labour_ID FROM "
                "\"Labour.db\" UNION SELECT Heading_ID FROM \"Headings.db\" "
                "WHERE Description = 'New heading' UNION SELECT Unit_ID FROM "
                "\"Unit.db\" ORDER BY k)"_s)
            .toString();
    QCOMPARE(keys,
        QStringList({ QString::number(before + 1), QString::number(before + 2),
                        QString::number(before + 3), QString::number(before + 4) })
            .join(u','));
    QCOMPARE(other->NextKey(), before + 5);
}

void TestPriceListExchange::importWhileEditingIsRefused()
{
    m_f->dm->tblHeadings->insert();
    const PriceListPlan plan =
        m_f->dm->planPriceListImport(header + "Material,A,B,1,2,,,,,,H\r\n");
    QVERIFY_THROWS_EXCEPTION(Exception, m_f->dm->importPriceList(plan));
    QVERIFY_THROWS_EXCEPTION(Exception, m_f->dm->exportPriceList());
    m_f->dm->tblHeadings->cancel();
    QCOMPARE(count(m_f->dm->tblMaterial), 0);
}

void TestPriceListExchange::toolVerbs()
{
    const double plumbing = m_f->addHeading(u"Plumbing"_s);
    m_f->addMaterial(u"PIPE"_s, u"Copper pipe"_s, 9.4, 13.5, plumbing);
    m_f->dm.reset(); // the tool is another copy of the program
    QTemporaryDir files;
    const QString exported = files.filePath(u"prices.csv"_s);
    const auto run = [](const QStringList &arguments, QString *errors = nullptr) {
        QString out, err;
        QTextStream o(&out), e(&err);
        const int code = runDataTool(arguments, o, e);
        if (errors)
            *errors = err;
        return code;
    };
    const QString dir = m_f->data.dataDirectory();
    QCOMPARE(run({ u"export-prices"_s, dir, exported }), 0);
    QFile file(exported);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray csv = file.readAll();
    QVERIFY(csv.startsWith("\xEF\xBB\xBF" + header));
    QVERIFY(csv.contains("Material,PIPE,Copper pipe,9.4,13.5,,,,,,Plumbing\r\n"));

    const QString bad = files.filePath(u"bad.csv"_s);
    QFile badFile(bad);
    QVERIFY(badFile.open(QIODevice::WriteOnly));
    badFile.write(header + "Material,NEW,New,1,2,,,,,,Plumbing\r\nMaterial,X,Y,abc,,,,,,,H\r\n");
    badFile.close();
    QString errors;
    QCOMPARE(run({ u"import-prices"_s, dir, bad }, &errors), 1);
    QVERIFY2(errors.contains(u"line 3: \"abc\" is not a valid number for Cost Price"_s),
        qPrintable(errors));
    QCOMPARE(run({ u"import-prices"_s, dir }), 2);

    const QString good = files.filePath(u"good.csv"_s);
    QFile goodFile(good);
    QVERIFY(goodFile.open(QIODevice::WriteOnly));
    goodFile.write(csv + "Labour,PLUMB,Plumber,,,,,,92,,Plumbing\r\n");
    goodFile.close();
    QCOMPARE(run({ u"import-prices"_s, dir, good }), 0);
    m_f->dm = m_f->data.start();
    QCOMPARE(count(m_f->dm->tblMaterial), 1);
    QCOMPARE(count(m_f->dm->tblLabour), 1);
}

int runPriceListExchangeTests(int argc, char **argv)
{
    TestPriceListExchange test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pricelist.moc"

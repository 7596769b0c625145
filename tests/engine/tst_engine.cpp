// Semantics of the table engine: order and index switches, filters, master links, hook order,
// field conversions, and operations that fail leaving everything as it was.
#include "FileStatement.h"
#include "RecordValues.h"
#include "TempDataDir.h"
#include "TestStore.h"
#include "TestTables.h"
#include "engine/DataSource.h"
#include "engine/EmbeddedStore.h"
#include "engine/Exception.h"
#include "engine/Field.h"
#include "engine/TQVDatabase.h"
#include "engine/TableView.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

class TestEngine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void orderSwitchKeepsCurrentRecord();
    void navigationFlags();
    void filterSwitchesKeepText();
    void filterForms_data();
    void filterForms();
    void badFiltersRefused_data();
    void badFiltersRefused();
    void masterLinkFollowsMaster();
    void hookOrder();
    void setTextHookDecides();
    void sizesCutAndEmptyFields();
    void postWhileBrowsingRefused();
    void failedPostRollsBackEveryFile();
    void failedDeleteRestoresViews();
    void findKeyOnOrderFields();
    void deleteMovesToNextRecord();
    void deleteKeepsPlaceInOrder_data();
    void deleteKeepsPlaceInOrder();
    void placeFollowsChangesOfEitherCopy_data();
    void placeFollowsChangesOfEitherCopy();
    void filteredViewFollowsSavesOfItsOperation_data();
    void filteredViewFollowsSavesOfItsOperation();
    void otherViewsSeeOwnCommits();
    void secondSessionRefusedWhileRecordEdited();
    void keyViolationRefused();
    void busyDatabaseRefusedAsBusy_data();
    void busyDatabaseRefusedAsBusy();
    void changeNoticesOnlyForChangedTables_data();
    void changeNoticesOnlyForChangedTables();
    void lockUnderWriteLockIsTriedNotWaited();
    void numbersShownAsWritten_data();
    void numbersShownAsWritten();
    void longListReadAsFarAsShown_data();
    void longListReadAsFarAsShown();

private:
    std::unique_ptr<TableView> view(const QString &table);
    void addHead(double id, const QString &no, const QVariant &status = {}, double clientId = 0);
    QVariant stored(const QString &file, const QString &sql);

    std::unique_ptr<TempDataDir> m_dir;
    std::unique_ptr<TQVDatabase> m_db;
};

void TestEngine::init()
{
    m_dir = std::make_unique<TempDataDir>();
    createTestTables(m_dir->path());
    m_db = std::make_unique<TQVDatabase>();
    connectTestDatabase(*m_db, m_dir->path());
}

void TestEngine::cleanup()
{
    m_db.reset();
    m_dir.reset();
}

std::unique_ptr<TableView> TestEngine::view(const QString &table)
{
    auto v = std::make_unique<TableView>();
    v->setDatabase(m_db.get());
    v->setTableName(table);
    v->open();
    return v;
}

void TestEngine::addHead(double id, const QString &no, const QVariant &status, double clientId)
{
    auto heads = view(u"Head.DB"_s);
    heads->append();
    setNumber(heads, u"ID", id);
    setText(heads, u"No", no);
    heads->fieldByName(u"Status"_s)->setValue(status);
    if (clientId != 0)
        setNumber(heads, u"Client_ID", clientId);
    heads->post();
}

QVariant TestEngine::stored(const QString &file, const QString &sql)
{
    return runOnFile(m_dir->filePath(file), sql);
}

void TestEngine::orderSwitchKeepsCurrentRecord()
{
    addHead(3, u"C-1"_s);
    addHead(1, u"A-9"_s);
    addHead(2, u"B-5"_s);
    auto heads = view(u"Head.DB"_s);
    QCOMPARE(texts(heads, u"ID"), QStringList({ u"1"_s, u"2"_s, u"3"_s }));

    heads->first();
    heads->next(); // ID 2
    heads->setIndexName(u"ByNo"_s);
    QCOMPARE(number(heads, u"ID"), 2.0);
    heads->setIndexFieldNames(u"No"_s);
    QCOMPARE(text(heads, u"No"), u"B-5"_s);
    QCOMPARE(texts(heads, u"No"), QStringList({ u"A-9"_s, u"B-5"_s, u"C-1"_s }));
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, heads->setIndexName(u"NoSuchIndex"_s));
    QCOMPARE(heads->indexFieldNames(), u"No"_s);
}

void TestEngine::navigationFlags()
{
    auto heads = view(u"Head.DB"_s);
    QVERIFY(heads->eof());
    QVERIFY(heads->bof());
    QVERIFY(heads->isEmpty());
    addHead(1, u"A"_s);
    addHead(2, u"B"_s);
    heads->refresh();
    heads->first();
    QVERIFY(heads->bof());
    QVERIFY(!heads->eof());
    heads->next();
    heads->next(); // past the last record: stays on it
    QVERIFY(heads->eof());
    QCOMPARE(text(heads, u"No"), u"B"_s);
    heads->prior();
    heads->prior();
    QVERIFY(heads->bof());
    QCOMPARE(text(heads, u"No"), u"A"_s);
    heads->last();
    QVERIFY(heads->eof());
    QCOMPARE(heads->recNo(), 1);
}

void TestEngine::filterSwitchesKeepText()
{
    addHead(1, u"A"_s, u"C"_s);
    addHead(2, u"B"_s, u"I"_s);
    addHead(3, u"C"_s); // no status at all
    auto heads = view(u"Head.DB"_s);
    heads->setFilter(u"Status<>'C'"_s);
    QCOMPARE(heads->recordCount(), 3); // not filtered yet
    heads->setFiltered(true);
    QCOMPARE(texts(heads, u"No"), QStringList({ u"B"_s, u"C"_s }));
    heads->setFiltered(false);
    QCOMPARE(heads->recordCount(), 3);
    QCOMPARE(heads->filter(), u"Status<>'C'"_s);
    heads->setFiltered(true);
    QCOMPARE(heads->recordCount(), 2);
}

void TestEngine::filterForms_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("numbers");
    QTest::newRow("text equality") << u"No = 'Q-7'"_s << QStringList { u"Q-7"_s };
    QTest::newRow("number field given as text")
        << u"Client_ID = '123'"_s << QStringList { u"Q-7"_s, u"Q 8"_s };
    QTest::newRow("number literal") << u"Client_ID = 123"_s << QStringList { u"Q-7"_s, u"Q 8"_s };
    QTest::newRow("empty number is 0") << u"Client_ID = 0"_s << QStringList { u"O'Neil"_s };
    QTest::newRow("quote doubled in value") << u"No = 'O''Neil'"_s << QStringList { u"O'Neil"_s };
    QTest::newRow("value with blank") << u"No = 'Q 8'"_s << QStringList { u"Q 8"_s };
    QTest::newRow("and, or, not, brackets")
        << u"(No = 'Q-7' OR No = 'Q 8') AND NOT Status = 'C'"_s << QStringList { u"Q-7"_s };
    QTest::newRow("field names any case")
        << u"status <> 'C'"_s << QStringList { u"Q-7"_s, u"O'Neil"_s };
    QTest::newRow("no match") << u"No = 'Q-70'"_s << QStringList {};
    QTest::newRow("injection is a value") << u"No = 'x'' OR 1=1 --'"_s << QStringList {};
}

void TestEngine::filterForms()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, numbers);
    addHead(1, u"Q-7"_s, u"I"_s, 123);
    addHead(2, u"Q 8"_s, u"C"_s, 123);
    addHead(3, u"O'Neil"_s);
    auto heads = view(u"Head.DB"_s);
    heads->setFilter(filter);
    heads->setFiltered(true);
    QCOMPARE(texts(heads, u"No"), numbers);
}

void TestEngine::badFiltersRefused_data()
{
    QTest::addColumn<QString>("filter");
    QTest::newRow("unknown field") << u"Colour = 'red'"_s;
    QTest::newRow("unclosed quote") << u"Status <> 'C"_s;
    QTest::newRow("no operator") << u"Status 'C'"_s;
    QTest::newRow("no value") << u"Status <>"_s;
    QTest::newRow("trailing garbage") << u"Status = 'C' Status"_s;
    QTest::newRow("text for a number") << u"Client_ID = 'abc'"_s;
    QTest::newRow("sql pasted") << u"Status = 'C'; DROP TABLE data"_s;
    QTest::newRow("unbalanced bracket") << u"(Status = 'C'"_s;
    QTest::newRow("bad date") << u"When = '2026-13-45'"_s;
    QTest::newRow("memo compared") << u"Notes = 'x'"_s;
    QTest::newRow("lonely and") << u"AND"_s;
    QTest::newRow("bad operator") << u"Status == 'C'"_s;
    QTest::newRow("unquoted word value") << u"Status = C"_s;
    QTest::newRow("brackets nested beyond reason")
        << QString(100000, u'(') + u"Status = 'C'"_s + QString(100000, u')');
    QTest::newRow("NOT repeated beyond reason") << u"NOT "_s.repeated(100000) + u"Status = 'C'"_s;
}

void TestEngine::badFiltersRefused()
{
    QFETCH(QString, filter);
    addHead(1, u"A"_s, u"C"_s);
    addHead(2, u"B"_s, u"I"_s);
    auto heads = view(u"Head.DB"_s);
    heads->setFilter(u"Status<>'C'"_s);
    heads->setFiltered(true);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, heads->setFilter(filter));
    QCOMPARE(heads->filter(), u"Status<>'C'"_s);
    QCOMPARE(texts(heads, u"No"), QStringList { u"B"_s });
}

void TestEngine::masterLinkFollowsMaster()
{
    addHead(1, u"A"_s, {}, 20);
    addHead(2, u"B"_s, {}, 10);
    addHead(3, u"C"_s);
    auto customers = view(u"Cust.DB"_s);
    for (auto [id, name] : { std::pair { 10.0, u"Ten"_s }, std::pair { 20.0, u"Twenty"_s } }) {
        customers->append();
        setNumber(customers, u"Client_ID", id);
        setText(customers, u"Name", name);
        customers->post();
    }
    auto heads = view(u"Head.DB"_s);
    DataSource link;
    link.setDataSet(heads.get());
    auto detail = std::make_unique<TableView>();
    detail->setDatabase(m_db.get());
    detail->setTableName(u"Cust"_s); // the default format's extension is implied
    detail->setIndexFieldNames(u"Client_ID"_s);
    detail->setMasterSource(&link);
    detail->setMasterFields(u"Client_ID"_s);
    detail->open();

    heads->first();
    QCOMPARE(texts(detail, u"Name"), QStringList { u"Twenty"_s });
    heads->next();
    QCOMPARE(text(detail, u"Name"), u"Ten"_s);
    heads->next(); // a header without client shows none
    QVERIFY(detail->isEmpty());

    auto otherHeads = view(u"Head.DB"_s);
    otherHeads->first();
    link.setDataSet(otherHeads.get());
    QCOMPARE(text(detail, u"Name"), u"Twenty"_s);
}

void TestEngine::hookOrder()
{
    QStringList calls;
    auto heads = view(u"Head.DB"_s);
    auto record = [&calls](const char *name) {
        return [&calls, name](TableView &) { calls << QString::fromLatin1(name); };
    };
    heads->beforeInsert = record("beforeInsert");
    heads->afterInsert = record("afterInsert");
    heads->beforeEdit = record("beforeEdit");
    heads->afterEdit = record("afterEdit");
    heads->beforePost = record("beforePost");
    heads->afterPost = record("afterPost");
    heads->beforeCancel = record("beforeCancel");
    heads->afterCancel = record("afterCancel");
    heads->beforeDelete = record("beforeDelete");
    heads->afterDelete = record("afterDelete");
    heads->fieldByName(u"Total"_s)->onChange = [&calls](Field &) { calls << u"change"_s; };

    heads->insert();
    setNumber(heads, u"ID", 1);
    setNumber(heads, u"Total", 5);
    heads->post();
    heads->edit();
    heads->cancel();
    heads->edit();
    setNumber(heads, u"Total", 6);
    heads->first(); // leaving a modified record posts it
    heads->deleteRecord();
    QCOMPARE(calls,
        QStringList({ u"beforeInsert"_s, u"afterInsert"_s, u"change"_s, u"beforePost"_s,
            u"afterPost"_s, u"beforeEdit"_s, u"afterEdit"_s, u"beforeCancel"_s, u"afterCancel"_s,
            u"beforeEdit"_s, u"afterEdit"_s, u"change"_s, u"beforePost"_s, u"afterPost"_s,
            u"beforeDelete"_s, u"afterDelete"_s }));
}

void TestEngine::setTextHookDecides()
{
    auto heads = view(u"Head.DB"_s);
    QString received;
    heads->fieldByName(u"Total"_s)->onSetText = [&received](Field &field, const QString &text) {
        received = text;
        if (!text.isEmpty())
            field.setAsFloat(Field::parseNumber(text) * 2);
    };
    heads->insert();
    heads->fieldByName(u"Total"_s)->setAsString(u"2.5"_s);
    QCOMPARE(received, u"2.5"_s);
    QCOMPARE(heads->fieldByName(u"Total"_s)->asFloat(), 5.0);
    heads->fieldByName(u"Total"_s)->setAsString(QString()); // the hook ignores it
    QCOMPARE(heads->fieldByName(u"Total"_s)->asFloat(), 5.0);
    QVERIFY_THROWS_EXCEPTION(
        EConvertError, heads->fieldByName(u"Total"_s)->setAsString(u"12,5x"_s));
    QCOMPARE(heads->fieldByName(u"Total"_s)->asFloat(), 5.0);
    try {
        heads->fieldByName(u"Total"_s)->setAsString(u"abc"_s);
    } catch (const EConvertError &error) {
        QCOMPARE(error.message(), u"'abc' is not a valid floating point value"_s);
    }
}

void TestEngine::sizesCutAndEmptyFields()
{
    auto heads = view(u"Head.DB"_s);
    heads->insert();
    heads->fieldByName(u"ID"_s)->setAsFloat(1);
    heads->fieldByName(u"No"_s)->setAsString(u"ABCDEFGHIJKLMNOP"_s);
    heads->fieldByName(u"Status"_s)->setAsString(QString());
    heads->fieldByName(u"When"_s)->setAsDate(QDate(2026, 2, 28));
    heads->post();
    QCOMPARE(heads->fieldByName(u"No"_s)->asString(), u"ABCDEFGHIJ"_s);
    QCOMPARE(stored(u"Head.DB"_s, u"SELECT No FROM data"_s).toString(), u"ABCDEFGHIJ"_s);
    QCOMPARE(stored(u"Head.DB"_s, u"SELECT \"When\" FROM data"_s).toString(), u"2026-02-28"_s);
    QVERIFY(stored(u"Head.DB"_s, u"SELECT Total IS NULL AND Status IS NULL FROM data"_s).toBool());
    QCOMPARE(heads->fieldByName(u"Total"_s)->asFloat(), 0.0);
    QCOMPARE(heads->fieldByName(u"Total"_s)->asString(), QString());
    QVERIFY(heads->fieldByName(u"Total"_s)->isNull());
    QCOMPARE(heads->fieldByName(u"When"_s)->asDate(), QDate(2026, 2, 28));

    heads->edit();
    heads->fieldByName(u"Total"_s)->setAsFloat(0);
    heads->post();
    QVERIFY(!heads->fieldByName(u"Total"_s)->isNull()); // 0 is a value, not an empty field
    QCOMPARE(stored(u"Head.DB"_s, u"SELECT Total FROM data"_s).toDouble(), 0.0);
}

void TestEngine::postWhileBrowsingRefused()
{
    auto heads = view(u"Head.DB"_s);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, heads->post());
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, heads->fieldByName(u"Total"_s)->setAsFloat(1));
    heads->cancel(); // harmless while browsing
}

// A line's after-post hook puts its header into edit, changes its total, posts it, then fails:
// nothing of it may be stored, and both views must be as they were before the post.
void TestEngine::failedPostRollsBackEveryFile()
{
    addHead(1, u"A"_s);
    auto heads = view(u"Head.DB"_s);
    auto lines = view(u"Line.DB"_s);
    heads->first();
    heads->edit();
    setNumber(heads, u"Total", 10);

    bool fail = true;
    lines->afterPost = [&](TableView &line) {
        setNumber(heads, u"Total", number(heads, u"Total") + number(line, u"Charge"));
        heads->post();
        if (fail)
            throw EDatabaseError(u"disk full"_s);
    };
    lines->insert();
    setNumber(lines, u"ID", 7);
    setText(lines, u"No", u"A"_s);
    setNumber(lines, u"Charge", 2.5);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, lines->post());

    QCOMPARE(lines->state(), DataSetState::Insert);
    QCOMPARE(number(lines, u"Charge"), 2.5);
    QCOMPARE(heads->state(), DataSetState::Edit);
    QCOMPARE(number(heads, u"Total"), 10.0);
    QCOMPARE(stored(u"Line.DB"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 0);
    QVERIFY(stored(u"Head.DB"_s, u"SELECT Total FROM data"_s).isNull());

    fail = false;
    lines->post();
    QCOMPARE(stored(u"Line.DB"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 1);
    QCOMPARE(stored(u"Head.DB"_s, u"SELECT Total FROM data"_s).toDouble(), 12.5);
    QCOMPARE(heads->state(), DataSetState::Browse);
}

void TestEngine::failedDeleteRestoresViews()
{
    addHead(1, u"A"_s);
    addHead(2, u"B"_s);
    auto heads = view(u"Head.DB"_s);
    heads->last();
    heads->afterDelete = [](TableView &) { throw EDatabaseError(u"refused"_s); };
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, heads->deleteRecord());
    QCOMPARE(heads->recordCount(), 2);
    QCOMPARE(text(heads, u"No"), u"B"_s);
    QCOMPARE(stored(u"Head.DB"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 2);
}

void TestEngine::findKeyOnOrderFields()
{
    auto settings = view(u"Settings"_s);
    for (auto [sect, param] : { std::pair { u"Options"_s, u"QuoteComplete"_s },
             std::pair { u"OPTIONS"_s, u"QUOTECOMPLETE"_s },
             std::pair { u"Startup"_s, u"StartWiz"_s } }) {
        settings->append();
        setText(settings, u"Sect", sect);
        setText(settings, u"Param", param);
        setText(settings, u"Val", sect + param);
        settings->post();
    }
    QVERIFY(settings->findKey({ u"OPTIONS"_s, u"QUOTECOMPLETE"_s }));
    QCOMPARE(text(settings, u"Val"), u"OPTIONSQUOTECOMPLETE"_s);
    QVERIFY(
        settings->findKey({ u"Options"_s, u"QuoteComplete"_s })); // exact case, not the other row
    QCOMPARE(text(settings, u"Val"), u"OptionsQuoteComplete"_s);
    QVERIFY(!settings->findKey({ u"options"_s, u"quotecomplete"_s }));
    QCOMPARE(text(settings, u"Val"), u"OptionsQuoteComplete"_s); // stays
    QVERIFY(settings->findKey({ u"Startup"_s }));
    QCOMPARE(text(settings, u"Param"), u"StartWiz"_s);
}

void TestEngine::deleteMovesToNextRecord()
{
    for (int i = 1; i <= 4; ++i)
        addHead(i, QString::number(i), u"X"_s);
    auto heads = view(u"Head.DB"_s);
    heads->setFilter(u"Status = 'X'"_s);
    heads->setFiltered(true);
    // Deleting every record of a view from the first, as the line deletes do.
    int deleted = 0;
    heads->first();
    while (!heads->eof()) {
        if (number(heads, u"ID") != 3) {
            heads->deleteRecord();
            ++deleted;
        } else {
            heads->next();
        }
    }
    QCOMPARE(deleted, 3);
    QCOMPARE(texts(heads, u"ID"), QStringList { u"3"_s });
}

void TestEngine::deleteKeepsPlaceInOrder_data()
{
    QTest::addColumn<double>("doomed");
    QTest::addColumn<bool>("rowsRead");
    QTest::addColumn<double>("after");
    // In Status, No order (empty first): 1, 6, 3, 5, 2, 4.
    const std::pair<double, double> cases[] = { { 1, 6 }, { 6, 3 }, { 3, 5 }, { 5, 2 }, { 2, 4 },
        { 4, 2 } };
    for (const auto &[doomed, after] : cases) {
        for (bool rowsRead : { false, true })
            QTest::addRow("%g%s", doomed, rowsRead ? " rows read" : "")
                << doomed << rowsRead << after;
    }
}

// The record after the deleted one takes its place (the one before when it was the last), whether
// or not the view has read its row list, through empty and repeated order values.
void TestEngine::deleteKeepsPlaceInOrder()
{
    QFETCH(double, doomed);
    QFETCH(bool, rowsRead);
    QFETCH(double, after);
    const std::tuple<double, QVariant, QVariant> records[] = { { 1, {}, {} }, { 2, u"A"_s, u"x"_s },
        { 3, {}, u"b"_s }, { 4, u"B"_s, {} }, { 5, u"A"_s, {} }, { 6, {}, {} } };
    auto heads = view(u"Head.DB"_s);
    for (const auto &[id, status, no] : records) {
        heads->append();
        setNumber(heads, u"ID", id);
        heads->fieldByName(u"Status"_s)->setValue(status);
        heads->fieldByName(u"No"_s)->setValue(no);
        heads->post();
    }
    heads->setIndexName(u"ByStatusNo"_s);
    QVERIFY(heads->locate(u"ID"_s, doomed));
    if (rowsRead)
        QCOMPARE(heads->recordCount(), 6);
    heads->deleteRecord();
    QCOMPARE(number(heads, u"ID"), after);
    QStringList rest { u"1"_s, u"6"_s, u"3"_s, u"5"_s, u"2"_s, u"4"_s };
    rest.removeAll(QString::number(doomed));
    QCOMPARE(heads->recNo(), int(rest.indexOf(QString::number(after))));
    QCOMPARE(texts(heads, u"ID"), rest);
}

void TestEngine::placeFollowsChangesOfEitherCopy_data()
{
    QTest::addColumn<bool>("otherCopy");
    QTest::addColumn<bool>("rowsRead");
    // "+ID" adds a record, "-ID" deletes one (the current one by the view itself in this copy),
    // "xID" deletes one through another view
    QTest::addColumn<QString>("change");
    QTest::addColumn<double>("current");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("count");
    // Records 10, 20, 30, 40 with 30 current.
    const std::tuple<const char *, double, int, int> changes[] = { { "+15", 30, 3, 5 },
        { "+35", 30, 2, 5 }, { "+45", 30, 2, 5 }, { "-20", 30, 1, 3 }, { "-30", 40, 2, 3 },
        { "-40", 30, 2, 3 }, { "x30", 40, 2, 3 } };
    for (const auto &[change, current, position, count] : changes) {
        for (bool otherCopy : { false, true }) {
            if (otherCopy && *change == 'x')
                continue; // as "-30 by another copy"
            for (bool rowsRead : { false, true }) {
                QTest::addRow("%s by %s%s", change, otherCopy ? "another copy" : "this copy",
                    rowsRead ? ", rows read" : "")
                    << otherCopy << rowsRead << QString::fromLatin1(change) << current << position
                    << count;
            }
        }
    }
}

// A view keeps its current record, its position and its count right when records are added or
// deleted around it by this copy or another, whether or not it had read its row list.
void TestEngine::placeFollowsChangesOfEitherCopy()
{
    QFETCH(bool, otherCopy);
    QFETCH(bool, rowsRead);
    QFETCH(QString, change);
    QFETCH(double, current);
    QFETCH(int, position);
    QFETCH(int, count);
    for (int id : { 10, 20, 30, 40 })
        addHead(id, QString::number(id));
    auto heads = view(u"Head.DB"_s);
    m_db->setChangeNotice(heads.get(), [&heads] { heads->invalidate(); });
    m_db->checkForChanges();
    QVERIFY(heads->locate(u"ID"_s, 30));
    QCOMPARE(text(heads, u"No"), u"30"_s);
    if (rowsRead)
        QCOMPARE(heads->recNo(), 2);

    TQVDatabase other;
    connectTestDatabase(other, m_dir->path());
    TableView changer;
    changer.setDatabase(otherCopy ? &other : m_db.get());
    changer.setTableName(u"Head.DB"_s);
    changer.open();
    const double id = change.mid(1).toDouble();
    if (change.startsWith(u'+')) {
        changer.insert();
        setNumber(changer, u"ID", id);
        setText(changer, u"No", QString::number(id));
        changer.post();
    } else if (change.startsWith(u'-') && id == 30 && !otherCopy) {
        heads->deleteRecord();
    } else {
        QVERIFY(changer.locate(u"ID"_s, id));
        changer.deleteRecord();
    }
    m_db->checkForChanges();

    QCOMPARE(number(heads, u"ID"), current);
    QCOMPARE(heads->recNo(), position);
    QCOMPARE(heads->recordCount(), count);
    heads->next();
    QCOMPARE(heads->recNo(), std::min(position + 1, count - 1));
}

void TestEngine::filteredViewFollowsSavesOfItsOperation_data()
{
    QTest::addColumn<QString>("ownChange"); // the field the view's own save changes
    QTest::addColumn<bool>(
        "laterSave"); // another view of this copy closes it in the same operation
    QTest::addColumn<double>("current");
    QTest::addColumn<int>("count");
    QTest::newRow("own save keeps it shown") << u"Total"_s << false << 20.0 << 3;
    QTest::newRow("own save closes it") << u"Status"_s << false << 30.0 << 2;
    QTest::newRow("a later save of the operation closes it") << u"Total"_s << true << 30.0 << 2;
}

// A view that shows open records only stays on the record it saved while the record, as the
// operation left it, is still open; what a later save of the same operation did counts too.
void TestEngine::filteredViewFollowsSavesOfItsOperation()
{
    QFETCH(QString, ownChange);
    QFETCH(bool, laterSave);
    QFETCH(double, current);
    QFETCH(int, count);
    for (int id : { 10, 20, 30 })
        addHead(id, QString::number(id), u"O"_s);
    auto heads = view(u"Head.DB"_s);
    heads->setFilter(u"Status<>'C'"_s);
    heads->setFiltered(true);
    auto closer = view(u"Head.DB"_s);
    if (laterSave) {
        heads->afterPost = [&closer](TableView &) {
            QVERIFY(closer->locate(u"ID"_s, 20));
            closer->edit();
            setText(closer, u"Status", u"C"_s);
            closer->post();
        };
    }
    QVERIFY(heads->locate(u"ID"_s, 20));
    heads->edit();
    if (ownChange == u"Status"_s)
        setText(heads, u"Status", u"C"_s);
    else
        setNumber(heads, u"Total", 7);
    heads->post();

    QCOMPARE(number(heads, u"ID"), current);
    QCOMPARE(heads->recordCount(), count);
    QCOMPARE(stored(u"Head.DB"_s, u"SELECT Total FROM data WHERE ID = 20"_s).toDouble(),
        ownChange == u"Total"_s ? 7.0 : 0.0);
}

void TestEngine::otherViewsSeeOwnCommits()
{
    auto a = view(u"Cust.DB"_s);
    auto b = view(u"Cust.DB"_s);
    QCOMPARE(b->recordCount(), 0);
    a->insert();
    setNumber(a, u"Client_ID", 5);
    setText(a, u"Name", u"Five"_s);
    a->post();
    QCOMPARE(b->recordCount(), 1);
    b->first();
    QCOMPARE(text(b, u"Name"), u"Five"_s);
    QCOMPARE(b->lookup(u"Client_ID"_s, 5, u"Name"_s).toString(), u"Five"_s);
    a->edit();
    setText(a, u"Name", u"Fifth"_s);
    a->post();
    QCOMPARE(b->lookup(u"Client_ID"_s, 5, u"Name"_s).toString(), u"Fifth"_s);
}

void TestEngine::secondSessionRefusedWhileRecordEdited()
{
    addHead(1, u"A"_s);
    TQVDatabase other;
    connectTestDatabase(other, m_dir->path());
    auto mine = view(u"Head.DB"_s);
    auto theirs = openView(other, u"Head.DB"_s);

    mine->edit();
    try {
        theirs->edit();
        QFAIL("a record in edit elsewhere was edited");
    } catch (const EDatabaseError &error) {
        QVERIFY2(
            error.message().contains(QSysInfo::machineHostName()), qPrintable(error.message()));
    }
    QCOMPARE(theirs->state(), DataSetState::Browse);
    QVERIFY_THROWS_EXCEPTION(EDatabaseError, theirs->deleteRecord());
    setNumber(mine, u"Total", 3);
    mine->post();
    theirs->edit();
    QCOMPARE(number(theirs, u"Total"), 3.0); // edit reads the record as stored now
    theirs->cancel();
}

void TestEngine::keyViolationRefused()
{
    addHead(1, u"A"_s);
    auto heads = view(u"Head.DB"_s);
    heads->insert();
    setNumber(heads, u"ID", 1);
    try {
        heads->post();
        QFAIL("a duplicate key was stored");
    } catch (const EDatabaseError &error) {
        QCOMPARE(error.message(), u"Head.DB: Key violation"_s);
        QCOMPARE(error.kind(), EDatabaseError::Kind::DuplicateKey);
    }
    QCOMPARE(heads->state(), DataSetState::Insert);
    QCOMPARE(stored(u"Head.DB"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 1);
}

// Another program holding the whole database locked, as a copy does while it commits, for as
// long as it lives.
class DatabaseHeld
{
public:
    explicit DatabaseHeld(const QString &directory)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, m_name);
        db.setDatabaseName(QDir(directory).filePath(EmbeddedStore::databaseFileName()));
        QVERIFY(db.open());
        QVERIFY(QSqlQuery(db).exec(u"BEGIN EXCLUSIVE"_s));
    }
    ~DatabaseHeld()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            QSqlQuery(db).exec(u"ROLLBACK"_s);
            db.close();
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    DatabaseHeld(const DatabaseHeld &) = delete;
    DatabaseHeld &operator=(const DatabaseHeld &) = delete;

private:
    QString m_name = u"held"_s;
};

// A database held locked for longer than a copy waits is busy wherever the copy meets it, with
// its kind: never reported as damaged or unreadable.
void TestEngine::busyDatabaseRefusedAsBusy_data()
{
    QTest::addColumn<bool>("connecting"); // else: checking a table of an open connection
    QTest::newRow("connecting") << true;
    QTest::newRow("checking a table") << false;
}

void TestEngine::busyDatabaseRefusedAsBusy()
{
    if (TestStore::onServer())
        QSKIP("holds the database file busy: embedded database only");
    QFETCH(bool, connecting);
    const DatabaseHeld held(m_dir->path());
    try {
        if (connecting) {
            TQVDatabase other;
            connectTestDatabase(other, m_dir->path());
        } else {
            m_db->openFile(u"Head.DB"_s);
        }
        QFAIL("a database held by another program was read");
    } catch (const EDatabaseError &error) {
        QCOMPARE(error.kind(), EDatabaseError::Kind::Busy);
        QVERIFY2(error.message().contains(u"is busy"_s), qPrintable(error.message()));
    }
}

// Another copy's commit is noticed by the views of the tables it wrote, and only by those; a
// change made behind the program's back (no change counted) is noticed by every view.
void TestEngine::changeNoticesOnlyForChangedTables_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QStringList>("noticed");
    QTest::newRow("a customer posted") << u"post"_s << QStringList { u"Cust.DB"_s };
    QTest::newRow("a customer and a head posted in one operation")
        << u"both"_s << QStringList { u"Cust.DB"_s, u"Head.DB"_s };
    QTest::newRow("a key taken (its counter tells, uncounted)")
        << u"key"_s << QStringList { u"Keys.DB"_s };
    QTest::newRow("nothing") << u"none"_s << QStringList();
    QTest::newRow("an outside tool's write")
        << u"outside"_s << QStringList { u"Cust.DB"_s, u"Head.DB"_s, u"Keys.DB"_s };
}

void TestEngine::changeNoticesOnlyForChangedTables()
{
    QFETCH(QString, how);
    QFETCH(QStringList, noticed);
    QStringList heard;
    std::vector<std::unique_ptr<TableView>> watching;
    for (const QString &table : { u"Cust.DB"_s, u"Head.DB"_s, u"Keys.DB"_s }) {
        watching.push_back(view(table));
        m_db->setChangeNotice(watching.back().get(), [&heard, table] { heard << table; });
    }
    m_db->checkForChanges();
    heard.clear();

    TQVDatabase other;
    connectTestDatabase(other, m_dir->path());
    if (how == u"post"_s || how == u"both"_s) {
        auto customers = openView(other, u"Cust.DB"_s);
        OperationScope operation(&other);
        customers->insert();
        setNumber(customers, u"Client_ID", 7);
        customers->post();
        if (how == u"both"_s) {
            auto heads = openView(other, u"Head.DB"_s);
            heads->insert();
            setNumber(heads, u"ID", 7);
            heads->post();
        }
        operation.commit();
    } else if (how == u"key"_s) {
        auto keys = openView(other, u"Keys.DB"_s);
        keys->insert();
        setNumber(keys, u"K", 1);
        keys->post();
        m_db->checkForChanges();
        QCOMPARE(heard, QStringList { u"Keys.DB"_s });
        heard.clear();
        keys->addToField({ 1 }, u"Current"_s, 1);
    } else if (how == u"outside"_s) {
        if (TestStore::onServer())
            QSKIP("writes the database file itself: embedded database only");
        QSqlDatabase raw = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"outside"_s);
        raw.setDatabaseName(m_dir->filePath(EmbeddedStore::databaseFileName()));
        QVERIFY(raw.open());
        QVERIFY(QSqlQuery(raw).exec(u"INSERT INTO \"Cust.DB\" VALUES (8, 'Eight')"_s));
        raw.close();
        raw = QSqlDatabase();
        QSqlDatabase::removeDatabase(u"outside"_s);
    }
    m_db->checkForChanges();
    heard.sort();
    QCOMPARE(heard, noticed);
    heard.clear();
    m_db->checkForChanges(); // each change is told once
    QCOMPARE(heard, QStringList());
    for (const auto &v : watching)
        m_db->setChangeNotice(v.get(), {});
}

// Inside a write transaction a lock that another copy holds is refused at once, naming the
// holder, and the operation rolls back; before the transaction the same lock is waited for.
void TestEngine::lockUnderWriteLockIsTriedNotWaited()
{
    addHead(1, u"A"_s);
    addHead(2, u"B"_s);
    TQVDatabase other;
    connectTestDatabase(other, m_dir->path());
    auto theirs = openView(other, u"Head.DB"_s);
    theirs->findKey({ 2 });
    theirs->edit(); // the other copy holds head 2

    auto heads = view(u"Head.DB"_s);
    auto lines = view(u"Line.DB"_s);
    lines->afterPost = [&](TableView &) {
        QVERIFY(m_db->writing());
        heads->findKey({ 2 });
        heads->edit();
    };
    lines->insert();
    setNumber(lines, u"ID", 1);
    try {
        lines->post();
        QFAIL("a held record was taken under the write lock");
    } catch (const EDatabaseError &error) {
        QVERIFY2(error.message().contains(u"locked by"_s), qPrintable(error.message()));
    }
    QVERIFY(!m_db->writing());
    QCOMPARE(lines->state(), DataSetState::Insert);
    QCOMPARE(heads->state(), DataSetState::Browse);
    QCOMPARE(stored(u"Line.DB"_s, u"SELECT COUNT(*) FROM data"_s).toInt(), 0);
    theirs->cancel();
    lines->afterPost = nullptr;
    lines->post(); // the lock is free again, and nothing of the failed try is left held
    heads->findKey({ 2 });
    heads->edit();
    QCOMPARE(heads->state(), DataSetState::Edit);
    heads->cancel();
}

void TestEngine::numbersShownAsWritten_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("shown");
    QTest::newRow("a large counter, not in exponent form") << 100000.0 << u"100000"_s;
    QTest::newRow("a counter of a hundred million") << 1e8 << u"100000000"_s;
    QTest::newRow("a fraction keeps its digits") << 1234.5 << u"1234.5"_s;
    QTest::newRow("a cent") << 0.01 << u"0.01"_s;
    QTest::newRow("zero") << 0.0 << u"0"_s;
    QTest::newRow("a negative amount") << -70.1 << u"-70.1"_s;
    QTest::newRow("only the enormous keep the exponent") << 1e300 << u"1e+300"_s;
}

// What an edit shows of a number is what the user would type, and it reads back as the same number.
void TestEngine::numbersShownAsWritten()
{
    QFETCH(double, value);
    QFETCH(QString, shown);
    const QLocale previous;
    QLocale::setDefault(QLocale::c());
    QCOMPARE(Field::formatNumber(value), shown);
    QCOMPARE(Field::parseNumber(Field::formatNumber(value)), value);
    QLocale::setDefault(previous);
}

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"

void TestEngine::longListReadAsFarAsShown_data()
{
    QTest::addColumn<QString>("goTo"); // "first", "last", "more" (a grid scrolls on) or an ID
    QTest::addColumn<QString>("change"); // by another copy: "+ID" adds a record, "-ID" deletes one
    QTest::addColumn<double>("current");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("allRead");
    // Records 10, 20, ... 30000 in ID order.
    QTest::newRow("first") << u"first"_s << QString() << 10.0 << 0 << false;
    QTest::newRow("grid scrolls on") << u"more"_s << QString() << 10.0 << 0 << false;
    QTest::newRow("middle") << u"6000"_s << QString() << 6000.0 << 599 << false;
    QTest::newRow("last") << u"last"_s << QString() << 30000.0 << 2999 << true;
    QTest::newRow("middle, added before it") << u"6000"_s << u"+5"_s << 6000.0 << 600 << false;
    QTest::newRow("middle, added after it") << u"6000"_s << u"+6005"_s << 6000.0 << 599 << false;
    QTest::newRow("middle, deleted") << u"6000"_s << u"-6000"_s << 6010.0 << 599 << false;
    QTest::newRow("last, deleted") << u"last"_s << u"-30000"_s << 29990.0 << 2998 << true;
    QTest::newRow("scrolled on, first deleted") << u"more"_s << u"-10"_s << 20.0 << 0 << false;
}

// A view of a long table reads its row list from the first record only as far as it is shown
// (a page, or through the current record), in order, and keeps its current record and position
// when another copy adds or deletes records meanwhile.
void TestEngine::longListReadAsFarAsShown()
{
    QFETCH(QString, goTo);
    QFETCH(QString, change);
    QFETCH(double, current);
    QFETCH(int, position);
    QFETCH(bool, allRead);
    constexpr int records = 3000;
    stored(u"Head.DB"_s,
        u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO data (ID, No) SELECT i * 10, substr('0000' || (i * 10), length('0000' || "
        "(i * 10)) - 4) FROM n"_s.arg(records));
    auto heads = view(u"Head.DB"_s);
    m_db->setChangeNotice(heads.get(), [&heads] { heads->invalidate(); });
    m_db->checkForChanges();
    int loaded = heads->loadedRowCount();
    if (goTo == u"first"_s) {
        heads->first();
    } else if (goTo == u"last"_s) {
        heads->last();
    } else if (goTo == u"more"_s) {
        QVERIFY(heads->canReadMoreRows());
        heads->readMoreRows();
        QVERIFY(heads->loadedRowCount() > loaded);
    } else {
        QVERIFY(heads->locate(u"ID"_s, goTo.toDouble()));
    }
    loaded = heads->loadedRowCount();

    if (!change.isEmpty()) {
        TQVDatabase other;
        connectTestDatabase(other, m_dir->path());
        auto changer = openView(other, u"Head.DB"_s);
        const double id = change.mid(1).toDouble();
        if (change.startsWith(u'+')) {
            changer->insert();
            setNumber(changer, u"ID", id);
            changer->post();
        } else {
            QVERIFY(changer->locate(u"ID"_s, id));
            changer->deleteRecord();
        }
        m_db->checkForChanges();
    }

    QCOMPARE(number(heads, u"ID"), current);
    QCOMPARE(heads->recNo(), position);
    // The rows read are the first ones, in order, as far as before.
    QCOMPARE(heads->loadedRowCount() == heads->recordCount(), allRead);
    QVERIFY(heads->loadedRowCount() >= std::min(loaded, heads->recordCount()));
    const int id = heads->fieldByName(u"ID"_s)->index();
    QCOMPARE(heads->rowValue(position, id).toDouble(), current);
    double previous = 0;
    for (int row = 0; row < heads->rowCount(); ++row) {
        const double value = heads->rowValue(row, id).toDouble();
        QVERIFY2(value > previous,
            qPrintable(u"row %1 holds %2 after %3"_s.arg(row).arg(value).arg(previous)));
        previous = value;
    }
    const int added = change.isEmpty() ? 0 : change.startsWith(u'+') ? 1 : -1;
    QCOMPARE(heads->rowCount(), records + added);
    heads->setRecNo(position);
    heads->next();
    QCOMPARE(heads->recNo(), std::min(position + 1, heads->recordCount() - 1));
}

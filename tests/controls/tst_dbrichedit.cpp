#include "DataControlsTests.h"
#include "controls/MessageAnswers.h"
#include "controls/TQVDBRichEdit.h"
#include "controls/TQVDataSourceSrc.h"
#include "engine/TableView.h"

#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include <memory>

using namespace Qt::StringLiterals;

class TestDBRichEdit : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void boldShortcutToggles();
    void formatNeedsAnEditableRecord();
    void dateShortcutReplacesTheSelection();
    void plainTextStaysPlain_data();
    void plainTextStaysPlain();
    void printAsksFirst_data();
    void printAsksFirst();

private:
    std::unique_ptr<DataControlsFixture> m_fixture;
    std::unique_ptr<TableView> m_jobs;
    std::unique_ptr<TQVDataSource> m_source;
};

void TestDBRichEdit::init()
{
    m_fixture = std::make_unique<DataControlsFixture>();
    QVERIFY(m_fixture->dm->isConnected());
    m_fixture->data.exec(u"Jobs.DB"_s,
        u"INSERT INTO data (Job_ID, Job_No, Notes) VALUES (1, 'J1', 'hello world')"_s);
    m_jobs = m_fixture->rawView(u"Jobs.DB"_s);
    m_source = std::make_unique<TQVDataSource>();
    m_source->setDataSet(m_jobs.get());
}

void TestDBRichEdit::cleanup()
{
    m_source.reset();
    m_jobs.reset();
    m_fixture.reset();
}

void TestDBRichEdit::boldShortcutToggles()
{
    TQVDBRichEdit notes;
    notes.setDataSource(m_source.get());
    notes.setDataField(u"Notes"_s);
    QCOMPARE(notes.toPlainText(), u"hello world"_s);
    QVERIFY(!notes.isRichText());
    notes.selectAll();
    QTest::keyClick(&notes, Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(m_jobs->state(), DataSetState::Edit);
    QCOMPARE(notes.textCursor().charFormat().fontWeight(), int(QFont::Bold));
    QTest::keyClick(&notes, Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(notes.textCursor().charFormat().fontWeight(), int(QFont::Normal));
    QTest::keyClick(&notes, Qt::Key_U, Qt::ControlModifier);
    QVERIFY(notes.textCursor().charFormat().fontUnderline());
}

void TestDBRichEdit::formatNeedsAnEditableRecord()
{
    m_source->setAutoEdit(false);
    TQVDBRichEdit notes;
    notes.setDataSource(m_source.get());
    notes.setDataField(u"Notes"_s);
    notes.selectAll();
    QTest::keyClick(&notes, Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(m_jobs->state(), DataSetState::Browse);
    QCOMPARE(notes.textCursor().charFormat().fontWeight(), int(QFont::Normal));
    QVERIFY(!notes.isModified());
}

void TestDBRichEdit::dateShortcutReplacesTheSelection()
{
    TQVDBRichEdit notes;
    notes.today = [] { return QDate(2024, 3, 7); };
    notes.setDataSource(m_source.get());
    notes.setDataField(u"Notes"_s);
    QTextCursor cursor = notes.textCursor();
    cursor.setPosition(6);
    cursor.setPosition(11, QTextCursor::KeepAnchor);
    notes.setTextCursor(cursor);
    QTest::keyClick(&notes, Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(notes.toPlainText(), u"hello 07-Mar-2024 "_s);
    QCOMPARE(m_jobs->state(), DataSetState::Edit);
}

void TestDBRichEdit::plainTextStaysPlain_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("storedAsHtml");
    QTest::newRow("typing keeps plain text plain") << u"!"_s << false << false;
    QTest::newRow("bold text is kept as HTML") << QString() << true << true;
    QTest::newRow("plain text that looks like markup reads back as typed")
        << u"<b>x</b>"_s << false << true;
}

void TestDBRichEdit::plainTextStaysPlain()
{
    QFETCH(QString, typed);
    QFETCH(bool, bold);
    QFETCH(bool, storedAsHtml);
    Host host;
    auto *notes = host.add<TQVDBRichEdit>();
    notes->setDataSource(m_source.get());
    notes->setDataField(u"Notes"_s);
    QVERIFY(host.activate());
    notes->setFocus();
    notes->moveCursor(QTextCursor::End);
    QTest::keyClicks(notes, typed);
    if (bold) {
        notes->selectAll();
        QTest::keyClick(notes, Qt::Key_B, Qt::ControlModifier);
    }
    host.other->setFocus();

    const QString stored = m_jobs->fieldByName(u"Notes"_s)->asString();
    QCOMPARE(Qt::mightBeRichText(stored), storedAsHtml);
    QCOMPARE(notes->toPlainText(), u"hello world"_s + typed);
    m_jobs->post();
    QCOMPARE(notes->toPlainText(), u"hello world"_s + typed);
    QCOMPARE(notes->isRichText(), storedAsHtml);
}

void TestDBRichEdit::printAsksFirst_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<int>("printed");
    QTest::newRow("No prints nothing") << QMessageBox::No << 0;
    QTest::newRow("Yes prints under the application title") << QMessageBox::Yes << 1;
}

void TestDBRichEdit::printAsksFirst()
{
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(int, printed);
    TQVDBRichEdit notes;
    notes.setDataSource(m_source.get());
    notes.setDataField(u"Notes"_s);
    int prints = 0;
    QString title;
    QString text;
    notes.printHandler = [&](QTextDocument &document, const QString &jobTitle) {
        ++prints;
        title = jobTitle;
        text = document.toPlainText();
    };
    MessageAnswers::setNextAnswer(answer);
    QTest::keyClick(&notes, Qt::Key_P, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(MessageAnswers::lastText(), u"Print This Notepad To The Current Printer?"_s);
    QCOMPARE(prints, printed);
    if (printed) {
        QCOMPARE(title, u"Velbric Tessorin"_s);
        QCOMPARE(text, u"hello world"_s);
    }
}

int runRichEditTests(int argc, char **argv)
{
    TestDBRichEdit test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dbrichedit.moc"

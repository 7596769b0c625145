#include "DataControlsTests.h"
#include "RecordValues.h"
#include "controls/FontColourDialog.h"
#include "controls/MessageAnswers.h"
#include "controls/TQVDBRichEdit.h"
#include "controls/TQVDataSourceSrc.h"
#include "engine/Field.h"
#include "engine/TableView.h"

#include <QApplication>
#include <QFontDialog>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

void selectText(TQVDBRichEdit &notes, int from, int to)
{
    QTextCursor cursor = notes.textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    notes.setTextCursor(cursor);
}

} // namespace

class TestDBRichEdit : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void boldShortcutToggles();
    void formatNeedsAnEditableRecord();
    void fontShortcutAppliesFontAndColour();
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

void TestDBRichEdit::fontShortcutAppliesFontAndColour()
{
    TQVDBRichEdit notes;
    notes.setDataSource(m_source.get());
    notes.setDataField(u"Notes"_s);
    selectText(notes, 0, 5);

    // Cancelled: nothing changes.
    notes.fontChooser = [](QFont &, QColor &, QWidget *) { return false; };
    QTest::keyClick(&notes, Qt::Key_F, Qt::ControlModifier);
    QVERIFY(!notes.isModified());
    QVERIFY(!notes.textCursor().charFormat().fontItalic());

    notes.fontChooser = [](QFont &font, QColor &colour, QWidget *) {
        font.setPointSize(18);
        font.setItalic(true);
        colour = QColor(200, 0, 0);
        return true;
    };
    QTest::keyClick(&notes, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(m_jobs->state(), DataSetState::Edit);
    const QTextCharFormat format = notes.textCursor().charFormat();
    QVERIFY(format.fontItalic());
    QCOMPARE(format.fontPointSize(), 18.0);
    QCOMPARE(format.foreground().color(), QColor(200, 0, 0));
    QVERIFY(notes.applyChanges());
    const QString stored = text(m_jobs, u"Notes");
    QVERIFY2(stored.contains(u"#c80000"_s) && stored.contains(u"italic"_s), qPrintable(stored));
    // Only the selection took the format.
    QTextCursor cursor = notes.textCursor();
    cursor.setPosition(8);
    QVERIFY(!cursor.charFormat().fontItalic());

    // The program's own dialog hands back the font and colour it was given when accepted.
    notes.fontChooser = nullptr;
    notes.selectAll();
    const QFont before = notes.currentFont();
    QTimer::singleShot(0, [] {
        auto *dialog = qobject_cast<FontColourDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->setSelectedColour(QColor(0, 0, 150));
        dialog->accept();
    });
    QTest::keyClick(&notes, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(notes.textCursor().charFormat().foreground().color(), QColor(0, 0, 150));
    QCOMPARE(notes.textCursor().charFormat().font().family(), before.family());
    // Enter and Escape in the font lists answer the whole dialog.
    for (const auto &[key, result] : { std::pair { Qt::Key_Return, QDialog::Accepted },
             { Qt::Key_Escape, QDialog::Rejected } }) {
        FontColourDialog dialog(before, Qt::black);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *fonts = dialog.findChild<QFontDialog *>();
        QVERIFY(fonts);
        QTest::keyClick(fonts, key);
        QCOMPARE(dialog.result(), int(result));
        QVERIFY(!dialog.isVisible());
        QVERIFY(!fonts->isHidden());
    }
    // Accepting what the dialog opened with keeps the text upright and of its weight.
    for (const QString &family : { before.family(), u"DejaVu Sans"_s }) {
        const FontColourDialog dialog(QFont(family, 11), Qt::black);
        QCOMPARE(dialog.selectedFont().italic(), false);
        QCOMPARE(dialog.selectedFont().weight(), QFont::Normal);
    }
}

void TestDBRichEdit::dateShortcutReplacesTheSelection()
{
    TQVDBRichEdit notes;
    notes.today = [] { return QDate(2024, 3, 7); };
    notes.setDataSource(m_source.get());
    notes.setDataField(u"Notes"_s);
    selectText(notes, 6, 11);
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

    const QString stored = text(m_jobs, u"Notes");
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

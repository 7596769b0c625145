#include "ModalDialogs.h"
#include "RecordValues.h"
#include "SetupFixture.h"
#include "SetupTests.h"
#include "controls/dataaware/FieldLineEdit.h"
#include "controls/dataaware/TQVDBGridSrc.h"
#include "controls/dataaware/TQVDataSourceSrc.h"
#include "controls/dataaware/TableViewModel.h"
#include "controls/window/LogoPicture.h"
#include "controls/window/MessageAnswers.h"
#include "documents/QRQuote.h"
#include "engine/Field.h"
#include "reference/FormOptions.h"
#include "reference/FormSales.h"
#include "reference/FormSetupCompany.h"
#include "reference/FormStartup.h"
#include "reference/LogoChooser.h"
#include "reference/RecordGridPage.h"
#include "report/ReportShapes.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

template <typename T> T *child(QWidget *window, const QString &name)
{
    T *found = window->findChild<T *>(name);
    if (!found)
        qWarning("no %s named %s", T::staticMetaObject.className(), qPrintable(name));
    return found;
}

void click(QWidget *window, const QString &name)
{
    QAbstractButton *button = child<QAbstractButton>(window, name);
    QVERIFY(button);
    QVERIFY(button->isEnabled());
    button->click();
}

// Types into a bound one-line edit and stores it with Enter, as a user does.
void typeInto(QWidget *window, const QString &name, const QString &text)
{
    auto *edit = child<QLineEdit>(window, name);
    QVERIFY(edit);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
    // What leaving the field does (Enter would also press the dialog's default button).
    QVERIFY(static_cast<FieldLineEdit *>(edit)->applyChanges());
}

QString businessField(TDM *dm, const QString &field)
{
    dm->tblBusiness->first();
    return dm->tblBusiness->isEmpty() ? QString() : text(dm->tblBusiness, field);
}

quint32 crc32Of(const QByteArray &bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char byte : bytes) {
        crc ^= quint8(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A PNG that claims to be width x height pixels: the header alone, enough to ask its size.
QByteArray pngHeaderOnly(quint32 width, quint32 height)
{
    QByteArray chunk("IHDR");
    for (quint32 value : { width, height })
        for (int shift = 24; shift >= 0; shift -= 8)
            chunk.append(char((value >> shift) & 0xff));
    chunk.append("\x08\x02\x00\x00\x00", 5);
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    png.append("\x00\x00\x00\x0d", 4);
    png.append(chunk);
    const quint32 crc = crc32Of(chunk);
    for (int shift = 24; shift >= 0; shift -= 8)
        png.append(char((crc >> shift) & 0xff));
    return png;
}

// Types text from the keyboard into whatever has the focus, key by key, as a user does: the first
// key may open a cell's editor, which then takes the others.
void typeKeys(QWidget *into, const QString &text)
{
    into->setFocus();
    for (const QChar c : text)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}

} // namespace

class TestSetupWindows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void setupSteps();
    void setupFinishOrCancel_data();
    void setupFinishOrCancel();
    void logoChoice_data();
    void logoChoice();
    void logoDialogOffersEveryPicture_data();
    void logoDialogOffersEveryPicture();
    void clearThenCancelKeepsOldPath();
    void deletedLogoFileShowsNothing();
    void documentLogo_data();
    void documentLogo();
    void wizardPages();
    void wizardFinishOrCancel_data();
    void wizardFinishOrCancel();
    void wizardListsAddAndRefuse();
    void emptyListTakesTyping_data();
    void emptyListTakesTyping();
    void wizardFinishStoresEveryPage_data();
    void wizardFinishStoresEveryPage();
    void salesWindow();

private:
    std::unique_ptr<SetupFixture> m_fixture;
    TDM *m_dm = nullptr;
};

void TestSetupWindows::init()
{
    m_fixture = std::make_unique<SetupFixture>();
    m_dm = m_fixture->start();
    QVERIFY(m_dm->isConnected());
}

void TestSetupWindows::cleanup()
{
    m_fixture.reset();
}

void TestSetupWindows::setupSteps()
{
    TfrmSetupCompany setup(m_dm);
    setup.show();
    QCOMPARE(setup.windowTitle(), u"Setup Company"_s);
    QCOMPARE(setup.step(), 0);
    QVERIFY(!child<QPushButton>(&setup, u"btnBack"_s)->isEnabled());
    QVERIFY(child<QPushButton>(&setup, u"btnNext"_s)->isDefault());
    click(&setup, u"btnNext"_s);
    QCOMPARE(setup.step(), 1);
    QVERIFY(child<QPushButton>(&setup, u"btnBack"_s)->isEnabled());
    QVERIFY(!child<QPushButton>(&setup, u"btnNext"_s)->isEnabled());
    ModalDialogs::shoot(&setup, u"setup-logo"_s);
    click(&setup, u"btnBack"_s);
    QCOMPARE(setup.step(), 0);
    ModalDialogs::shoot(&setup, u"setup-details"_s);
    click(&setup, u"btnCancel"_s);
}

void TestSetupWindows::setupFinishOrCancel_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("stored");
    QTest::newRow("Finish stores the details") << u"btnFinish"_s << true;
    QTest::newRow("Cancel drops them") << u"btnCancel"_s << false;
}

void TestSetupWindows::setupFinishOrCancel()
{
    QFETCH(QString, button);
    QFETCH(bool, stored);
    TfrmSetupCompany setup(m_dm);
    setup.show();
    typeInto(&setup, u"feCompanyName"_s, u"Harrowfinch Trade Services"_s);
    typeInto(&setup, u"feEmail"_s, u"office@example.com"_s);
    click(&setup, button);
    QVERIFY(!setup.isVisible());
    QVERIFY(!m_dm->tblBusiness->isEditing());
    QCOMPARE(businessField(m_dm, u"Company_Name"_s),
        stored ? u"Harrowfinch Trade Services"_s : QString());
    QCOMPARE(businessField(m_dm, u"Email_Address"_s), stored ? u"office@example.com"_s : QString());
}

void TestSetupWindows::logoChoice_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("PNG") << u"png"_s << true;
    QTest::newRow("JPEG") << u"jpeg"_s << true;
    QTest::newRow("bitmap") << u"bmp"_s << true;
    QTest::newRow("text file named .png") << u"text"_s << false;
    QTest::newRow("picture claiming 100000 x 100000 pixels") << u"huge"_s << false;
    QTest::newRow("FIFO") << u"fifo"_s << false;
}

void TestSetupWindows::logoChoice()
{
    QFETCH(QString, kind);
    QFETCH(bool, accepted);
    QString path;
    if (kind == u"png"_s)
        path = m_fixture->writePicture(u"logo.png"_s, QSize(3000, 1000));
    else if (kind == u"jpeg"_s)
        path = m_fixture->writePicture(u"logo.jpg"_s, QSize(80, 40), "JPEG");
    else if (kind == u"bmp"_s)
        path = m_fixture->writePicture(u"logo.bmp"_s, QSize(80, 40), "BMP");
    else {
        path = m_fixture->files.filePath(u"logo.png"_s);
        if (kind == u"fifo"_s) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(kind == u"huge"_s ? pngHeaderOnly(100000, 100000) : "not a picture\n");
        }
    }
    TfrmSetupCompany setup(m_dm);
    setup.show();
    click(&setup, u"btnNext"_s);
    LogoChooser *logo = setup.logoChooser();
    logo->chooseFile = [&](QWidget *) { return path; };
    MessageAnswers::clear();
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
    click(&setup, u"btnSelectLogo"_s);
    QCOMPARE(logo->hasPreview(), accepted);
    QCOMPARE(MessageAnswers::shown().size(), accepted ? 0 : 1);
    click(&setup, u"btnFinish"_s);
    QCOMPARE(businessField(m_dm, u"LogoPath"_s), accepted ? path : QString());
    const QImage kept = LogoPicture::fromBytes(m_dm->tblBusiness->isEmpty()
            ? QByteArray()
            : m_dm->tblBusiness->fieldByName(u"Logo"_s)->asBytes());
    QCOMPARE(!kept.isNull(), accepted);
    if (accepted) // kept no larger than a printed logo needs
        QVERIFY(kept.width() <= LogoPicture::StoredSide && kept.height() <= LogoPicture::StoredSide);
}

void TestSetupWindows::logoDialogOffersEveryPicture_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("PNG") << u"logo.png"_s;
    QTest::newRow("JPEG") << u"logo.jpg"_s;
    QTest::newRow("bitmap") << u"logo.bmp"_s;
}

// The file dialog opens on a filter that shows the picture files people have, not bitmaps only.
void TestSetupWindows::logoDialogOffersEveryPicture()
{
    QFETCH(QString, file);
    TfrmSetupCompany setup(m_dm);
    setup.show();
    click(&setup, u"btnNext"_s);
    QString filter;
    ModalDialogs::whenShown<QFileDialog>([&](QFileDialog *dialog) {
        filter = dialog->selectedNameFilter();
        dialog->reject();
    });
    click(&setup, u"btnSelectLogo"_s);
    QVERIFY(!filter.isEmpty());
    const QString patterns = filter.section(u'(', 1).section(u')', 0, 0);
    QVERIFY2(QDir::match(patterns.split(u' '), file), qPrintable(filter));
    QCOMPARE(businessField(m_dm, u"LogoPath"_s), QString()); // the dialog was cancelled
}

void TestSetupWindows::clearThenCancelKeepsOldPath()
{
    const QString path = m_fixture->writePicture(u"old.png"_s, QSize(60, 30));
    m_fixture->addRecord(m_dm->tblBusiness, u"LogoPath"_s, path);
    TfrmSetupCompany setup(m_dm);
    setup.show();
    click(&setup, u"btnNext"_s);
    QVERIFY(setup.logoChooser()->hasPreview());
    click(&setup, u"btnClear"_s);
    QVERIFY(!setup.logoChooser()->hasPreview());
    QCOMPARE(child<QLabel>(&setup, u"lblLogoPath"_s)->text(), QString());
    click(&setup, u"btnCancel"_s);
    QCOMPARE(businessField(m_dm, u"LogoPath"_s), path);
}

void TestSetupWindows::deletedLogoFileShowsNothing()
{
    const QString path = m_fixture->writePicture(u"gone.png"_s, QSize(60, 30));
    m_fixture->addRecord(m_dm->tblBusiness, u"LogoPath"_s, path);
    QVERIFY(QFile::remove(path));
    MessageAnswers::clear();
    TfrmSetupCompany setup(m_dm);
    setup.show();
    click(&setup, u"btnNext"_s);
    QVERIFY(!setup.logoChooser()->hasPreview());
    QCOMPARE(child<QLabel>(&setup, u"lblLogoPath"_s)->text(), path);
    QCOMPARE(MessageAnswers::shown().size(), 0);
}

void TestSetupWindows::documentLogo_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("keptCopy");
    QTest::addColumn<bool>("printed");
    QTest::newRow("file on this machine") << u"picture"_s << false << true;
    QTest::newRow("file on another copy's disk: the kept copy prints") << u"missing"_s << true
                                                                      << true;
    QTest::newRow("file missing, no copy: no logo") << u"missing"_s << false << false;
    QTest::newRow("file not a picture, no copy: no logo") << u"text"_s << false << false;
    QTest::newRow("file claims a huge picture: the kept copy prints") << u"huge"_s << true << true;
}

void TestSetupWindows::documentLogo()
{
    QFETCH(QString, file);
    QFETCH(bool, keptCopy);
    QFETCH(bool, printed);
    QString path = m_fixture->files.filePath(u"logo.png"_s);
    if (file == u"picture"_s) {
        path = m_fixture->writePicture(u"logo.png"_s, QSize(50, 20));
    } else if (file != u"missing"_s) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file == u"huge"_s ? pngHeaderOnly(90000, 90000) : "plain text\n");
    }
    TQVTable *business = m_dm->tblBusiness;
    business->insert();
    setText(business, u"LogoPath", path);
    if (keptCopy) {
        QImage picture(50, 20, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        business->fieldByName(u"Logo"_s)->setValue(LogoPicture::storedBytes(picture));
    }
    business->post();
    const double client = m_fixture->addClient(u"Ann Archer"_s);
    const QString number = m_fixture->addQuote(client, u"Roof"_s);

    TqrepQuote document(m_dm);
    document.Params = QStringList { u"NO="_s + number, u"LOGO=TRUE"_s, u"CODES=TRUE"_s,
        u"GROUPS=TRUE"_s, u"NOTES=TRUE"_s };
    document.run();
    QCOMPARE(!document.logo().image().isNull(), printed);
}

void TestSetupWindows::wizardPages()
{
    TfrmWizStartup wizard(m_dm);
    wizard.show();
    QCOMPARE(wizard.windowTitle(), u"Welcome to Velbric Tessorin"_s);
    const QStringList pages { u"tsWelcome"_s, u"tsBusiness"_s, u"tsLogo"_s, u"tsSales"_s,
        u"tsHeadings"_s, u"tsUnits"_s, u"tsFinished"_s };
    auto *stack = child<QStackedWidget>(&wizard, u"pgWizard"_s);
    for (int i = 0; i < pages.size(); ++i) {
        QCOMPARE(stack->currentWidget()->objectName(), pages.at(i));
        ModalDialogs::shoot(&wizard, u"wizard-"_s + pages.at(i));
        QCOMPARE(child<QPushButton>(&wizard, u"btnPrevious"_s)->isEnabled(), i > 0);
        QCOMPARE(child<QPushButton>(&wizard, u"btnFinish"_s)->isEnabled(), i == pages.size() - 1);
        // Escape never cancels this wizard.
        QTest::keyClick(&wizard, Qt::Key_Escape);
        QVERIFY(wizard.isVisible());
        if (i < pages.size() - 1)
            click(&wizard, u"btnNext"_s);
    }
    QVERIFY(!child<QPushButton>(&wizard, u"btnNext"_s)->isEnabled());
    click(&wizard, u"btnPrevious"_s);
    // Once reached, the last page's Finish stays available.
    QVERIFY(child<QPushButton>(&wizard, u"btnFinish"_s)->isEnabled());
}

void TestSetupWindows::wizardFinishOrCancel_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("finished");
    QTest::newRow("Finish with nothing filled in marks it done") << u"btnFinish"_s << true;
    QTest::newRow("Cancel leaves it to open again") << u"btnCancel"_s << false;
}

void TestSetupWindows::wizardFinishOrCancel()
{
    QFETCH(QString, button);
    QFETCH(bool, finished);
    TfrmWizStartup wizard(m_dm);
    wizard.show();
    click(&wizard, u"btnNext"_s);
    if (finished) {
        for (int i = 1; i < TfrmWizStartup::PageCount - 1; ++i)
            click(&wizard, u"btnNext"_s);
    } else {
        typeInto(&wizard, u"feCompanyName"_s, u"Never Stored"_s);
    }
    click(&wizard, button);
    QVERIFY(!wizard.isVisible());
    QCOMPARE(m_dm->ReadSettingFlag(u"Startup"_s, u"StartWiz"_s), finished);
    QCOMPARE(businessField(m_dm, u"Company_Name"_s), QString());
}

void TestSetupWindows::wizardListsAddAndRefuse()
{
    TfrmWizStartup wizard(m_dm);
    wizard.show();
    for (int i = 0; i < 3; ++i)
        click(&wizard, u"btnNext"_s);
    QCOMPARE(wizard.page(), 3);
    // A name typed into the list is stored by Save.
    RecordGridPage *sales = wizard.salesPage();
    click(&wizard, u"btnNewSales"_s);
    QVERIFY(m_dm->tblSales->state() == DataSetState::Insert);
    QAbstractItemModel *model = sales->grid()->model();
    QVERIFY(model->setData(model->index(sales->grid()->tableModel()->currentRow(), 0), u"Sam"_s));
    click(&wizard, u"btnSaveSales"_s);
    QCOMPARE(m_dm->tblSales->recordCount(), 1);
    // A blank name is refused with the data module's message, and the page stays.
    MessageAnswers::clear();
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
    click(&wizard, u"btnNewSales"_s);
    click(&wizard, u"btnNext"_s);
    QCOMPARE(MessageAnswers::lastText(), u"Please enter a valid Name."_s);
    QCOMPARE(wizard.page(), 3);
    click(&wizard, u"btnCancelSales"_s);
    QVERIFY(!m_dm->tblSales->isEditing());
    click(&wizard, u"btnNext"_s);
    QCOMPARE(wizard.page(), 4);
    // Delete asks first.
    click(&wizard, u"btnPrevious"_s);
    MessageAnswers::setNextAnswer(QMessageBox::No);
    click(&wizard, u"btnDeleteSales"_s);
    QCOMPARE(m_dm->tblSales->recordCount(), 1);
    MessageAnswers::setNextAnswer(QMessageBox::Yes);
    click(&wizard, u"btnDeleteSales"_s);
    QCOMPARE(MessageAnswers::lastText(), u"Delete this Record?"_s);
    QCOMPARE(m_dm->tblSales->recordCount(), 0);
}

void TestSetupWindows::emptyListTakesTyping_data()
{
    QTest::addColumn<int>("page"); // of the first-run wizard; -1: the options' tax rates
    QTest::addColumn<QString>("grid");
    QTest::newRow("sales people") << 3 << u"grdSales"_s;
    QTest::newRow("headings") << 4 << u"grdHeadings"_s;
    QTest::newRow("units") << 5 << u"grdUnits"_s;
    QTest::newRow("tax rates") << -1 << u"grdTaxRates"_s;
}

// A new user clicks into the empty list and types: the first row starts with what was typed.
void TestSetupWindows::emptyListTakesTyping()
{
    QFETCH(int, page);
    QFETCH(QString, grid);
    std::unique_ptr<QDialog> window;
    if (page < 0) {
        auto options = std::make_unique<TfrmOptions>(m_dm);
        options->showPage(TfrmOptions::TaxRatesPage);
        window = std::move(options);
    } else {
        window = std::make_unique<TfrmWizStartup>(m_dm);
    }
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    for (int i = 0; i < page; ++i)
        click(window.get(), u"btnNext"_s);
    auto *list = child<TQVDBGrid>(window.get(), grid);
    TableView *view = list->dataSource()->dataSet();
    QVERIFY(view->isEmpty());
    typeKeys(list, u"12"_s);
    QCOMPARE(view->state(), DataSetState::Insert);
    // The new row's cell is open with what was typed.
    auto *cell = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(cell && list->isAncestorOf(cell));
    QCOMPARE(cell->text(), u"12"_s);
    window->reject();
}

void TestSetupWindows::wizardFinishStoresEveryPage_data()
{
    QTest::addColumn<int>("page"); // where a row is added after coming back; -1: none
    QTest::addColumn<QString>("list");
    QTest::newRow("sales person, Finish from its page") << 3 << u"Sales"_s;
    QTest::newRow("heading, Finish from its page") << 4 << u"Headings"_s;
    QTest::newRow("unit, Finish from its page") << 5 << u"Units"_s;
    QTest::newRow("nothing added, Enter on the last page") << -1 << QString();
}

// Once the last page was reached, Finish may be pressed from any page: rows added there are
// stored with the rest. On the last page Enter finishes.
void TestSetupWindows::wizardFinishStoresEveryPage()
{
    QFETCH(int, page);
    QFETCH(QString, list);
    TfrmWizStartup wizard(m_dm);
    wizard.show();
    wizard.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&wizard));
    for (int i = 1; i < TfrmWizStartup::PageCount; ++i)
        click(&wizard, u"btnNext"_s);
    if (page < 0) {
        child<QWidget>(&wizard, u"pgWizard"_s)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    } else {
        while (wizard.page() > page)
            click(&wizard, u"btnPrevious"_s);
        click(&wizard, u"btnNew"_s + list);
        auto *grid = child<TQVDBGrid>(&wizard, u"grd"_s + list);
        QAbstractItemModel *model = grid->model();
        QVERIFY(model->setData(model->index(grid->tableModel()->currentRow(), 0), u"Added"_s));
        click(&wizard, u"btnFinish"_s);
    }
    QVERIFY(!wizard.isVisible());
    QVERIFY(m_dm->ReadSettingFlag(u"Startup"_s, u"StartWiz"_s));
    for (TQVTable *table : { m_dm->tblSales, m_dm->tblHeadings, m_dm->tblUnit }) {
        QVERIFY(!table->isEditing());
        QCOMPARE(table->recordCount(), table == (page == 3 ? m_dm->tblSales
                                                    : page == 4 ? m_dm->tblHeadings
                                                    : page == 5 ? m_dm->tblUnit
                                                                : nullptr)
                ? 1
                : 0);
    }
}

void TestSetupWindows::salesWindow()
{
    TfrmSales sales(m_dm);
    sales.show();
    QCOMPARE(sales.windowTitle(), u"Sales People"_s);
    for (const QString &name : { u"Sam Okafor"_s, u"Kim Lee"_s }) {
        click(&sales, u"btnNew"_s);
        typeInto(&sales, u"feSalesman"_s, name);
        click(&sales, u"btnSave"_s);
    }
    QCOMPARE(m_dm->tblSales->recordCount(), 2);
    m_dm->tblSales->first(); // ordered by name
    QCOMPARE(text(m_dm->tblSales, u"Salesman"), u"Kim Lee"_s);
    ModalDialogs::shoot(&sales, u"sales"_s);

    MessageAnswers::clear();
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
    click(&sales, u"btnNew"_s);
    typeInto(&sales, u"feSalesman"_s, u"   "_s);
    click(&sales, u"btnSave"_s);
    QCOMPARE(MessageAnswers::lastText(), u"Please enter a valid Name."_s);
    QVERIFY(m_dm->tblSales->isEditing());
    click(&sales, u"btnCancel"_s);
    QVERIFY(!m_dm->tblSales->isEditing());
    QCOMPARE(m_dm->tblSales->recordCount(), 2);
    click(&sales, u"btnClose"_s);
    QVERIFY(!sales.isVisible());
}

int runSetupWindowTests(int argc, char **argv)
{
    TestSetupWindows test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_setupwindows.moc"

#include "DataControlsTests.h"
#include "RecordValues.h"
#include "controls/MessageAnswers.h"
#include "controls/TQVRegistry.h"
#include "engine/TableView.h"

#include <QApplication>
#include <QLocale>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

DataControlsFixture::DataControlsFixture()
    : registryRoot(std::make_unique<QTemporaryDir>())
{
    TQVRegistry::setRootPath(registryRoot->path());
    MessageAnswers::clear();
    // An unexpected box is answered instead of waiting for a person.
    MessageAnswers::setDefaultAnswer(QMessageBox::Ok);
    dm = data.start();
}

DataControlsFixture::~DataControlsFixture()
{
    dm.reset();
    MessageAnswers::clear();
    TQVRegistry::setRootPath(QString());
}

void DataControlsFixture::addRecords(
    TableView *view, const QString &field, const QStringList &texts)
{
    for (const QString &text : texts) {
        view->append();
        setText(view, field, text);
        view->post();
    }
    view->first();
}

std::unique_ptr<TableView> DataControlsFixture::rawView(const QString &tableName) const
{
    auto view = std::make_unique<TableView>();
    view->setDatabase(dm->DB);
    view->setTableName(tableName);
    view->open();
    return view;
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(u"Tessorin"_s);
    QApplication::setApplicationDisplayName(u"Velbric Tessorin"_s);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));

    int failures = 0;
    failures += runGridTests(argc, argv);
    failures += runEditorTests(argc, argv);
    failures += runRichEditTests(argc, argv);
    return failures == 0 ? 0 : 1;
}

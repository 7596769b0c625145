#pragma once

#include "DataDirFixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QStringList>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

class QTemporaryDir;
class TableView;

// Each area's test class runs through one of these, so all of them share one executable.
int runGridTests(int argc, char **argv);
int runEditorTests(int argc, char **argv);
int runRichEditTests(int argc, char **argv);
int runSearchBoxTests(int argc, char **argv);

// A fresh data directory with a data module started on it, and a per-user store of its own.
struct DataControlsFixture
{
    DataControlsFixture();
    ~DataControlsFixture();

    // Adds records to a view through its edit, one text per record into one field.
    void addRecords(TableView *view, const QString &field, const QStringList &texts);
    // An open view of a table file without the data module's rules.
    std::unique_ptr<TableView> rawView(const QString &tableName) const;

    DataDirFixture data;
    std::unique_ptr<QTemporaryDir> registryRoot;
    std::unique_ptr<TDM> dm;
};

// A window holding the control under test and a second field to move the focus to.
struct Host
{
    QWidget window;
    QLineEdit *other = new QLineEdit(&window);

    template <typename Control> Control *add()
    {
        auto *control = new Control(&window);
        if (!window.layout())
            new QVBoxLayout(&window);
        window.layout()->addWidget(control);
        window.layout()->addWidget(other);
        return control;
    }

    bool activate()
    {
        window.show();
        QApplication::setActiveWindow(&window);
        return QTest::qWaitForWindowActive(&window);
    }
};

#pragma once

#include "DataDirFixture.h"

#include <QStringList>

#include <memory>

class QTemporaryDir;
class TableView;

// Each area's test class runs through one of these, so all of them share one executable.
int runGridTests(int argc, char **argv);
int runEditorTests(int argc, char **argv);

// A fresh data directory with a data module started on it, and a per-user store of its own.
struct DataControlsFixture
{
    DataControlsFixture();
    ~DataControlsFixture();

    // Adds records to a view through its edit, one text per record into one field.
    void addRecords(TableView *view, const QString &field, const QStringList &texts);

    DataDirFixture data;
    std::unique_ptr<QTemporaryDir> registryRoot;
    std::unique_ptr<TDM> dm;
};

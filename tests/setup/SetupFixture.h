#pragma once

#include "DataDirFixture.h"
#include "TempDataDir.h"
#include "data/DataModuleMain.h"

#include <QString>

#include <memory>

// A new data directory, a per-user store of its own and a data module started on them; records
// are added through the data module's views, as the windows add them.
class SetupFixture
{
public:
    SetupFixture();
    ~SetupFixture();

    TDM *start();
    void stop();

    double addClient(const QString &contact,
        const QString &suburb = {},
        const QString &company = {},
        const QString &phone = {});
    // A quote of the client, posted through the quote view; returns its number.
    QString addQuote(double client, const QString &description, const QString &status = {});
    double addJob(double client, const QString &description);
    void addRecord(TQVTable *table, const QString &field, const QString &value);

    // A picture file in the test's folder.
    QString writePicture(const QString &name, const QSize &size, const char *format = "PNG");

    DataDirFixture data;
    TempDataDir registry;
    TempDataDir files;
    std::unique_ptr<TDM> dm;
};

#pragma once

#include "Commands.h"
#include "DataDirFixture.h"
#include "TempDataDir.h"
#include "data/DataModuleMain.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

// A new data directory with a per-user store of its own and a data module on it; records are
// added through the data module, as the program adds them.
class ReferenceFixture
{
public:
    ReferenceFixture();
    ~ReferenceFixture();

    double addHeading(const QString &description);
    double addUnit(const QString &description);
    double addMaterial(const QString &code,
        const QString &description,
        double cost,
        double selling,
        double heading,
        double unit = 0);
    double addLabour(const QString &code, const QString &description, double rate, double heading);
    double addClient(const QString &contact, const QString &company = {});
    // Adds a quote and a job (J-1) without clients.
    void addQuoteAndJob();

    // A second data module on the same directory, as another copy of the program.
    std::unique_ptr<TDM> startAnother();

    DataDirFixture data;
    TempDataDir registryFolder;
    std::unique_ptr<TDM> dm;
};

// Runs action on the next modal window that opens (a dialog that a command shows with exec()),
// then closes it unless the action did.
void onNextModal(const std::function<void(QWidget *)> &action);

// Types text over the whole content of the window's data edit of that name.
void type(QWidget *window, const QString &name, const QString &text);

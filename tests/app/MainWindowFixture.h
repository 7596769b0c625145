#pragma once

#include "Commands.h"
#include "DataDirFixture.h"
#include "TempDataDir.h"
#include "app/FormMain.h"
#include "data/DataModuleMain.h"

#include <QTest>

#include <memory>

// A data directory with a few clients, quotes, jobs and their lines, a per-user store of its own,
// a data module started on them and the main window over it.
class MainWindowFixture
{
public:
    // startWizardDone writes "Startup"/"StartWiz" = "True", so activation asks nothing.
    explicit MainWindowFixture(bool startWizardDone = true);
    ~MainWindowFixture();

    // Adds the sample business: quotes and jobs J-1, J-2 with lines.
    void addSampleData();
    // Starts the data module and opens the main window, shown and active.
    void open();
    void closeWindow();

    template <typename T> T *find(const QString &name) const
    {
        T *found = window->findChild<T *>(name);
        if (!found)
            qWarning("no %s named %s", T::staticMetaObject.className(), qPrintable(name));
        return found;
    }

    // Runs the window's command through its action or button of that name, as the user does.
    void trigger(const QString &name) const { ::trigger(window.get(), name); }

    QString currentQuote() const;
    QString currentJob() const;

    DataDirFixture data;
    TempDataDir registryFolder;
    std::unique_ptr<TDM> dm;
    std::unique_ptr<TfrmMain> window;
};

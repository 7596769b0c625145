#pragma once

#include "data/DataModuleMain.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

// A new data directory made by the data tool beside a pretend executable, and a data module
// started on it, as the program starts.
class DataDirFixture
{
public:
    DataDirFixture();
    ~DataDirFixture();

    QString executable() const { return m_root.filePath(QStringLiteral("tessorin")); }
    QString dataDirectory() const { return m_root.filePath(QStringLiteral("DATA")); }
    QString dataFile(const QString &name) const;

    // Starts a data module on the directory; the failure text, if any, lands in startupMessage.
    std::unique_ptr<TDM> start();
    QString startupMessage;

    // Runs one statement straight on a table file and returns the first value.
    QVariant peek(const QString &file, const QString &sql) const;
    void exec(const QString &file, const QString &sql) const;

private:
    QTemporaryDir m_root;
};

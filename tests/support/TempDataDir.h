#pragma once

#include <QString>
#include <QTemporaryDir>

// A fresh, empty directory for one test, removed when the object goes.
class TempDataDir
{
public:
    TempDataDir();
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    bool isValid() const { return m_dir.isValid(); }

private:
    QTemporaryDir m_dir;
};

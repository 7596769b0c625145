#include "TempDataDir.h"

#include <QDir>

TempDataDir::TempDataDir()
    : m_dir(QDir::tempPath() + QStringLiteral("/tessorin-test-XXXXXX"))
{
}

#pragma once

#include <QString>
#include <QVariant>

// Runs one SQL statement on a table file through a plain connection of its own, outside the
// engine, and returns the first value of the first row: null when there is none, or when the
// statement fails (with a warning).
QVariant runOnFile(const QString &path, const QString &sql);

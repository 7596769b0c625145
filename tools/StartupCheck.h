#pragma once

#include <QString>

// Opens the data directory at path the way the program does at start-up and closes it again.
// Throws DataToolError with the program's start-up failure message when the program could not
// use the directory. Creates nothing.
void requireUsableDataDirectory(const QString &path);

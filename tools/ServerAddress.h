#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class ServerConnection;

// The server a data tool command is given: a libpq URI (postgresql://user@host:port/dbname?
// sslmode=verify-full, also postgres://) or libpq keyword text (host=... dbname=...), read into the
// keywords Tessorin.server keeps. A password in either is refused, with the places passwords
// belong: the address ends up in a shared folder, and on the command line it is in the shell's
// history and in every process list. Throws DataToolError.
ServerConnection serverFromArgument(const QString &address);

// Takes "--server URL" out of arguments and returns URL; nothing when it is not there.
// *malformed tells of a --server without its URL, or given twice.
std::optional<QString> takeServerOption(QStringList *arguments, bool *malformed);

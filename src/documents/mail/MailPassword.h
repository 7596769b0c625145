#pragma once

#include <QString>

// The mail server's password, kept apart from the other mail settings: in the desktop's secret
// store where one runs, else in a file beside the user's registry that only the user may read.
// That file's owner and mode are checked at every read; a file others could read or change, or
// a link, is refused rather than trusted.
namespace MailPassword {

struct Stored
{
    QString password;
    QString problem; // why a stored password was refused; empty when all is well
};

Stored read();
// An empty password removes it. Throws Exception when it cannot be stored.
void write(const QString &password);

QString file();
// Whether the desktop's secret store answers on the session bus (asked once a program run).
bool secretStoreRunning();

} // namespace MailPassword

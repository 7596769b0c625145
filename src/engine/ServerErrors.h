#pragma once

#include "engine/Exception.h"

#include <QString>

class QSqlError;

// What a PostgreSQL server's refusal means to the program: its SQLSTATE (the five characters QPSQL
// gives as QSqlError::nativeErrorCode) read as the neutral kind every error of the engine carries,
// so the store above the server reports a refusal as it would the embedded database's.
class ServerErrors
{
public:
    static EDatabaseError::Kind kindOf(const QString &sqlState);
    // The kind of error; a failure that came with no SQLSTATE at all means the connection went
    // (libpq reports a dropped connection without one).
    static EDatabaseError::Kind kindOf(const QSqlError &error);
};

#pragma once

#include "engine/Exception.h"

#include <QString>

class QSqlError;
class QSqlQuery;

// What a PostgreSQL server's refusal means to the program: its SQLSTATE (the five characters QPSQL
// gives as QSqlError::nativeErrorCode) read as the neutral kind every error of the engine carries,
// so the store above the server reports a refusal as it would the embedded database's.
class ServerErrors
{
public:
    static EDatabaseError::Kind kindOf(const QString &sqlState);
    // The kind of error. libpq reports a connection it could not make or has lost without a
    // SQLSTATE: such a failure is a lost connection, any other failure without one is Other.
    static EDatabaseError::Kind kindOf(const QSqlError &error);
    // The kind of the failure of the query's last statement: on a connection no longer open
    // (QSqlQuery then refuses statements without an error) a lost connection.
    static EDatabaseError::Kind kindOf(const QSqlQuery &query);
};

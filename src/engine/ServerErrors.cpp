#include "engine/ServerErrors.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

using namespace Qt::StringLiterals;

EDatabaseError::Kind ServerErrors::kindOf(const QString &sqlState)
{
    using Kind = EDatabaseError::Kind;
    if (sqlState.isEmpty() || sqlState == "00000"_L1)
        return Kind::None;
    if (sqlState == "23505"_L1) // unique_violation
        return Kind::DuplicateKey;
    // serialization_failure, deadlock_detected, lock_not_available
    if (sqlState == "40001"_L1 || sqlState == "40P01"_L1 || sqlState == "55P03"_L1)
        return Kind::Busy;
    // connection_exception and its kind; admin_shutdown, crash_shutdown, cannot_connect_now
    if (sqlState.startsWith("08"_L1) || sqlState == "57P01"_L1 || sqlState == "57P02"_L1
        || sqlState == "57P03"_L1)
        return Kind::LostConnection;
    if (sqlState == "25006"_L1) // read_only_sql_transaction
        return Kind::ReadOnly;
    if (sqlState == "53100"_L1) // disk_full
        return Kind::DiskFull;
    if (sqlState == "XX001"_L1 || sqlState == "XX002"_L1) // data_corrupted, index_corrupted
        return Kind::Damaged;
    return Kind::Other;
}

EDatabaseError::Kind ServerErrors::kindOf(const QSqlError &error)
{
    if (error.type() == QSqlError::NoError)
        return EDatabaseError::Kind::None;
    const QString sqlState = error.nativeErrorCode().trimmed();
    if (!sqlState.isEmpty())
        return kindOf(sqlState);
    return error.type() == QSqlError::ConnectionError ? EDatabaseError::Kind::LostConnection
                                                      : EDatabaseError::Kind::Other;
}

EDatabaseError::Kind ServerErrors::kindOf(const QSqlQuery &query)
{
    const QSqlError error = query.lastError();
    // QPSQL's driver is open while its connection's status is good; on a connection that went,
    // QSqlQuery refuses a statement without sending it, and without an error of its own.
    if (error.nativeErrorCode().trimmed().isEmpty() && query.driver() && !query.driver()->isOpen())
        return EDatabaseError::Kind::LostConnection;
    return kindOf(error);
}

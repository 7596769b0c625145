#include "FileStatement.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

QVariant runOnFile(const QString &path, const QString &sql)
{
    const QString name = QUuid::createUuid().toString();
    QVariant result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
        QSqlQuery query(db);
        if (!query.exec(sql))
            qWarning("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
        else if (query.next())
            result = query.value(0);
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}
